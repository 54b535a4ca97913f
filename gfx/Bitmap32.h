#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "gfx/PixelView.h"

namespace gfx {

// How a bitmap draws onto another: its pixels as they are, or blended by their alpha times the
// bitmap's master alpha.
enum class DrawMode { Opaque, Blend };

// A width x height array of 0xAARRGGBB pixels, rows top to bottom.
class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(std::int32_t width, std::int32_t height, Color32 fill = kOpaqueBlack) { SetSize(width, height, fill); }

    // Negative sizes count as empty.
    void SetSize(std::int32_t width, std::int32_t height, Color32 fill = kOpaqueBlack);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    IntRect BoundsRect() const { return {0, 0, width_, height_}; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    Color32* Bits() { return pixels_.data(); }
    const Color32* Bits() const { return pixels_.data(); }
    Color32* Row(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Color32* Row(std::int32_t y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    PixelView View() { return {pixels_.data(), width_, height_, width_}; }
    ConstPixelView View() const { return {pixels_.data(), width_, height_, width_}; }

    Color32 Pixel(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
    void SetPixel(std::int32_t x, std::int32_t y, Color32 c) { Row(y)[x] = c; }
    // Checked access: outside the bitmap reads give 0 and writes do nothing.
    Color32 PixelS(std::int32_t x, std::int32_t y) const;
    void SetPixelS(std::int32_t x, std::int32_t y, Color32 c);

    void Clear(Color32 color);
    // Fills the part of rect that lies inside the bitmap.
    void FillRect(const IntRect& rect, Color32 color);
    // Sets every pixel's alpha, keeping its colour.
    void ResetAlpha(std::uint8_t alpha);
    void MakeOpaque() { ResetAlpha(255); }
    // Mirror swaps left and right, Flip top and bottom.
    void Mirror();
    void Flip();

    // Copies sourceRect of source (another bitmap) here with its top-left corner at `at`, pixels as
    // they are; parts outside either bitmap are left out.
    void CopyRect(IntPoint at, const TBitmap32& source, const IntRect& sourceRect);

    DrawMode GetDrawMode() const { return drawMode_; }
    void SetDrawMode(DrawMode mode) { drawMode_ = mode; }
    std::uint8_t MasterAlpha() const { return masterAlpha_; }
    void SetMasterAlpha(std::uint8_t alpha) { masterAlpha_ = alpha; }

    // Draws this bitmap onto target (another bitmap) by the draw mode: whole at a position, or a part
    // of it stretched into a rectangle with bilinear resampling.
    void DrawTo(TBitmap32& target, IntPoint at) const;
    void DrawTo(TBitmap32& target, const IntRect& targetRect) const { DrawTo(target, targetRect, BoundsRect()); }
    void DrawTo(TBitmap32& target, const IntRect& targetRect, const IntRect& sourceRect) const;

    // Same size and pixels; the draw settings do not count.
    friend bool operator==(const TBitmap32& a, const TBitmap32& b) {
        return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
    }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<Color32> pixels_;
    DrawMode drawMode_ = DrawMode::Opaque;
    std::uint8_t masterAlpha_ = 255;
};

}  // namespace gfx
