#include "transitions/Ellipses.h"

#include <algorithm>
#include <optional>

#include "transitions/Arith.h"
#include "transitions/RegionWipe.h"

namespace trans {

namespace {

using gfx::TRegion;

class TEllipses final : public TRegionWipe {
public:
    TEllipses(std::int32_t variant, const TTransImages& images, std::int32_t N)
        : TRegionWipe(images),
          variant_(variant),
          N_(N),
          cw_(Ceil(static_cast<double>(Width()) / N)),
          ch_(Ceil(static_cast<double>(Height()) / N)),
          ch1_(Ceil(static_cast<double>(Height() + 1) / N)),
          // "Ellipse Out" and "Ellipse In" end after the frame in which r passes N / 1.5, the others
          // after the one in which it passes 1.5 N.
          last_(variant <= 2 ? N / 1.5 : 1.5 * N) {}

    bool DrawFrame(TPresenter& presenter) override {
        if (const auto region = RegionAt(r_)) {
            Reveal(presenter, *region);
        }
        const bool done = r_ > last_;
        ++r_;
        return !done;
    }

private:
    // The corner ellipses of the second phase flatten as r passes 0.9 N, until the shape is a
    // rectangle.
    std::int32_t Flatten(std::int32_t size, std::int32_t r) const {
        return std::max(0, size - Ceil((r - 0.9 * N_) * (static_cast<double>(size) / N_) * 2));
    }

    std::optional<TRegion> RegionAt(std::int32_t r) const {
        const std::int32_t W = Width();
        const std::int32_t H = Height();
        const std::int32_t e = W / 2;
        const std::int32_t f = H / 2;
        const std::int32_t x = cw_ * r;
        const std::int32_t y = ch_ * r;
        std::optional<TRegion> shape;
        switch (variant_) {
            case 1:  // "Ellipse Out"
                if (r > 0) {
                    shape = TRegion::RoundRect({e - x, f - y, e + x, f + y}, W, H);
                }
                break;
            case 2: {  // "Ellipse In": the old picture's ellipse, s steps from nothing
                const std::int32_t s = Round(N_ / 1.5 - r);
                const TRegion ellipse = TRegion::RoundRect({e - cw_ * s, f - ch_ * s, e + cw_ * s, f + ch_ * s}, W, H);
                return TRegion::Combine(ellipse, TRegion::Rect({0, 0, W, H}), gfx::CombineMode::Xor);
            }
            case 3:  // "Ellipse From Left": half an ellipse on the left edge, then its corners flatten
                if (r > 0 && x <= W) {
                    shape = TRegion::RoundRect({-x, 0, std::min(W, x), H + 1}, W, H);
                } else if (x > W) {
                    shape = TRegion::RoundRect({-W, 0, W, H + 1}, Flatten(W, r), Flatten(H, r));
                }
                break;
            case 4:  // "Ellipse From Right"
                if (r > 0 && x <= W) {
                    shape = TRegion::RoundRect({W - std::min(W, x), 0, W + x, H + 1}, W, H);
                } else if (x > W) {
                    shape = TRegion::RoundRect({0, 0, 2 * W, H + 1}, Flatten(W, r), Flatten(H, r));
                }
                break;
            case 5: {  // "Ellipse From Up": steps of (H + 1) / N against H + 1
                const std::int32_t y1 = ch1_ * r;
                if (r > 0 && y1 <= H + 1) {
                    shape = TRegion::RoundRect({0, -y1, W + 1, std::min(H + 1, y1)}, W, H + 1);
                } else if (y1 > H + 1) {
                    shape = TRegion::RoundRect({0, -H - 1, W + 1, H + 1}, Flatten(W, r), Flatten(H + 1, r));
                }
                if (shape) {
                    return TRegion::Combine(*shape, TRegion::Rect({0, 0, W, H + 1}), gfx::CombineMode::And);
                }
                return std::nullopt;
            }
            default:  // "Ellipse From Bottom": the phase changes by the horizontal test, as on the sides
                if (r > 0 && x <= W) {
                    shape = TRegion::RoundRect({0, H - std::min(H, y), W + 1, H + y}, W, H);
                } else if (x > W) {
                    shape = TRegion::RoundRect({0, 0, W + 1, 2 * H}, Flatten(W, r), Flatten(H, r));
                }
                break;
        }
        if (shape) {
            return TRegion::Combine(*shape, TRegion::Rect({0, 0, W, H}), gfx::CombineMode::And);
        }
        return std::nullopt;
    }

    std::int32_t variant_;
    std::int32_t N_;
    std::int32_t cw_;
    std::int32_t ch_;
    std::int32_t ch1_;
    double last_;
    std::int32_t r_ = 0;
};

}  // namespace

std::unique_ptr<TFamily> MakeEllipses(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    if (variant < 1 || variant > 6) {
        return nullptr;
    }
    return std::make_unique<TEllipses>(variant, images, FrameUnit(frameCount));
}

}  // namespace trans
