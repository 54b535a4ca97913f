#include "transitions/Sweeps.h"

#include <algorithm>

#include "transitions/Arith.h"

namespace trans {

namespace {

class TSweeps final : public TPacedFamily {
public:
    TSweeps(std::int32_t variant, gfx::IntSize size, std::int32_t N)
        : variant_(variant),
          W_(size.width),
          H_(size.height),
          N_(N),
          tw_(Ceil(W_ / 8.0)),
          th_(Ceil(H_ / 8.0)),
          // The same step on both axes, from the height.
          dx_(Ceil(H_ / (N / 4.0))) {
        if (variant == 1) {
            x_ = W_ / 2 - tw_;
            y_ = H_ / 2 - th_;
            left_ = x_;
            top_ = y_;
            right_ = W_ / 2;
            bottom_ = H_ / 2;
        } else {
            left_ = -1;
            top_ = -1;
            right_ = W_ - tw_ + 1;
            bottom_ = H_ - th_ + 1;
        }
    }

    bool DrawFrame(TPresenter& presenter) override {
        const gfx::IntRect tile{std::max(x_, 0), std::max(y_, 0), std::min(x_ + tw_, W_), std::min(y_ + th_, H_)};
        presenter.Present(TSource::New, tile, tile);
        Move();
        ++i_;
        const bool done = variant_ == 1 ? x_ <= 0 && y_ <= 0 : right_ < left_ || bottom_ < top_;
        return !done && i_ <= 4 * std::int64_t{N_};
    }

private:
    // Each turn moves the bound it passes by a tile: outward from the centre (variant 1), or inward from
    // the corner (variant 2); the path turns clockwise either way.
    void Move() {
        const std::int32_t sign = variant_ == 1 ? -1 : 1;
        x_ += dx_;
        y_ += dy_;
        if (dx_ > 0 && x_ >= right_) {
            top_ += sign * th_;
            dy_ = dx_;
            dx_ = 0;
            x_ = right_;
        } else if (dy_ > 0 && y_ >= bottom_) {
            right_ -= sign * tw_;
            dx_ = -dy_;
            dy_ = 0;
            y_ = bottom_;
        } else if (dx_ < 0 && x_ <= left_) {
            bottom_ -= sign * th_;
            dy_ = dx_;
            dx_ = 0;
            x_ = left_;
        } else if (dy_ < 0 && y_ <= top_) {
            left_ += sign * tw_;
            dx_ = -dy_;
            dy_ = 0;
            y_ = top_;
        }
    }

    std::int32_t variant_;
    std::int32_t W_;
    std::int32_t H_;
    std::int32_t N_;
    std::int32_t tw_;
    std::int32_t th_;
    std::int32_t dx_;
    std::int32_t dy_ = 0;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    std::int32_t left_;
    std::int32_t top_;
    std::int32_t right_;
    std::int32_t bottom_;
    std::int64_t i_ = 0;
};

}  // namespace

std::unique_ptr<TFamily> MakeSweeps(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    if (variant < 1 || variant > 2) {
        return nullptr;
    }
    return std::make_unique<TSweeps>(variant, gfx::IntSize{images.NewImage->Width(), images.NewImage->Height()},
                                     FrameUnit(frameCount));
}

}  // namespace trans
