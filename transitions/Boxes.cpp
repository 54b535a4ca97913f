#include "transitions/Boxes.h"

#include <algorithm>

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
    TBoxIn(const TBox& box, const TTransImages& images) : box_(box), images_(images), f_(box.e) {}

    // WorkImage is the new image with the box of the old picture in it, each pixel written once.
    bool DrawFrame(TPresenter& presenter) override {
        const gfx::TBitmap32& fresh = *images_.NewImage;
        gfx::TBitmap32& work = *images_.WorkImage;
        const std::int32_t W = fresh.Width();
        const std::int32_t H = fresh.Height();
        const gfx::IntRect box = box_.At(f_).Intersect(fresh.BoundsRect());
        if (box.IsEmpty()) {
            work.CopyRect({0, 0}, fresh, fresh.BoundsRect());
        } else {
            work.CopyRect({0, 0}, fresh, {0, 0, W, box.top});
            work.CopyRect({0, box.top}, fresh, {0, box.top, box.left, box.bottom});
            work.CopyRect({box.left, box.top}, *images_.OldImage, box);
            work.CopyRect({box.right, box.top}, fresh, {box.right, box.top, W, box.bottom});
            work.CopyRect({0, box.bottom}, fresh, {0, box.bottom, W, H});
        }
        presenter.Present(TSource::Work, fresh.BoundsRect(), fresh.BoundsRect());
        f_ -= box_.d;
        return f_ > 0;
    }

private:
    TBox box_;
    TTransImages images_;
    std::int32_t f_;
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
