#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "gfx/PixelView.h"

namespace gfx {

// A run of pixels [left, right) on one row.
struct Span {
    std::int32_t left = 0;
    std::int32_t right = 0;

    friend bool operator==(const Span&, const Span&) = default;
};

enum class CombineMode { And, Or, Xor, Diff, Copy };
enum class PolyFillMode { Alternate, Winding };

// A set of pixels, kept row by row as sorted, disjoint, non-touching spans. Shapes rasterise the way
// the system's regions do: a rectangle covers [left, right) x [top, bottom); a polygon takes the
// pixels whose top-left corner lies inside it (left and top edges in, right and bottom edges out);
// ellipses and rounded corners take the pixels whose centre lies inside the curve.
class TRegion {
public:
    TRegion() = default;

    // Corners in any order.
    static TRegion Rect(const IntRect& rect);
    static TRegion Polygon(std::span<const IntPoint> points, PolyFillMode mode = PolyFillMode::Winding);
    // The ellipse inscribed in box.
    static TRegion Ellipse(const IntRect& box);
    // box with its corners rounded by an ellipse of the given size (clamped to the box).
    static TRegion RoundRect(const IntRect& box, std::int32_t ellipseWidth, std::int32_t ellipseHeight);

    // a op b. Copy gives a.
    static TRegion Combine(const TRegion& a, const TRegion& b, CombineMode mode);
    // The union of many regions in one pass over their rows: joining them two at a time would walk
    // the growing union once for every part.
    static TRegion Union(std::span<const TRegion> parts);

    bool IsEmpty() const { return spans_.empty(); }
    // The smallest rectangle around the region; empty for an empty region.
    IntRect ClipBox() const;
    bool Contains(IntPoint p) const;
    void Offset(std::int32_t dx, std::int32_t dy);

    // Rows Top() .. Bottom() - 1 may hold spans.
    std::int32_t Top() const { return top_; }
    std::int32_t Bottom() const { return top_ + static_cast<std::int32_t>(rows_.size()) - (rows_.empty() ? 0 : 1); }
    std::span<const Span> RowSpans(std::int32_t y) const;
    // How many pixels the region covers.
    std::int64_t Area() const;

    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    class Builder;

    std::int32_t top_ = 0;
    std::vector<std::uint32_t> rows_;  // row i's spans are spans_[rows_[i] .. rows_[i + 1])
    std::vector<Span> spans_;
};

// Copies the pixels of source that the region covers onto the same places of target.
void CopyRegion(TBitmap32& target, const TBitmap32& source, const TRegion& region);
void CopyRegion(const PixelView& target, const ConstPixelView& source, const TRegion& region);

// A few rectangles inside bounds that together cover the region's pixels there: the rows in bands of
// bandHeight from the region's top, and in each band the spans of all its rows joined where they
// overlap or lie less than gap pixels apart. So a thin diagonal edge costs a rectangle a band, not
// one a row, and what lies between two distant parts is left out.
std::vector<IntRect> CoveringRects(const TRegion& region, const IntRect& bounds, std::int32_t bandHeight,
                                   std::int32_t gap);
// Fills the pixels of target that the region covers.
void FillRegion(TBitmap32& target, const TRegion& region, Color32 color);

}  // namespace gfx
