#include "slideshow/ItemLoader.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/Flags.h"
#include "common/Paths.h"
#include "common/Trace.h"
#include "gfx/decode/PictureFile.h"
#include "package/ItemKind.h"
#include "package/Pieces.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "slideshow/Filters.h"
#include "slideshow/Layout.h"
#include "slideshow/StillFrame.h"
#include "transitions/FrameCount.h"
#include "transitions/StartTransition.h"
#include "transitions/TransThread.h"

namespace show {

namespace {

class LoadFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace

void TItemLoader::LoadImage(std::int32_t index, bool desktopFirst) {
    pkg::PackageHeader& h = stage_.package.header;
    if (h.RepaintBackgroundPerItem && !h.DesktopBackground) {
        stage_.overlays.RefreshBackground(h);
    }
    const bool valid = index >= 0 && static_cast<std::size_t>(index) < stage_.package.items.size();
    const std::string ext = valid ? core::UpperCase(stage_.package.items[static_cast<std::size_t>(index)].ItemExt) : "";
    IsGifItem = ext == ".GIF";
    // A WebP may be an animation, which plays like a GIF over the same background.
    const bool mayAnimate = IsGifItem || ext == ".WEBP";
    animatedStill_ = false;
    // A still image takes the next monitor's turn (given up when it fails to load); everything
    // else shows on the main monitor.
    const bool still = valid && !desktopFirst && pkg::ItemKindOf(ext) == pkg::ItemKind::Still;
    screen_ = still && turnTaken_ ? (TargetScreen + 1) % ScreenCount() : 0;
    std::optional<TPreparedStill> prepared = TakePrepared(index, still);

    gfx::TBitmap32 workFrame = prepared ? std::move(prepared->frame) : ScreenBackground(screen_);
    if (mayAnimate && !prepared) {
        gifbackg_ = workFrame;
        stage_.overlays.DrawLogo(gifbackg_);
        stage_.overlays.DrawCaption(stage_.package.items[static_cast<std::size_t>(index)], gifbackg_);
    }
    if (desktopFirst) {
        plat::CaptureDesktop().DrawTo(workFrame, gfx::IntPoint{0, 0});
        stage_.main.Bitmap() = workFrame;
        stage_.main.Changed();
    }
    if (index < 0) {
        return;
    }
    try {
        if (!valid) {
            throw LoadFailed("no such item");
        }
        LoadItem(index, desktopFirst, workFrame, prepared ? &*prepared : nullptr);
        DirectShow = false;
    } catch (const std::exception& e) {
        // The screen stays as it was; the slideshow moves on at the next interval.
        core::Trace(std::string("Item ") + std::to_string(index) + " skipped: " + e.what());
    }
    // Only the animator keeps a GIF's background, and only while its item shows.
    gifbackg_ = gfx::TBitmap32();
}

gfx::TBitmap32 TItemLoader::ScreenBackground(std::size_t screen) {
    if (screen > 0) {
        return stage_.overlays.OtherBackground(screen - 1);
    }
    gfx::TBitmap32 frame = stage_.overlays.Background();
    const gfx::IntSize size = ScreenSize(0);
    if (frame.Width() != size.width || frame.Height() != size.height) {
        frame.SetSize(size.width, size.height);
        stage_.overlays.Background().DrawTo(frame, gfx::IntPoint{0, 0});
    }
    return frame;
}

gfx::IntSize TItemLoader::DecodeFrame() {
    gfx::IntSize size = ScreenSize(screen_);
    if (DirectShow && !stage_.previewMode) {
        for (std::size_t screen = 1; screen < ScreenCount(); ++screen) {
            const gfx::IntSize other = ScreenSize(screen);
            size = {std::max(size.width, other.width), std::max(size.height, other.height)};
        }
    }
    return size;
}

void TItemLoader::DropOther(std::size_t other) {
    if (other >= stage_.others.size()) {
        return;
    }
    stage_.others.erase(stage_.others.begin() + static_cast<std::ptrdiff_t>(other));
    if (stage_.preparer != nullptr) {
        stage_.preparer->Discard();  // it may have been for that monitor, or counted the turn with it
    }
    // The monitor after the one that went keeps its turn.
    if (TargetScreen > other) {
        --TargetScreen;
    }
}

void TItemLoader::AddOther(plat::Surface& image) {
    stage_.others.push_back(&image);
    if (stage_.preparer != nullptr) {
        stage_.preparer->Discard();  // the turn it counted may now fall on the new monitor
    }
}

std::int32_t TItemLoader::StillMode(const pkg::ItemRecord& item) const {
    const std::int32_t sizeMode = item.ItemSizeMode != -1 ? item.ItemSizeMode : stage_.settings.Stretch;
    return stage_.previewMode ? 1 : sizeMode;
}

// Only what the tick would make the same way ahead of its time: a still that is no GIF, laid out
// without a random draw, over a background that stays, on a monitor the turn already knows.
bool TItemLoader::Preparable(std::int32_t index) const {
    if (stage_.preparer == nullptr || !Preparing || stage_.previewMode || DirectShow || index < 0 ||
        static_cast<std::size_t>(index) >= stage_.package.items.size()) {
        return false;
    }
    const pkg::PackageHeader& h = stage_.package.header;
    const pkg::ItemRecord& item = stage_.package.items[static_cast<std::size_t>(index)];
    const std::int32_t mode = StillMode(item);
    return pkg::ItemKindOf(item.ItemExt) == pkg::ItemKind::Still && core::UpperCase(item.ItemExt) != ".GIF" &&
           !(h.RepaintBackgroundPerItem && !h.DesktopBackground) && (mode == 0 || mode == 1 || mode == 2 || mode == 4);
}

void TItemLoader::PrepareNext(std::int32_t index) {
    if (!Preparable(index)) {
        return;
    }
    const pkg::ItemRecord& item = stage_.package.items[static_cast<std::size_t>(index)];
    const auto piece = pkg::ItemPiece(stage_.package, index);
    if (!piece) {
        return;
    }
    TStillJob job;
    job.packageFile = stage_.packageFile;
    job.piece = *piece;
    if (item.ItemMaskIndex >= 0) {
        job.maskPiece = pkg::MaskPiece(stage_.package, item.ItemMaskIndex);
        if (job.maskPiece) {
            job.maskKind = stage_.package.masks[static_cast<std::size_t>(item.ItemMaskIndex)].Kind;
        }
    }
    job.filters = item.ItemFilters;
    job.index = index;
    job.screen = turnTaken_ ? (TargetScreen + 1) % ScreenCount() : 0;
    job.sizeMode = StillMode(item);
    job.background = ScreenBackground(job.screen);
    stage_.preparer->Start(std::move(job));
}

bool TItemLoader::BeingPrepared(std::int32_t index) const {
    if (!Preparable(index)) {
        return false;
    }
    const std::size_t screen = turnTaken_ ? (TargetScreen + 1) % ScreenCount() : 0;
    return stage_.preparer->RunningFor(index, screen, StillMode(stage_.package.items[static_cast<std::size_t>(index)]));
}

std::optional<TPreparedStill> TItemLoader::TakePrepared(std::int32_t index, bool still) {
    if (stage_.preparer == nullptr) {
        return std::nullopt;
    }
    std::optional<TPreparedStill> prepared;
    if (still && Preparable(index)) {
        prepared = stage_.preparer->Take(index, screen_, StillMode(stage_.package.items[static_cast<std::size_t>(index)]));
    }
    // Whatever else was prepared, or is still being prepared, is of no use now.
    stage_.preparer->Discard();
    return prepared;
}

void TItemLoader::LoadItem(std::int32_t index, bool desktopFirst, gfx::TBitmap32& workFrame,
                           const TPreparedStill* prepared) {
    const pkg::ItemRecord& item = stage_.package.items[static_cast<std::size_t>(index)];
    stage_.gif.StopGif();
    const std::int32_t sizeMode = item.ItemSizeMode != -1 ? item.ItemSizeMode : stage_.settings.Stretch;

    std::optional<std::string> file;
    if (prepared == nullptr) {
        const auto piece = pkg::ItemPiece(stage_.package, index);
        if (!piece) {
            throw LoadFailed("unusable extension");
        }
        file = pkg::ExtractPiece(stage_.packageFile, *piece);
        if (!file) {
            throw LoadFailed("cannot be taken out");
        }
    }
    const pkg::ItemKind kind = pkg::ItemKindOf(item.ItemExt);
    if (kind != pkg::ItemKind::Still) {
        if (desktopFirst) {
            // The desktop stays; the first tick plays the movie, once.
            return;
        }
        if (kind == pkg::ItemKind::Flash) {
            ShowFlash(index, sizeMode, *file, workFrame);
        } else {
            ShowVideo(index, sizeMode, *file, workFrame);
        }
        return;
    }
    const std::int32_t stillMode = StillMode(item);
    gfx::IntSize decoded;
    if (prepared != nullptr) {
        // Decoded and laid out already, on the frame itself; what decoding traced comes now.
        for (const std::string& line : prepared->traced) {
            core::Trace(line);
        }
        memImage_ = gfx::TBitmap32();
        memMask_.reset();
        ImageHeld = false;
        ++PreparedShown;
        imageSize_ = prepared->imageSize;
        decoded = prepared->decodedSize;
    } else if (!desktopFirst) {
        DecodeStill(item, *file, stillMode);
        decoded = {memImage_.Width(), memImage_.Height()};
    }
    if (prepared != nullptr || !desktopFirst) {
        if (decoded != imageSize_) {
            core::Trace("Item " + std::to_string(index) + " decoded at " + std::to_string(decoded.width) + " x " +
                        std::to_string(decoded.height) + " of " + std::to_string(imageSize_.width) + " x " +
                        std::to_string(imageSize_.height));
        }
    }
    ImageRect = prepared != nullptr ? prepared->imageRect : DrawStill(stillMode, workFrame);
    StillIndex = index;
    ShownIndex = index;
    stage_.overlays.DrawLogo(workFrame);
    stage_.overlays.DrawCaption(item, workFrame);

    plat::Surface& target = desktopFirst ? stage_.main : ChooseTarget();
    if (!desktopFirst) {
        // The bitmap changes; the canvas keeps the old picture for the transition to start from.
        target.Bitmap() = workFrame;
    }
    if (IsGifItem || animatedStill_) {
        stage_.gif.SetStage(std::exchange(gifbackg_, gfx::TBitmap32()), ImageRect, &target,
                            stage_.package.header.BackgroundColor);
    }
    if (item.ItemEnterSound >= 0 && !stage_.settings.Mute && !stage_.previewMode && !desktopFirst &&
        stage_.loadEnterSound) {
        stage_.loadEnterSound(item.ItemEnterSound);
    }
    Present(target, item, workFrame, stillMode);
    if (file) {
        plat::RemoveFile(*file);
    }
    core::Trace("Item " + std::to_string(index) + " shown");
}

void TItemLoader::ShowVideo(std::int32_t index, std::int32_t sizeMode, const std::string& file,
                            gfx::TBitmap32& workFrame) {
    TVideoItem& video = *stage_.video;
    if (!video.Open(file)) {
        throw LoadFailed("cannot be played: " + video.LastError());
    }
    stage_.overlays.DrawLogo(workFrame);
    ShowBehindPanel(workFrame);
    if (!video.Play(sizeMode, stage_.package.items.size() == 1)) {
        throw LoadFailed("does not play: " + video.LastError());
    }
    StillIndex = -1;
    ShownIndex = index;
    core::Trace("Item " + std::to_string(index) + " shown");
}

void TItemLoader::ShowFlash(std::int32_t index, std::int32_t sizeMode, const std::string& file,
                            gfx::TBitmap32& workFrame) {
    TFlashItem& flash = *stage_.flash;
    // The movie's file stays: the next item of its kind overwrites it.
    flash.Open(file, stage_.settings.ExitMouseMove);
    stage_.overlays.DrawLogo(workFrame);
    ShowBehindPanel(workFrame);
    flash.Play(stage_.package.items[static_cast<std::size_t>(index)], sizeMode);
    StillIndex = -1;
    ShownIndex = index;
    core::Trace("Item " + std::to_string(index) + " shown");
}

// Around a movie the screens show the background and the logo.
void TItemLoader::ShowBehindPanel(gfx::TBitmap32& workFrame) {
    for (std::size_t other = 0; other < stage_.others.size(); ++other) {
        gfx::TBitmap32 frame = stage_.overlays.OtherBackground(other);
        stage_.overlays.DrawLogo(frame);
        stage_.others[other]->Bitmap() = std::move(frame);
        stage_.others[other]->Changed();
    }
    stage_.main.Bitmap() = workFrame;
    stage_.main.Changed();
}

// The first item shows on every monitor at once, laid out for each.
void TItemLoader::ShowStillOnOthers(const pkg::ItemRecord& item, std::int32_t sizeMode) {
    for (std::size_t other = 0; other < stage_.others.size(); ++other) {
        gfx::TBitmap32 frame = stage_.overlays.OtherBackground(other);
        if (ImageHeld) {
            DrawStill(sizeMode, frame);
        }
        stage_.overlays.DrawLogo(frame);
        if (ImageHeld) {
            stage_.overlays.DrawCaption(item, frame);
        }
        plat::Surface& surface = *stage_.others[other];
        surface.Bitmap() = std::move(frame);
        const gfx::IntRect whole = surface.Bitmap().BoundsRect();
        surface.CopyToCanvas(surface.Bitmap(), whole, whole);
    }
}

void TItemLoader::DecodeStill(const pkg::ItemRecord& item, const std::string& file, std::int32_t sizeMode) {
    memImage_ = gfx::TBitmap32();
    memMask_.reset();
    ImageHeld = false;
    std::string why;
    if (IsGifItem) {
        if (!stage_.gif.LoadGif(file, &why)) {
            throw LoadFailed("cannot be decoded: " + why);
        }
        auto first = stage_.gif.FirstFrame(stage_.package.header.BackgroundColor);
        if (!first) {
            throw LoadFailed("has no frame");
        }
        memImage_ = std::move(*first);
        imageSize_ = {memImage_.Width(), memImage_.Height()};
    } else {
        // A photograph much larger than its place on the screen need not be decoded whole.
        const gfx::IntSize frame = DecodeFrame();
        auto picture = gfx::LoadPictureFile(file, &why, [&](gfx::IntSize own) {
            imageSize_ = own;
            return StillSize(sizeMode, frame, own);
        });
        if (!picture) {
            throw LoadFailed("cannot be decoded: " + why);
        }
        if (picture->frames.empty() || picture->frames[0].bitmap.Empty()) {
            throw LoadFailed("has no picture");
        }
        if (picture->frames.size() > 1) {
            // An animation (WebP): the animator takes its frames and gives the first, as for a GIF.
            stage_.gif.LoadAnimation(std::move(*picture));
            auto first = stage_.gif.FirstFrame(stage_.package.header.BackgroundColor);
            if (!first) {
                throw LoadFailed("has no frame");
            }
            memImage_ = std::move(*first);
            animatedStill_ = true;
        } else {
            // The decoded frame becomes MemImage itself: a large photograph is held once, not twice.
            memImage_ = std::move(picture->frames[0].bitmap);
            memImage_.MakeOpaque();
        }
    }
    ApplyFilters(memImage_, item.ItemFilters);
    ImageHeld = true;
    if (item.ItemMaskIndex >= 0) {
        memMask_ = stage_.overlays.LoadMask(stage_.package, stage_.packageFile, item.ItemMaskIndex);
    }
}

// The still laid out on a frame of any monitor's size; returns the rectangle it took.
gfx::IntRect TItemLoader::DrawStill(std::int32_t sizeMode, gfx::TBitmap32& workFrame) {
    if (!ImageHeld) {
        return ImageRect;  // nothing to place: no random draw for a placement nobody sees
    }
    return DrawStillOnFrame(memImage_, memMask_ ? &*memMask_ : nullptr, IsGifItem, sizeMode, imageSize_, workFrame);
}

plat::Surface& TItemLoader::ChooseTarget() {
    TargetScreen = screen_;
    turnTaken_ = true;
    AlternateTarget = TargetScreen == 0;
    return Screen(TargetScreen);
}

void TItemLoader::Present(plat::Surface& target, const pkg::ItemRecord& item, const gfx::TBitmap32& workFrame,
                          std::int32_t sizeMode) {
    const gfx::IntRect whole = workFrame.BoundsRect();
    if (stage_.previewMode || DirectShow) {
        stage_.main.CopyToCanvas(workFrame, whole, whole);
        ShowStillOnOthers(item, sizeMode);
        stage_.gif.AnimateGif();
        return;
    }
    std::string selection = stage_.sequencer.EffectSelection;
    std::int32_t speed = stage_.settings.EffectSpeed;
    if (item.ItemEffectSpeed != -1) {
        selection = item.ItemEffects;
        speed = item.ItemEffectSpeed;
    }
    const std::int32_t frames = trans::FrameCountFromSpeed(workFrame.Width(), speed);
    const std::uint8_t effect = RandomEffect(selection);
    trans::StartTransition(target, workFrame, effect, 9, frames, false);
    if (trans::TTransThread* worker = core::Flags().ActiveTransition) {
        core::Trace("Effect " + std::to_string(effect));
        worker->OnTerminate = stage_.restartTimer;
    } else {
        stage_.gif.AnimateGif();
    }
}

}  // namespace show
