#include "transitions/Boxes.h"

#include <algorithm>
#include <array>

#include "transitions/Arith.h"

namespace trans {

namespace {

// The boxes' common geometry: half-width f steps by d, the half-height follows it by H / W.
struct TBox {
    std::int32_t d;
    std::int32_t e;
    std::int32_t hh;
    double ratio;

    TBox(const gfx::TBitmap32& image, std::int32_t frameCount)
        : d(std::max(image.Width() / FrameUnit(frameCount), 1)),
          e(image.Width() / 2),
          hh(image.Height() / 2),
          ratio(image.Width() > 0 ? static_cast<double>(image.Height()) / image.Width() : 0) {}

    gfx::IntRect At(std::int32_t f) const {
        const std::int32_t g = Round(f * ratio);
        return {e - f, hh - g, e + f, hh + g};
    }
};

class TBoxOut final : public TPacedFamily {
public:
    explicit TBoxOut(const TBox& box) : box_(box), f_(box.d) {}

    // The box goes to the screen as it is; the canvas copy leaves out what lies outside the picture.
    bool DrawFrame(TPresenter& presenter) override {
        const gfx::IntRect r = box_.At(f_);
        presenter.Present(TSource::New, r, r);
        f_ += box_.d;
        return f_ < box_.e + box_.d;
    }

private:
    TBox box_;
    std::int32_t f_;
};

class TBoxIn final : public TPacedFamily {
public:
    TBoxIn(const TBox& box, const TTransImages& images)
        : box_(box), images_(images), f_(box.e), shown_(images.NewImage->BoundsRect()) {}

    // The screen shows the new image with the box of the old picture in it. The box only shrinks, so
    // each frame copies the new image onto the frame it gave up since the last one: at most four
    // strips, each pixel once in the whole run.
    bool DrawFrame(TPresenter& presenter) override {
        const gfx::IntRect box = box_.At(f_).Intersect(images_.NewImage->BoundsRect());
        for (const gfx::IntRect& strip : Frame(shown_, box)) {
            if (!strip.IsEmpty()) {
                presenter.Present(TSource::New, strip, strip);
            }
        }
        shown_ = box;
        f_ -= box_.d;
        return f_ > 0;
    }

private:
    // What lies in outer but not in inner, a rectangle inside it (or empty): above, below, left, right.
    static std::array<gfx::IntRect, 4> Frame(const gfx::IntRect& outer, const gfx::IntRect& inner) {
        if (inner.IsEmpty()) {
            return {outer, {}, {}, {}};
        }
        return {{{outer.left, outer.top, outer.right, inner.top},
                 {outer.left, inner.bottom, outer.right, outer.bottom},
                 {outer.left, inner.top, inner.left, inner.bottom},
                 {inner.right, inner.top, outer.right, inner.bottom}}};
    }

    TBox box_;
    TTransImages images_;
    std::int32_t f_;
    gfx::IntRect shown_;  // the box of the old picture that the screen still shows
};

}  // namespace

std::unique_ptr<TFamily> MakeBoxOut(const TTransImages& images, std::int32_t frameCount) {
    const TBox box(*images.NewImage, frameCount);
    if (box.d >= box.e + box.d) {
        return nullptr;
    }
    return std::make_unique<TBoxOut>(box);
}

std::unique_ptr<TFamily> MakeBoxIn(const TTransImages& images, std::int32_t frameCount) {
    const TBox box(*images.NewImage, frameCount);
    if (box.e <= 0) {
        return nullptr;
    }
    return std::make_unique<TBoxIn>(box, images);
}

}  // namespace trans
