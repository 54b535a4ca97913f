#pragma once

#include <algorithm>
#include <cstdint>

namespace gfx {

struct IntPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

struct IntSize {
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const IntSize&, const IntSize&) = default;
};

// A rectangle that covers [left, right) x [top, bottom), as Windows rectangles do.
struct IntRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    static constexpr IntRect FromSize(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        return {x, y, x + w, y + h};
    }

    constexpr std::int32_t Width() const { return right - left; }
    constexpr std::int32_t Height() const { return bottom - top; }
    constexpr IntSize Size() const { return {Width(), Height()}; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(IntPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    constexpr IntRect Offset(std::int32_t dx, std::int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }

    constexpr IntRect Intersect(const IntRect& o) const {
        IntRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        return r.IsEmpty() ? IntRect{} : r;
    }

    friend bool operator==(const IntRect&, const IntRect&) = default;
};

}  // namespace gfx
