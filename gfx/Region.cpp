#include "gfx/Region.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "gfx/Blit.h"

namespace gfx {

// Collects rows from the top down, joins touching spans and trims empty rows at both ends.
class TRegion::Builder {
public:
    explicit Builder(std::int32_t top) { region_.top_ = top; }

    // The next row's spans, sorted by left edge and not overlapping.
    void AddRow(std::span<const Span> spans) {
        if (region_.rows_.empty()) {
            region_.rows_.push_back(0);
        }
        for (const Span& s : spans) {
            if (s.left >= s.right) {
                continue;
            }
            const bool sameRow = region_.spans_.size() > region_.rows_.back();
            if (sameRow && region_.spans_.back().right >= s.left) {
                region_.spans_.back().right = std::max(region_.spans_.back().right, s.right);
            } else {
                region_.spans_.push_back(s);
            }
        }
        region_.rows_.push_back(static_cast<std::uint32_t>(region_.spans_.size()));
    }

    void AddEmptyRow() { AddRow({}); }

    TRegion Finish() {
        auto& rows = region_.rows_;
        if (region_.spans_.empty()) {
            return {};
        }
        // rows[i] == rows[i + 1]: row i is empty.
        std::size_t first = 0;
        while (rows[first] == rows[first + 1]) {
            ++first;
        }
        std::size_t last = rows.size() - 1;
        while (rows[last - 1] == rows[last]) {
            --last;
        }
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(last) + 1, rows.end());
        rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(first));
        region_.top_ += static_cast<std::int32_t>(first);
        return std::move(region_);
    }

private:
    TRegion region_;
};

TRegion TRegion::Rect(const IntRect& rect) {
    const IntRect r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
                    std::max(rect.top, rect.bottom)};
    if (r.IsEmpty()) {
        return {};
    }
    Builder b(r.top);
    const Span row[] = {{r.left, r.right}};
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        b.AddRow(row);
    }
    return b.Finish();
}

namespace {

// ceil(num / den) for den > 0. The 32-bit build divides 64-bit numbers in a library routine, several
// times slower than the processor's own division, which every edge of a picture's size fits.
std::int64_t CeilDiv(std::int64_t num, std::int64_t den) {
    constexpr std::int64_t kNarrow = std::numeric_limits<std::int32_t>::max();
    if (num >= -kNarrow && num <= kNarrow && den <= kNarrow) {
        const auto n = static_cast<std::int32_t>(num);
        const auto d = static_cast<std::int32_t>(den);
        const std::int32_t q = n / d;
        return (n % d != 0 && n > 0) ? q + 1 : q;
    }
    const std::int64_t q = num / den;
    return (num % den != 0 && num > 0) ? q + 1 : q;
}

struct Crossing {
    std::int32_t x;
    int direction;
};

}  // namespace

TRegion TRegion::Polygon(std::span<const IntPoint> points, PolyFillMode mode) {
    if (points.size() < 3) {
        return {};
    }
    std::int32_t minY = std::numeric_limits<std::int32_t>::max();
    std::int32_t maxY = std::numeric_limits<std::int32_t>::min();
    for (const IntPoint& p : points) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    Builder b(minY);
    std::vector<Crossing> crossings;
    std::vector<Span> row;
    for (std::int32_t y = minY; y < maxY; ++y) {
        // Each edge that spans this row's top line crosses it at the first pixel at or right of it.
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const IntPoint p = points[i];
            const IntPoint q = points[(i + 1) % points.size()];
            if (p.y == q.y) {
                continue;
            }
            const IntPoint& upper = p.y < q.y ? p : q;
            const IntPoint& lower = p.y < q.y ? q : p;
            if (y < upper.y || y >= lower.y) {
                continue;
            }
            const std::int64_t num = std::int64_t{y - upper.y} * (lower.x - upper.x);
            const auto x = static_cast<std::int32_t>(upper.x + CeilDiv(num, lower.y - upper.y));
            crossings.push_back({x, p.y < q.y ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& c) { return a.x < c.x; });
        row.clear();
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += mode == PolyFillMode::Winding ? crossings[i].direction : 1;
            const bool inside = mode == PolyFillMode::Winding ? winding != 0 : (winding & 1) != 0;
            if (inside) {
                row.push_back({crossings[i].x, crossings[i + 1].x});
            }
        }
        b.AddRow(row);
    }
    return b.Finish();
}

TRegion TRegion::Ellipse(const IntRect& box) {
    return RoundRect(box, std::abs(box.Width()), std::abs(box.Height()));
}

TRegion TRegion::RoundRect(const IntRect& box, std::int32_t ellipseWidth, std::int32_t ellipseHeight) {
    const IntRect r{std::min(box.left, box.right), std::min(box.top, box.bottom), std::max(box.left, box.right),
                    std::max(box.top, box.bottom)};
    if (r.IsEmpty()) {
        return {};
    }
    const std::int32_t ew = std::min(std::abs(ellipseWidth), r.Width());
    const std::int32_t eh = std::min(std::abs(ellipseHeight), r.Height());
    if (ew == 0 || eh == 0) {
        return Rect(r);
    }
    const double rx = ew / 2.0;
    const double ry = eh / 2.0;
    Builder b(r.top);
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const double centre = y + 0.5;
        // How far into a corner's ellipse this row lies, as a fraction of its radius.
        double d = 0;
        if (centre < r.top + ry) {
            d = (r.top + ry - centre) / ry;
        } else if (centre > r.bottom - ry) {
            d = (centre - (r.bottom - ry)) / ry;
        }
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - d * d));
        // Pixel centres within `half` of the corner ellipses' centres, and everything between them.
        const auto left = static_cast<std::int32_t>(std::ceil(r.left + rx - half - 0.5));
        const auto right = static_cast<std::int32_t>(std::floor(r.right - rx + half - 0.5)) + 1;
        const Span span{std::max(left, r.left), std::min(right, r.right)};
        if (span.left < span.right) {
            b.AddRow(std::span<const Span>(&span, 1));
        } else {
            b.AddEmptyRow();
        }
    }
    return b.Finish();
}

namespace {

bool Apply(CombineMode mode, bool a, bool b) {
    switch (mode) {
        case CombineMode::And:
            return a && b;
        case CombineMode::Or:
            return a || b;
        case CombineMode::Xor:
            return a != b;
        case CombineMode::Diff:
            return a && !b;
        case CombineMode::Copy:
            return a;
    }
    return false;
}

// One row of a op b: walks the span edges of both rows in order and keeps the runs where the
// operation holds.
void CombineRow(std::span<const Span> a, std::span<const Span> b, CombineMode mode, std::vector<Span>& out) {
    constexpr std::int32_t kEnd = std::numeric_limits<std::int32_t>::max();
    auto edge = [](std::span<const Span> s, std::size_t i) {
        return i >= 2 * s.size() ? kEnd : (i % 2 == 0 ? s[i / 2].left : s[i / 2].right);
    };
    std::size_t i = 0;
    std::size_t j = 0;
    bool inA = false;
    bool inB = false;
    bool inside = false;
    std::int32_t start = 0;
    for (;;) {
        const std::int32_t x = std::min(edge(a, i), edge(b, j));
        if (x == kEnd) {
            break;
        }
        if (edge(a, i) == x) {
            inA = !inA;
            ++i;
        }
        if (edge(b, j) == x) {
            inB = !inB;
            ++j;
        }
        const bool now = Apply(mode, inA, inB);
        if (now && !inside) {
            start = x;
        } else if (!now && inside) {
            out.push_back({start, x});
        }
        inside = now;
    }
}

}  // namespace

TRegion TRegion::Combine(const TRegion& a, const TRegion& b, CombineMode mode) {
    if (a.IsEmpty() && b.IsEmpty()) {
        return {};
    }
    const std::int32_t top = a.IsEmpty() ? b.Top() : b.IsEmpty() ? a.Top() : std::min(a.Top(), b.Top());
    const std::int32_t bottom = std::max(a.Bottom(), b.Bottom());
    Builder builder(top);
    std::vector<Span> row;
    for (std::int32_t y = top; y < bottom; ++y) {
        row.clear();
        CombineRow(a.RowSpans(y), b.RowSpans(y), mode, row);
        builder.AddRow(row);
    }
    return builder.Finish();
}

TRegion TRegion::Union(std::span<const TRegion> parts) {
    std::int32_t top = std::numeric_limits<std::int32_t>::max();
    std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
    for (const TRegion& p : parts) {
        if (!p.IsEmpty()) {
            top = std::min(top, p.Top());
            bottom = std::max(bottom, p.Bottom());
        }
    }
    if (top >= bottom) {
        return {};
    }
    Builder builder(top);
    std::vector<Span> row;
    for (std::int32_t y = top; y < bottom; ++y) {
        row.clear();
        for (const TRegion& p : parts) {
            const auto spans = p.RowSpans(y);
            row.insert(row.end(), spans.begin(), spans.end());
        }
        // Sorted by left edge, the builder joins what overlaps or touches.
        std::sort(row.begin(), row.end(), [](const Span& a, const Span& b) { return a.left < b.left; });
        builder.AddRow(row);
    }
    return builder.Finish();
}

IntRect TRegion::ClipBox() const {
    if (IsEmpty()) {
        return {};
    }
    IntRect box{std::numeric_limits<std::int32_t>::max(), top_, std::numeric_limits<std::int32_t>::min(), Bottom()};
    for (std::size_t i = 0; i + 1 < rows_.size(); ++i) {
        if (rows_[i] != rows_[i + 1]) {
            box.left = std::min(box.left, spans_[rows_[i]].left);
            box.right = std::max(box.right, spans_[rows_[i + 1] - 1].right);
        }
    }
    return box;
}

std::span<const Span> TRegion::RowSpans(std::int32_t y) const {
    if (IsEmpty() || y < top_ || y >= Bottom()) {
        return {};
    }
    const auto i = static_cast<std::size_t>(y - top_);
    return std::span<const Span>(spans_.data() + rows_[i], rows_[i + 1] - rows_[i]);
}

bool TRegion::Contains(IntPoint p) const {
    for (const Span& s : RowSpans(p.y)) {
        if (p.x < s.left) {
            return false;
        }
        if (p.x < s.right) {
            return true;
        }
    }
    return false;
}

void TRegion::Offset(std::int32_t dx, std::int32_t dy) {
    if (IsEmpty()) {
        return;
    }
    top_ += dy;
    for (Span& s : spans_) {
        s.left += dx;
        s.right += dx;
    }
}

std::int64_t TRegion::Area() const {
    std::int64_t area = 0;
    for (const Span& s : spans_) {
        area += s.right - s.left;
    }
    return area;
}

namespace {

template <typename RowOp>
void ForEachClippedSpan(const TRegion& region, const IntRect& bounds, RowOp op) {
    const std::int32_t top = std::max(region.Top(), bounds.top);
    const std::int32_t bottom = std::min(region.Bottom(), bounds.bottom);
    for (std::int32_t y = top; y < bottom; ++y) {
        for (const Span& s : region.RowSpans(y)) {
            const std::int32_t left = std::max(s.left, bounds.left);
            const std::int32_t right = std::min(s.right, bounds.right);
            if (left < right) {
                op(y, left, right);
            }
        }
    }
}

}  // namespace

void CopyRegion(TBitmap32& target, const TBitmap32& source, const TRegion& region) {
    CopyRegion(target.View(), source.View(), region);
}

void CopyRegion(const PixelView& target, const ConstPixelView& source, const TRegion& region) {
    const IntRect bounds = target.Bounds().Intersect(source.Bounds());
    ForEachClippedSpan(region, bounds, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        CopyRow(target.Row(y) + left, source.Row(y) + left, right - left);
    });
}

std::vector<IntRect> CoveringRects(const TRegion& region, const IntRect& bounds, std::int32_t bandHeight,
                                   std::int32_t gap) {
    std::vector<IntRect> rects;
    if (region.IsEmpty()) {
        return rects;
    }
    bandHeight = std::max(bandHeight, 1);
    std::vector<Span> spans;
    for (std::int32_t band = region.Top(); band < region.Bottom(); band += bandHeight) {
        const IntRect rows{bounds.left, std::max(band, bounds.top), bounds.right,
                           std::min(band + bandHeight, bounds.bottom)};
        spans.clear();
        std::int32_t top = rows.bottom;
        std::int32_t bottom = rows.top;
        ForEachClippedSpan(region, rows, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
            spans.push_back({left, right});
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        });
        std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.left < b.left; });
        for (std::size_t i = 0; i < spans.size();) {
            Span joined = spans[i];
            for (++i; i < spans.size() && spans[i].left < joined.right + gap; ++i) {
                joined.right = std::max(joined.right, spans[i].right);
            }
            rects.push_back({joined.left, top, joined.right, bottom});
        }
    }
    return rects;
}

void FillRegion(TBitmap32& target, const TRegion& region, Color32 color) {
    ForEachClippedSpan(region, target.BoundsRect(), [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        std::fill(target.Row(y) + left, target.Row(y) + right, color);
    });
}

}  // namespace gfx
