#include "transitions/FoldFade.h"

#include "common/Random.h"

namespace trans {

namespace {

// Ceil(k * 255 / (n - 1)) for the k-th of n steps of a ramp. A ramp one pixel long has no steps to
// divide by; its one pixel is the one next to the revealed area, and stays fully opaque.
gfx::Color32 RampAlpha(std::int32_t k, std::int32_t n) {
    if (n <= 1) {
        return 255;
    }
    return static_cast<gfx::Color32>((k * 255 + n - 2) / (n - 1));
}

}  // namespace

TFoldFade::TFoldFade(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double dx, double dy,
                     std::int32_t steps, std::int32_t ramp, const gfx::TBitmap32& newImage)
    : band_(x, y, w, h, dx, dy, steps, {newImage.Width(), newImage.Height()}),
      ramp_(ramp),
      newImage_(&newImage),
      buffer_(w, h) {
    buffer_.SetDrawMode(gfx::DrawMode::Blend);
    // The ramp's alpha bytes along its direction, worked out once.
    const bool across = ramp == FallsRight || ramp == RisesRight;
    const bool down = ramp == FallsDown || ramp == RisesDown;
    const std::int32_t n = across ? buffer_.Width() : down ? buffer_.Height() : 0;
    alphas_.resize(static_cast<std::size_t>(n));
    for (std::int32_t k = 0; k < n; ++k) {
        const bool falls = ramp == FallsRight || ramp == FallsDown;
        alphas_[static_cast<std::size_t>(k)] = RampAlpha(falls ? n - 1 - k : k, n) << 24;
    }
}

bool TFoldFade::Step() {
    if (band_.StepsLeft() <= 0) {
        return false;
    }
    const bool more = band_.Step();
    const gfx::IntRect& source = band_.SourceRect();
    if (source != gfx::IntRect{}) {
        buffer_.CopyRect({0, 0}, *newImage_, source);
        SetRamp();
    }
    return more;
}

// The alpha byte of every buffer pixel; the colour bytes stay.
void TFoldFade::SetRamp() {
    const std::int32_t bw = buffer_.Width();
    const std::int32_t bh = buffer_.Height();
    const bool across = ramp_ == FallsRight || ramp_ == RisesRight;
    const bool down = ramp_ == FallsDown || ramp_ == RisesDown;
    for (std::int32_t j = 0; j < bh; ++j) {
        gfx::Color32* row = buffer_.Row(j);
        if (across) {
            for (std::int32_t i = 0; i < bw; ++i) {
                row[i] = (row[i] & 0x00FFFFFFu) | alphas_[static_cast<std::size_t>(i)];
            }
        } else if (down) {
            const gfx::Color32 alpha = alphas_[static_cast<std::size_t>(j)];
            for (std::int32_t i = 0; i < bw; ++i) {
                row[i] = (row[i] & 0x00FFFFFFu) | alpha;
            }
        } else {
            for (std::int32_t i = 0; i < bw; ++i) {
                row[i] = (row[i] & 0x00FFFFFFu) | static_cast<gfx::Color32>(core::Random(256)) << 24;
            }
        }
    }
}

}  // namespace trans
