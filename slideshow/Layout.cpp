#include "slideshow/Layout.h"

#include <cmath>
#include <cstdlib>

#include "common/Random.h"

namespace show {

namespace {

// Round to nearest, ties to even.
std::int32_t Round(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

// Products are taken as 32-bit integers, as the layout always did.
std::int32_t Mul32(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// A frame exactly as large as the image, scaled by halves around the frame's centre line.
gfx::IntRect ResizeToFit(gfx::IntSize f, gfx::IntSize i) {
    if (static_cast<double>(f.width) / i.width > static_cast<double>(f.height) / i.height) {
        const std::int32_t s = Mul32(i.width, f.height) / i.height;
        return {f.width / 2 - s / 2, 0, f.width / 2 + s / 2, f.height};
    }
    const std::int32_t t = Mul32(i.height, f.width) / i.width;
    return {0, f.height / 2 - t / 2, f.width, f.height / 2 + t / 2};
}

gfx::IntRect Centred(gfx::IntSize f, gfx::IntSize i) {
    const std::int32_t l = (f.width - i.width) / 2;
    const std::int32_t t = (f.height - i.height) / 2;
    return gfx::IntRect::FromSize(l, t, i.width, i.height);
}

// A random offset that keeps the image inside the frame, or shows a random part of a larger one.
gfx::IntRect RandomOffset(gfx::IntSize f, gfx::IntSize i) {
    const std::int32_t dx = f.width - i.width;
    const std::int32_t dy = f.height - i.height;
    const std::int32_t sx = dx > 0 ? 1 : -1;
    const std::int32_t sy = dy > 0 ? 1 : -1;
    const std::int32_t l = sx * core::Random(std::abs(dx));
    const std::int32_t t = sy * core::Random(std::abs(dy));
    return gfx::IntRect::FromSize(l, t, i.width, i.height);
}

// Fitted, then moved to a random place within the room the fit leaves.
gfx::IntRect FitAtRandom(gfx::IntSize f, gfx::IntSize i) {
    gfx::IntRect r = FitRect(f.width, f.height, i.width, i.height);
    if (r.left > 0) {
        const std::int32_t n = core::Random(2 * r.left);
        r.right = r.right - r.left + n;
        r.left = n;
    }
    if (r.top > 0) {
        const std::int32_t n = core::Random(2 * r.top);
        r.bottom = r.bottom - r.top + n;
        r.top = n;
    }
    return r;
}

bool Fits(gfx::IntSize f, gfx::IntSize i) { return i.width <= f.width && i.height <= f.height; }

}  // namespace

gfx::IntRect FitRect(std::int32_t aw, std::int32_t ah, std::int32_t iw, std::int32_t ih) {
    if (aw == 0 || ah == 0 || iw == 0 || ih == 0) {
        return {0, 0, aw, ah};
    }
    std::int32_t w;
    std::int32_t h;
    if (static_cast<double>(iw) / ih >= static_cast<double>(aw) / ah) {
        w = aw;
        h = Round(static_cast<double>(Mul32(ih, aw)) / iw);
    } else {
        w = Round(static_cast<double>(Mul32(iw, ah)) / ih);
        h = ah;
    }
    const std::int32_t l = (aw - w) / 2;
    const std::int32_t t = (ah - h) / 2;
    return gfx::IntRect::FromSize(l, t, w, h);
}

gfx::IntRect PlaceStill(std::int32_t mode, gfx::IntSize f, gfx::IntSize i) {
    // An empty picture has no shape to keep: it is stretched over the frame.
    if (i.width <= 0 || i.height <= 0) {
        return {0, 0, f.width, f.height};
    }
    switch (mode) {
        case 0: return ResizeToFit(f, i);
        case 1: return {0, 0, f.width, f.height};
        case 2: return Centred(f, i);
        case 3: return RandomOffset(f, i);
        case 4: return Fits(f, i) ? Centred(f, i) : FitRect(f.width, f.height, i.width, i.height);
        case 5: return Fits(f, i) ? RandomOffset(f, i) : FitAtRandom(f, i);
        default: return FitAtRandom(f, i);
    }
}

gfx::IntSize StillSize(std::int32_t mode, gfx::IntSize f, gfx::IntSize i) {
    if (i.width <= 0 || i.height <= 0) {
        return f;
    }
    switch (mode) {
        case 0: return ResizeToFit(f, i).Size();
        case 1: return f;
        case 2:
        case 3: return i;
        case 4:
        case 5: return Fits(f, i) ? i : FitRect(f.width, f.height, i.width, i.height).Size();
        default: return FitRect(f.width, f.height, i.width, i.height).Size();
    }
}

gfx::IntRect PlacePanel(std::int32_t mode, gfx::IntSize s, const gfx::IntRect& movie) {
    const std::int32_t w = movie.Width();
    const std::int32_t h = movie.Height();
    const bool tooLarge = w > s.width || h > s.height;
    auto fitted = [&] {
        const gfx::IntRect r = FitRect(s.width, s.height, w + 1, h + 1);
        return gfx::IntRect::FromSize(r.left, r.top, r.Width() + 1, r.Height() + 1);
    };
    switch (mode) {
        case 0: return fitted();
        case 1: return {0, 0, s.width, s.height};
        case 2:
        case 4: {
            if (tooLarge) {
                return fitted();
            }
            const std::int32_t width = movie.right + 1;
            const std::int32_t height = movie.bottom + 1;
            return gfx::IntRect::FromSize(s.width / 2 - width / 2, s.height / 2 - height / 2, width, height);
        }
        default: {
            if (tooLarge) {
                const gfx::IntRect r = FitRect(s.width, s.height, w, h);
                const std::int32_t left = core::Random(s.width - r.Width());
                const std::int32_t top = core::Random(s.height - r.Height());
                return gfx::IntRect::FromSize(left, top, r.Width(), r.Height());
            }
            const std::int32_t width = movie.right + 1;
            const std::int32_t height = movie.bottom + 1;
            const std::int32_t top = core::Random(s.height - height);
            const std::int32_t left = core::Random(s.width - width);
            return gfx::IntRect::FromSize(left, top, width, height);
        }
    }
}

}  // namespace show
