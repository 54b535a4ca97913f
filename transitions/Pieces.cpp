#include "transitions/Pieces.h"

#include <algorithm>
#include <utility>

#include "transitions/Arith.h"

namespace trans {

TSlide::TSlide(std::int32_t x, std::int32_t y, TSource image, std::int32_t X0, std::int32_t X1, std::int32_t Y0,
               std::int32_t Y1, double dx, double dy, std::int32_t steps)
    : stepsLeft_(steps),
      x_(x),
      y_(y),
      dx_(dx),
      dy_(dy),
      X0_(X0),
      X1_(X1),
      Y0_(Y0),
      Y1_(Y1),
      image_(image) {}

namespace {

// One axis of a slide: the region [lo, hi] drawn at offset d. A negative offset cuts the region's
// far end off the source and draws the rest from lo; otherwise the near end is cut and the rest
// drawn up to hi. Returns whether anything of it lies inside the region.
bool SlideSpan(std::int32_t lo, std::int32_t hi, double d, std::int32_t& targetLo, std::int32_t& targetHi,
               std::int32_t& sourceLo, std::int32_t& sourceHi) {
    if (d < 0) {
        const std::int32_t r = Round(hi + d);
        targetLo = lo;
        targetHi = r;
        sourceLo = hi - (r - lo);
        sourceHi = hi;
        return r >= lo;
    }
    const std::int32_t l = Round(lo + d);
    targetLo = l;
    targetHi = hi;
    sourceLo = lo;
    sourceHi = hi - (l - lo);
    return hi >= l;
}

gfx::IntRect Normalised(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

}  // namespace

bool TSlide::Step() {
    if (stepsLeft_ <= 0) {
        return false;
    }
    --stepsLeft_;
    x_ += dx_;
    y_ += dy_;
    std::int32_t tx0 = 0, tx1 = 0, sx0 = 0, sx1 = 0, ty0 = 0, ty1 = 0, sy0 = 0, sy1 = 0;
    const bool visibleX = SlideSpan(X0_, X1_, x_, tx0, tx1, sx0, sx1);
    const bool visibleY = SlideSpan(Y0_, Y1_, y_, ty0, ty1, sy0, sy1);
    if (visibleX && visibleY) {
        targetRect_ = Normalised(tx0, ty0, tx1, ty1);
        sourceRect_ = Normalised(sx0, sy0, sx1, sy1);
    } else {
        targetRect_ = sourceRect_ = {};
    }
    return stepsLeft_ > 0;
}

TFold::TFold(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double dx, double dy, std::int32_t steps,
             gfx::IntSize imageSize)
    : imageWidth_(imageSize.width),
      imageHeight_(imageSize.height),
      stepsLeft_(steps),
      x_(x),
      y_(y),
      w_(w),
      h_(h),
      dx_(dx),
      dy_(dy) {}

bool TFold::Step() {
    if (stepsLeft_ <= 0) {
        return false;
    }
    --stepsLeft_;
    sourceRect_ = {std::max(Round(std::min(x_, x_ + w_)), 0), std::max(Round(std::min(y_, y_ + h_)), 0),
                   std::min(Round(std::max(x_, x_ + w_)), imageWidth_),
                   std::min(Round(std::max(y_, y_ + h_)), imageHeight_)};
    // Either edge inside the picture (its far edges included) makes the fold visible.
    auto inside = [](double v, std::int32_t limit) { return v >= 0 && v <= limit; };
    const bool visible = (inside(x_, imageWidth_) || inside(x_ + w_, imageWidth_)) &&
                         (inside(y_, imageHeight_) || inside(y_ + h_, imageHeight_));
    if (visible) {
        targetRect_ = sourceRect_;
    } else {
        sourceRect_ = targetRect_ = {};
    }
    x_ += dx_;
    y_ += dy_;
    return stepsLeft_ > 0;
}

TZoom::TZoom(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const gfx::IntRect& source, double vx,
             double vr, double vy, double vb, std::int32_t steps)
    : stepsLeft_(steps), x_(x), y_(y), w_(w), h_(h), vx_(vx), vr_(vr), vy_(vy), vb_(vb), source_(source) {}

bool TZoom::Step() {
    if (stepsLeft_ <= 0) {
        return false;
    }
    --stepsLeft_;
    x_ += vx_;
    y_ += vy_;
    w_ += vr_ - vx_;
    h_ += vb_ - vy_;
    targetRect_ = {Round(x_), Round(y_), Round(x_ + w_), Round(y_ + h_)};
    shownSource_ = source_;
    return stepsLeft_ > 0;
}

}  // namespace trans
