#include "slideshow/GifComposer.h"

#include <algorithm>
#include <utility>

namespace show {

namespace {

using gfx::TDisposal;

// The system's window colour in its standard scheme; the seam knows no system colours.
constexpr gfx::Color32 kWindowColor = 0xFFFFFFFFu;

bool AnyTransparent(const gfx::TPicture& p) {
    return std::any_of(p.frames.begin(), p.frames.end(), [](const auto& f) { return f.HasTransparency(); });
}

gfx::Color32 FillColorOf(const gfx::TPicture& p) {
    gfx::Color32 fill = kWindowColor;
    if (!p.frames.empty() && p.frames.front().HasTransparency()) {
        fill = p.frames.front().transparentColor;
    } else if (p.backgroundColor && AnyTransparent(p)) {
        fill = *p.backgroundColor;
    }
    return fill & 0x00FFFFFFu;
}

}  // namespace

TGifComposer::TGifComposer(gfx::TPicture picture) : picture_(std::move(picture)), fill_(FillColorOf(picture_)) {}

std::int32_t TGifComposer::StartFrame(std::int32_t k) const {
    const gfx::IntRect screen{0, 0, picture_.size.width, picture_.size.height};
    for (std::int32_t j = k; j >= 1; --j) {
        const gfx::TPictureFrame& f = picture_.frames[static_cast<std::size_t>(j)];
        if (f.Rect() != screen) {
            continue;
        }
        // Frame k itself hides everything when it is opaque. An earlier frame decides what follows
        // it only when it stays (opaque) or clears the screen (restored to the background); one
        // restored to the previous picture leaves the frames before it showing.
        const bool opaque = f.Opaque() && (j == k || f.disposal != TDisposal::RestorePrevious);
        if (opaque || (f.disposal == TDisposal::RestoreBackground && j < k)) {
            return j;
        }
    }
    return 0;
}

void TGifComposer::DrawFrame(std::int32_t j) {
    const gfx::TPictureFrame& f = picture_.frames[static_cast<std::size_t>(j)];
    const gfx::IntRect r = f.Rect().Intersect(cache_.BoundsRect());
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const gfx::Color32* in = f.bitmap.Row(y - f.position.y) + (r.left - f.position.x);
        gfx::Color32* out = cache_.Row(y) + r.left;
        for (std::int32_t x = 0; x < r.Width(); ++x) {
            if (gfx::AlphaOf(in[x]) != 0) {
                out[x] = in[x];
            }
        }
    }
}

void TGifComposer::FillFrame(std::int32_t j) {
    cache_.FillRect(picture_.frames[static_cast<std::size_t>(j)].Rect(), fill_);
}

const gfx::TBitmap32& TGifComposer::Compose(std::int32_t k) {
    if (k < 0 || k >= FrameCount()) {
        return cache_;
    }
    const auto disposal = [this](std::int32_t j) { return picture_.frames[static_cast<std::size_t>(j)].disposal; };
    if (k > 0 && cachedIndex_ == k - 1 && disposal(k - 1) != TDisposal::RestorePrevious) {
        // Continue from frame k - 1's picture.
        if (disposal(k - 1) == TDisposal::RestoreBackground) {
            FillFrame(k - 1);
        }
    } else {
        // Start afresh and replay what still shows of the frames before k.
        cache_.SetSize(picture_.size.width, picture_.size.height, fill_);
        const std::int32_t start = StartFrame(k);
        for (std::int32_t j = start; j < k; ++j) {
            const TDisposal d = disposal(j);
            if (d == TDisposal::Unspecified || d == TDisposal::DoNotDispose) {
                DrawFrame(j);
            } else if (d == TDisposal::RestoreBackground && j > start) {
                FillFrame(j);
            }
        }
    }
    DrawFrame(k);
    cachedIndex_ = k;
    return cache_;
}

}  // namespace show
