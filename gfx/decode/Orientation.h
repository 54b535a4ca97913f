#pragma once

#include <cstdint>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace gfx {

// Where a picture's stored rows and columns belong when it is seen upright: the orientation
// values of EXIF and TIFF, named by what the first stored row and column show (TopLeft: the first
// row is the top, the first column the left; RightTop: the first row is the right side, the first
// column the top, so the picture turns a quarter clockwise).
enum class TOrientation : std::uint8_t {
    TopLeft = 1,
    TopRight = 2,     // mirrored left to right
    BottomRight = 3,  // upside down
    BottomLeft = 4,   // mirrored top to bottom
    LeftTop = 5,      // mirrored along the diagonal from the top left
    RightTop = 6,     // a quarter turn clockwise to view
    RightBottom = 7,  // mirrored along the other diagonal
    LeftBottom = 8,   // a quarter turn anticlockwise to view
};

// The orientation a stored value stands for; anything outside 1 to 8 is TopLeft.
TOrientation OrientationFromValue(std::uint32_t value);

// The upright size of a picture stored at `stored`: the sides swap for LeftTop and beyond.
IntSize OrientedSize(IntSize stored, TOrientation orientation);

// The upright picture, filled from its stored pixels run by run: each pixel goes straight to its
// upright place, so that turning a photograph costs no second copy of it.
class TOrientedRows {
public:
    // Allocates the upright bitmap (throws std::bad_alloc like any bitmap).
    TOrientedRows(IntSize stored, TOrientation orientation);

    IntSize Stored() const { return stored_; }
    // Where stored row y can be written in place; null unless rows stay as they are stored.
    Color32* RowInPlace(std::int32_t y);
    // Stores `count` pixels of stored row y from stored column x on.
    void Put(std::int32_t x, std::int32_t y, const Color32* pixels, std::int32_t count);

    TBitmap32 Take() { return std::move(upright_); }

private:
    IntSize stored_;
    TOrientation orientation_;
    TBitmap32 upright_;
};

}  // namespace gfx
