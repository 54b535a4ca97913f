#include "transitions/Shapes.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "transitions/Arith.h"
#include "transitions/RegionWipe.h"

namespace trans {

namespace {

using gfx::IntPoint;
using gfx::TRegion;

TRegion Triangle(IntPoint p0, IntPoint p1, IntPoint p2) {
    const IntPoint points[] = {p0, p1, p2};
    return TRegion::Polygon(points, gfx::PolyFillMode::Winding);
}

class TShapes final : public TRegionWipe {
public:
    TShapes(std::int32_t variant, const TTransImages& images, std::int32_t N)
        : TRegionWipe(images), variant_(variant), N_(N), M_(Ceil(0.5 * N)) {
        parts_.reserve(50);
    }

    // Frames i = 0..N; "Triangles" draws its frame after i = M as i = N + 1, which also ends it.
    bool DrawFrame(TPresenter& presenter) override {
        if (variant_ == 11 && i_ > M_) {
            i_ = N_ + 1;
        }
        Reveal(presenter, RegionAt(i_));
        ++i_;
        return i_ <= N_;
    }

private:
    // Ceil(k * i / N) with the integer product k * i divided in double precision.
    std::int32_t Part(std::int64_t k, std::int32_t i) const { return Ceil(static_cast<double>(k * i) / N_); }

    TRegion Union() {
        TRegion region = TRegion::Union(parts_);
        parts_.clear();
        return region;
    }

    TRegion RegionAt(std::int32_t i) {
        const std::int32_t W = Width();
        const std::int32_t H = Height();
        const std::int32_t hw = W / 2;
        const std::int32_t hh = H / 2;
        const double n = N_;
        const IntPoint c{hw, hh};
        const std::int32_t a = Part(W, i);
        const std::int32_t b = Part(H, i);
        switch (variant_) {
            case 1:  // "Diagonal Unfold From Up Left": legs reach twice the picture, covering it at i = N / 2
                return Triangle({0, 0}, {0, Part(2 * H, i)}, {Part(2 * W, i), 0});
            case 2:  // "Diagonal Unfold From Up Right"
                return Triangle({W, 0}, {W, Part(2 * H, i)}, {W - Part(2 * W, i), 0});
            case 3:  // "Diagonal Unfold From Bottom Right"
                return Triangle({W, H}, {W, H - Part(2 * H, i)}, {W - Part(2 * W, i), H});
            case 4:  // "Diagonal Unfold From Bottom Left"
                return Triangle({0, H}, {0, H - Part(2 * H, i)}, {Part(2 * W, i), H});
            case 5:  // "Propeller Clockwise"
                parts_.push_back(Triangle({0, 0}, c, {a, 0}));
                parts_.push_back(Triangle({0, H}, c, {0, H - b}));
                parts_.push_back(Triangle({W, H}, c, {W - a, H}));
                parts_.push_back(Triangle({W, 0}, c, {W, b}));
                return Union();
            case 6:  // "Propeller Counter-Clockwise"
                parts_.push_back(Triangle({W, 0}, c, {W - a, 0}));
                parts_.push_back(Triangle({0, 0}, c, {0, b}));
                parts_.push_back(Triangle({0, H}, c, {a, H}));
                parts_.push_back(Triangle({W, H}, c, {W, H - b}));
                return Union();
            case 7:  // "Clock": the hand's free end runs along one edge per quarter, from the top-left corner
                if (i <= 0.25 * n) {
                    return Triangle({0, 0}, c, {Part(4 * std::int64_t{W}, i), 0});
                }
                if (i <= 0.5 * n) {
                    return Triangle({W, 0}, c, {W, Ceil((i - 0.25 * n) * 4 * H / n)});
                }
                if (i <= 0.75 * n) {
                    return Triangle({W, H}, c, {W - Ceil((i - 0.5 * n) * 4 * W / n), H});
                }
                return Triangle({0, H}, c, {0, H - Ceil((i - 0.75 * n) * 4 * H / n)});
            case 8:  // "Clock Counter-Clockwise"
                if (i <= 0.25 * n) {
                    return Triangle({0, 0}, c, {0, Part(4 * std::int64_t{H}, i)});
                }
                if (i <= 0.5 * n) {
                    return Triangle({0, H}, c, {Ceil((i - 0.25 * n) * 4 * W / n), H});
                }
                if (i <= 0.75 * n) {
                    return Triangle({W, H}, c, {W, H - Ceil((i - 0.5 * n) * 4 * H / n)});
                }
                return Triangle({W, 0}, c, {W - Ceil((i - 0.75 * n) * 4 * W / n), 0});
            case 9: {  // "Chaos Star": i radians; horizontal offsets scale with H, vertical ones with W,
                       // and both are offset by hw
                const double t = i;
                const double u = t + std::numbers::pi / 2;
                return Triangle(c, {Round(std::cos(t) * H * i / n) + hw, Round(std::sin(t) * W * i / n) + hw},
                                {Round(std::cos(u) * H * i / n) + hw, Round(std::sin(u) * W * i / n) + hw});
            }
            case 10:  // "Window Washer"
                parts_.push_back(Triangle({0, 0}, {0, H}, {a, H - b}));
                parts_.push_back(Triangle({W, H}, {W, 0}, {W - a, b}));
                return Union();
            case 11: {  // "Triangles": a 7 x 7 grid of corners W / 6 and H / 6 apart, covered at legs of two cells
                const std::int32_t u = Ceil(static_cast<double>(std::int64_t{W} * i) / M_ / 3);
                const std::int32_t v = Ceil(static_cast<double>(std::int64_t{H} * i) / M_ / 3);
                parts_.push_back(Triangle({0, 0}, {0, v}, {u, 0}));
                for (std::int32_t j = 0; j <= 6; ++j) {
                    for (std::int32_t k = 0; k <= 6; ++k) {
                        const std::int32_t x0 = W * j / 6;
                        const std::int32_t y0 = H * k / 6;
                        parts_.push_back(Triangle({x0, y0}, {x0, y0 + v}, {x0 + u, y0}));
                    }
                }
                return Union();
            }
            case 12: {  // "Quarter Clock To Bottom Right": the hand turns about the bottom-left corner
                const TQuarter q = Quarter(i, W);
                return q.phase == 0   ? Triangle({0, 0}, {0, H}, {q.t, 0})
                       : q.phase == 1 ? Triangle({0, 0}, {0, H}, {W, 0})
                                      : Triangle({W, 0}, {0, H}, {W, q.beyond});
            }
            case 13: {  // "Quarter Clock To Up Left 1": about the bottom-left corner, up the right edge
                const TQuarter q = Quarter(i, H);
                return q.phase == 0   ? Triangle({W, H}, {0, H}, {W, H - q.t})
                       : q.phase == 1 ? Triangle({0, H}, {W, H}, {W, 0})
                                      : Triangle({W, 0}, {0, H}, {W - q.beyond, 0});
            }
            case 14: {  // "Quarter Clock To Up Left 2": about the top-right corner
                const TQuarter q = Quarter(i, W);
                return q.phase == 0   ? Triangle({W, H}, {W, 0}, {W - q.t, H})
                       : q.phase == 1 ? Triangle({W, H}, {W, 0}, {0, H})
                                      : Triangle({0, H}, {W, 0}, {0, H - q.beyond});
            }
            case 15: {  // "Quarter Clock To Bottom Left": about the top-right corner, down the left edge
                const TQuarter q = Quarter(i, H);
                return q.phase == 0   ? Triangle({0, 0}, {W, 0}, {0, q.t})
                       : q.phase == 1 ? Triangle({W, 0}, {0, 0}, {0, H})
                                      : Triangle({0, H}, {W, 0}, {q.beyond, H});
            }
            case 16:  // "Diamond In"
                parts_.push_back(Triangle({0, 0}, {0, b}, {a, 0}));
                parts_.push_back(Triangle({W, 0}, {W, b}, {W - a, 0}));
                parts_.push_back(Triangle({W, H}, {W, H - b}, {W - a, H}));
                parts_.push_back(Triangle({0, H}, {0, H - b}, {a, H}));
                return Union();
            case 17:  // "Diamond Out"
                parts_.push_back(Triangle(c, {hw, hh - b}, {hw - a, hh}));
                parts_.push_back(Triangle(c, {hw, hh - b}, {hw + a, hh}));
                parts_.push_back(Triangle(c, {hw, hh + b}, {hw + a, hh}));
                parts_.push_back(Triangle(c, {hw, hh + b}, {hw - a, hh}));
                return Union();
            case 18:  // "Diagonal Unfold From Corners 1"
                parts_.push_back(Triangle({0, 0}, {0, b}, {a, 0}));
                parts_.push_back(Triangle({W, H}, {W, H - b}, {W - a, H}));
                return Union();
            default:  // "Diagonal Unfold From Corners 2"
                parts_.push_back(Triangle({W, 0}, {W, b}, {W - a, 0}));
                parts_.push_back(Triangle({0, H}, {0, H - b}, {a, H}));
                return Union();
        }
    }

    // A quarter clock's free end travels t = Ceil((W + H) i / N) along the far edge that is `first`
    // long (phase 0), then Ceil((W + H) i / N - first) along the next one (phase 2); the frame in which
    // it passes the corner (phase 1) fills the whole half-picture behind the hand.
    struct TQuarter {
        int phase;
        std::int32_t t;
        std::int32_t beyond;
    };

    TQuarter Quarter(std::int32_t i, std::int32_t first) const {
        const std::int64_t T = std::int64_t{Width()} + Height();
        const std::int32_t t = Part(T, i);
        const int phase = t <= first ? 0 : Part(T, i - 1) <= first ? 1 : 2;
        return {phase, t, Ceil(static_cast<double>(T * i) / N_ - first)};
    }

    std::int32_t variant_;
    std::int32_t N_;
    std::int32_t M_;
    std::int32_t i_ = 0;
    std::vector<TRegion> parts_;
};

}  // namespace

std::unique_ptr<TFamily> MakeShapes(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    if (variant < 1 || variant > 19) {
        return nullptr;
    }
    return std::make_unique<TShapes>(variant, images, FrameUnit(frameCount));
}

}  // namespace trans
