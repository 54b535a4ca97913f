#include "transitions/RandomShapes.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/Random.h"
#include "transitions/Arith.h"
#include "transitions/RegionWipe.h"

namespace trans {

namespace {

using gfx::TRegion;

class TRandomShapes final : public TRegionWipe {
public:
    TRandomShapes(std::int32_t variant, const TTransImages& images, std::int32_t N)
        : TRegionWipe(images),
          variant_(variant),
          d_(Divisions(variant, N, Width(), Height())),
          k_(variant == 5 ? 1 : std::max(1, d_ / 4 * 4)),
          limit_(std::int64_t{N} * N * N) {}

    bool DrawFrame(TPresenter& presenter) override {
        if (!dealt_) {
            Deal(variant_ <= 2 ? d_ : (d_ + 1) * (d_ + 1));
        }
        const std::int32_t W = Width();
        const std::int32_t H = Height();
        if (variant_ <= 2) {
            if (left_ > 0) {
                const std::int32_t e = Take();
                Reveal(presenter, TRegion::Rect(variant_ == 1 ? gfx::IntRect{0, MulDiv(H, e, d_), W, MulDiv(H, e + 1, d_)}
                                                   : gfx::IntRect{MulDiv(W, e, d_), 0, MulDiv(W, e + 1, d_), H}));
            }
        } else {
            for (std::int32_t j = 0; j < k_ && left_ > 0; ++j) {
                const std::int32_t cell = Take();
                const std::int32_t c = cell % (d_ + 1);
                const std::int32_t r = cell / (d_ + 1);
                if (variant_ == 3) {
                    parts_.push_back(TRegion::Rect(
                        {MulDiv(W, c, d_), MulDiv(H, r, d_), MulDiv(W, c + 1, d_), MulDiv(H, r + 1, d_)}));
                } else {
                    // Two cells wide and high, centred on the grid point (W c / d, H r / d).
                    parts_.push_back(TRegion::Ellipse(
                        {MulDiv(W, c - 1, d_), MulDiv(H, r - 1, d_), MulDiv(W, c + 1, d_), MulDiv(H, r + 1, d_)}));
                }
            }
            Reveal(presenter, TRegion::Union(parts_));
            parts_.clear();
        }
        ++i_;
        return !done_ && i_ < limit_;
    }

private:
    // Bands (1, 2) or grid divisions (3-5). A picture less than 4 or 8 pixels high would give no
    // division at all and a grid that divides by zero; it gets one division instead.
    static std::int32_t Divisions(std::int32_t variant, std::int32_t N, std::int32_t W, std::int32_t H) {
        switch (variant) {
            case 1:
                return std::max(1, std::min(N, H));
            case 2:
                return std::max(1, std::min(N, W));
            case 3:
                return std::max(1, std::min(N, H / 4));
            case 4:
                return std::max(1, std::min(N, H / 8));
            default:
                return 10;
        }
    }

    // The deck in order, then each position swapped with a random one; it is dealt from the end.
    void Deal(std::int32_t n) {
        deck_.resize(static_cast<std::size_t>(n));
        for (std::int32_t p = 0; p < n; ++p) {
            deck_[static_cast<std::size_t>(p)] = p;
        }
        for (std::int32_t p = 0; p < n; ++p) {
            std::swap(deck_[static_cast<std::size_t>(p)], deck_[static_cast<std::size_t>(core::Random(n))]);
        }
        left_ = n;
        dealt_ = true;
    }

    // The last entry not yet drawn; the deck is released with its last one.
    std::int32_t Take() {
        const std::int32_t entry = deck_[static_cast<std::size_t>(--left_)];
        if (left_ == 0) {
            done_ = true;
            deck_ = {};
        }
        return entry;
    }

    std::int32_t variant_;
    std::int32_t d_;
    std::int32_t k_;
    // At most N * N * N frames, counted in 64 bits: in 32 bits N^3 wraps from N = 1291 on.
    std::int64_t limit_;
    std::int64_t i_ = 0;
    bool dealt_ = false;
    bool done_ = false;
    std::int32_t left_ = 0;
    std::vector<std::int32_t> deck_;
    std::vector<TRegion> parts_;
};

}  // namespace

std::unique_ptr<TFamily> MakeRandomShapes(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    if (variant < 1 || variant > 5) {
        return nullptr;
    }
    return std::make_unique<TRandomShapes>(variant, images, FrameUnit(frameCount));
}

}  // namespace trans
