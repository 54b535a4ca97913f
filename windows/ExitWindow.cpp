#include "windows/ExitWindow.h"

#include <algorithm>

#include "gfx/Glyphs.h"
#include "gfx/decode/PictureFile.h"
#include "platform/Shell.h"
#include "platform/WinConst.h"

namespace side {

namespace {

constexpr int kCloseSize = 21;
constexpr int kCloseTop = 8;
constexpr int kCloseRight = 9;
constexpr gfx::Color32 kWhite = 0xFFFFFFFFu;
constexpr gfx::Color32 kCloseFrame = 0xFF808080u;

// Shape1: a white rectangle with a one-pixel black outline, which shows where the picture is
// transparent.
void DrawShape(gfx::TBitmap32& face) {
    const gfx::IntRect r = face.BoundsRect();
    face.Clear(kWhite);
    face.FillRect({r.left, r.top, r.right, r.top + 1}, gfx::kOpaqueBlack);
    face.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, gfx::kOpaqueBlack);
    face.FillRect({r.left, r.top, r.left + 1, r.bottom}, gfx::kOpaqueBlack);
    face.FillRect({r.right - 1, r.top, r.right, r.bottom}, gfx::kOpaqueBlack);
}

// The close glyph: a black cross on a small white square with a grey frame, readable on any picture.
void DrawCloseGlyph(gfx::TBitmap32& box) {
    const gfx::IntRect r = box.BoundsRect();
    box.Clear(kCloseFrame);
    box.FillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, kWhite);
    const std::int32_t side = std::min(r.Width(), r.Height()) - 2;
    gfx::TBitmap32 cross = gfx::DrawGlyph("close", side, gfx::kOpaqueBlack);
    cross.SetDrawMode(gfx::DrawMode::Blend);
    cross.DrawTo(box, gfx::IntPoint{1, 1});
}

}  // namespace

TExitWindow::TExitWindow(const std::string& link, plat::WindowHandle owner)
    : TDialogForm("Exit Banner", {kCloseSize, kCloseSize}, owner, plat::BorderStyle::None), link_(link) {
    imgBanner.kind = plat::ControlKind::Image;
    imgBanner.handPointer = !link_.empty();
    // The glyph lies on the picture, above it.
    imgClose.kind = plat::ControlKind::Image;
    imgClose.parent = imgBanner.name;
    imgClose.handPointer = true;
    imgClose.hint = "Close";
    MakeControls({&imgBanner, &imgClose});
}

TExitWindow::~TExitWindow() = default;

bool TExitWindow::LoadBanner(const std::string& file) {
    auto picture = gfx::LoadPictureFile(file);
    if (!picture || picture->frames.empty() || picture->size.width <= 0 || picture->size.height <= 0) {
        return false;
    }
    // The first frame in its place on a transparent picture of the full size.
    picture_ = gfx::TBitmap32(picture->size.width, picture->size.height, 0);
    picture_.CopyRect(picture->frames[0].position, picture->frames[0].bitmap, picture->frames[0].bitmap.BoundsRect());
    const gfx::IntSize size = picture->size;
    imgBanner.bounds = gfx::IntRect::FromSize(0, 0, size.width, size.height);
    imgClose.bounds = gfx::IntRect::FromSize(size.width - kCloseRight - kCloseSize, kCloseTop, kCloseSize, kCloseSize);
    Resize(size);
    Sync();
    Paint();
    return true;
}

// Both surfaces at the window's scale: the shape with the picture over it, and under the glyph the
// same pixels with the glyph on them.
void TExitWindow::Paint() {
    const int dpi = Controls().Dpi();
    const gfx::IntRect area = plat::ScaleToDpi(imgBanner.bounds, dpi);
    gfx::TBitmap32 face(area.Width(), area.Height());
    DrawShape(face);
    picture_.SetDrawMode(gfx::DrawMode::Blend);
    picture_.DrawTo(face, face.BoundsRect());

    const gfx::IntRect closeRect = plat::ScaleToDpi(imgClose.bounds, dpi);
    gfx::TBitmap32 glyph(closeRect.Width(), closeRect.Height());
    DrawCloseGlyph(glyph);
    face.CopyRect({closeRect.left, closeRect.top}, glyph, glyph.BoundsRect());

    bannerSurface_.reset();
    closeSurface_.reset();
    bannerSurface_ = plat::Surface::Create(Controls().Handle(imgBanner.name), face.BoundsRect());
    bannerSurface_->Bitmap() = face;
    bannerSurface_->Changed();
    closeSurface_ = plat::Surface::Create(Controls().Handle(imgClose.name), glyph.BoundsRect());
    closeSurface_->Bitmap() = std::move(glyph);
    closeSurface_->Changed();
}

void TExitWindow::OnDpiChanged(int) {
    if (!picture_.Empty()) {
        Paint();
    }
}

void TExitWindow::imgBannerClick() {
    if (!link_.empty()) {
        plat::ShellOpen(link_, plat::SW_SHOWNORMAL);  // a link the shell cannot open fails silently
    }
    Close();
}

void TExitWindow::OnEvent(const plat::ControlEvent& event) {
    if (event.kind != plat::ControlEvent::Kind::Click) {
        return;
    }
    if (event.name == imgClose.name) {
        imgCloseClick();
    } else if (event.name == imgBanner.name) {
        imgBannerClick();
    }
}

}  // namespace side
