#include "transitions/Unfolds.h"

#include <algorithm>
#include <vector>

#include "transitions/Arith.h"
#include "transitions/Pieces.h"

namespace trans {

namespace {

class TUnfolds final : public TFamily {
public:
    explicit TUnfolds(gfx::IntSize size) : size_(size) { folds_.reserve(32); }

    // Start (x, y), signed size (w, h), velocity (dx, dy).
    void Fold(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double dx, double dy,
              std::int32_t steps) {
        folds_.emplace_back(x, y, w, h, dx, dy, steps, size_);
    }

    // Every fold is copied in every frame, also when it shows nothing and after it stopped moving.
    bool DrawFrame(TPresenter& presenter) override {
        bool more = false;
        for (TFold& f : folds_) {
            more = f.Step() || more;
            presenter.Present(TSource::New, f.SourceRect(), f.TargetRect());
        }
        return more;
    }

private:
    gfx::IntSize size_;
    std::vector<TFold> folds_;
};

// Variants 25-34: 32 lines across the picture, the odd ones in the first pass and the even ones
// (starting a picture further away, or from the other side) in the second.
struct LinePass {
    std::int32_t start;  // along the line's direction of travel
    std::int32_t length;
    double velocity;
    std::int32_t steps;
};

void HorizontalLines(TUnfolds& f, std::int32_t H, const LinePass& odd, const LinePass& even) {
    const std::int32_t band = Ceil(H / 32.0);
    for (std::int32_t i = 1; i <= 32; ++i) {
        const LinePass& p = i % 2 == 1 ? odd : even;
        f.Fold(p.start, (i - 1) * band, p.length, band, p.velocity, 0, p.steps);
    }
}

void VerticalLines(TUnfolds& f, std::int32_t W, const LinePass& odd, const LinePass& even) {
    const std::int32_t band = Ceil(W / 32.0);
    for (std::int32_t i = 1; i <= 32; ++i) {
        const LinePass& p = i % 2 == 1 ? odd : even;
        f.Fold((i - 1) * band, p.start, band, p.length, 0, p.velocity, p.steps);
    }
}

}  // namespace

std::unique_ptr<TFamily> MakeUnfolds(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    const std::int32_t W = images.NewImage->Width();
    const std::int32_t H = images.NewImage->Height();
    const std::int32_t N = FrameUnit(frameCount);
    const double w = W;
    const double h = H;
    const double n = N;
    // The line and sweep variants step by their own unit S. It never falls below 1: a picture less
    // than two pixels wide or high, or (41, 42) fewer than four frames or a picture less than four
    // pixels high, would otherwise divide by zero. With S = 1 the downloads take four frames.
    std::int32_t S = N;
    if (variant == 21 || variant == 23) {
        S = std::max(1, std::min(N, W / 2));
    } else if (variant == 22 || variant == 24 || (variant >= 35 && variant <= 38)) {
        S = std::max(1, std::min(N, H / 2));
    } else if (variant == 39 || variant == 40) {
        S = std::max(4, N / 3);
    } else if (variant == 41 || variant == 42) {
        S = std::max(1, std::min(N / 4, H / 4));
    }
    const double s = S;
    auto family = std::make_unique<TUnfolds>(gfx::IntSize{W, H});
    TUnfolds& f = *family;
    switch (variant) {
        case 1:  // "Unfold From Left"
            f.Fold(0, 0, Ceil(w / n), H, w / n, 0, N);
            break;
        case 2:  // "Unfold From Right"
            f.Fold(W, 0, -Ceil(w / n), H, -w / n, 0, N + 1);
            break;
        case 3:  // "Unfold From Up"
            f.Fold(0, 0, W, Ceil(h / n), 0, h / n, N);
            break;
        case 4:  // "Unfold From Bottom"
            f.Fold(0, H, W, -Ceil(h / n), 0, -h / n, N + 1);
            break;
        case 5:  // "Unfold From Up Left"
            f.Fold(0, -H, Ceil(w / n), H, w / n, h / n, N);
            f.Fold(-W, 0, W + Ceil(w / n), Ceil(h / n), w / n, h / n, N);
            break;
        case 6:  // "Unfold From Up Right"
            f.Fold(W, -H, -Ceil(w / n), H, -w / n, h / n, N + 1);
            f.Fold(2 * W, 0, -W - Ceil(w / n), Ceil(h / n), -w / n, h / n, N + 1);
            break;
        case 7:  // "Unfold From Bottom Right"
            f.Fold(W, 2 * H, -Ceil(w / n), -H, -w / n, -h / n, N + 1);
            f.Fold(2 * W, H, -W - Ceil(w / n), -Ceil(h / n), -w / n, -h / n, N + 1);
            break;
        case 8:  // "Unfold From Bottom Left"
            f.Fold(0, 2 * H, Ceil(w / n), -H, w / n, -h / n, N + 1);
            f.Fold(-W, H, W + Ceil(w / n), -Ceil(h / n), w / n, -h / n, N + 1);
            break;
        case 9:  // "Unfold From Both Sides"
            f.Fold(0, 0, Ceil(w / (2 * n)), H, w / (2 * n), 0, N);
            f.Fold(W, 0, -Ceil(w / (2 * n)), H, -w / (2 * n), 0, N + 1);
            break;
        case 10:  // "Unfold From Middle To Sides"
            f.Fold(W / 2, 0, Ceil(w / n / 2), H, w / n / 2, 0, N);
            f.Fold(W / 2, 0, -Ceil(w / n / 2), H, -w / n / 2, 0, N + 1);
            break;
        case 11: {  // "Unfold From All Corners"
            const std::int32_t hw = W / 2;
            const std::int32_t hh = H / 2;
            f.Fold(-hw, -hh, hw, hh, w / 2 / n, h / 2 / n, N + 1);
            f.Fold(W + hw, H + hh, -hw, -hh, -w / 2 / n, -h / 2 / n, N + 1);
            f.Fold(W + hw, -hh, -hw, hh, -w / 2 / n, h / 2 / n, N + 2);
            f.Fold(-hw, H + hh, hw, -hh, w / 2 / n, -h / 2 / n, N + 2);
            break;
        }
        case 12:  // "Unfolding Iris"
            f.Fold(0, 0, Ceil(w / n / 2), Ceil(h / 2), w / 2 / n, 0, N + 1);
            f.Fold(W / 2, 0, Ceil(w / 2), Ceil(h / n / 2), 0, h / 2 / n, N + 1);
            f.Fold(W, H / 2, Ceil(w / n / 2), Ceil(h / 2), -w / 2 / n, 0, N + 1);
            f.Fold(0, H, Ceil(w / 2), Ceil(h / n / 2), 0, -h / 2 / n, N + 1);
            break;
        case 13:  // "Unfolding Vertical Jaws"
            for (std::int32_t k = 1; k <= 10; ++k) {
                const std::int32_t x = Round(W * (k - 1) / 10.0);
                if (k % 2 == 1) {
                    f.Fold(x, 0, Ceil(w / 10), Ceil(h / n), 0, h / n, N);
                } else {
                    f.Fold(x, H, Ceil(w / 10), -Ceil(h / n), 0, -h / n, N + 1);
                }
            }
            break;
        case 14:  // "Unfolding Falling Columns": column k starts k - 1 half pictures above
            for (std::int32_t k = 1; k <= 10; ++k) {
                f.Fold(Round(W * (k - 1) / 10.0), Round(0.5 * H * (k - 1) - H * (k - 1)), Ceil(w / 10), Ceil(h / n),
                       0, h / n, N + (k - 1) * (N / 2));
            }
            break;
        case 15:  // "Unfolding Horizontal Jaws"
            for (std::int32_t k = 1; k <= 10; ++k) {
                const std::int32_t y = Round(H * (k - 1) / 10.0);
                if (k % 2 == 1) {
                    f.Fold(0, y, Ceil(w / n), Ceil(h / 10), w / n, 0, N);
                } else {
                    f.Fold(W, y, -Ceil(w / n), Ceil(h / 10), -w / n, 0, N + 1);
                }
            }
            break;
        case 16:  // "Unfolding Horizontal Columns"
            for (std::int32_t k = 1; k <= 10; ++k) {
                f.Fold(Round(0.5 * W * (k - 1) - W * (k - 1)), Round(H * (k - 1) / 10.0), Ceil(w / n), Ceil(h / 10),
                       w / n, 0, N + (k - 1) * (N / 2));
            }
            break;
        case 17:  // "Vertical Two Part Unfold"
            f.Fold(0, 0, W / 2, Ceil(h / n), 0, h / n, N);
            f.Fold(W / 2, H, W, -Ceil(h / n), 0, -h / n, N + 1);
            break;
        case 18:  // "Horizontal Two Part Unfold"
            f.Fold(0, 0, Ceil(w / n), H / 2, w / n, 0, N);
            f.Fold(W, H / 2, -Ceil(w / n), H, -w / n, 0, N + 1);
            break;
        case 19:  // "Unfolding Columns Horizontally"
            for (std::int32_t k = 1; k <= 10; ++k) {
                f.Fold(Round(0.75 * W * (k - 1) - W * (k - 1)), H * (k - 1) / 10, Ceil(w / n + 1), Ceil(h / 10),
                       w / n, 0, Round((k - 1) * (n * 0.15) + n));
            }
            for (std::int32_t m = 1; m <= 10; ++m) {
                f.Fold(Round(W * m - 0.75 * W * (m - 1)), H * (11 - m) / 10, -Ceil(w / n + 1), Ceil(h / 10), -w / n,
                       0, Round((m - 1) * (n * 0.15) + n));
            }
            break;
        case 20:  // "Unfolding Columns Vertically"; the rising set is Ceil(H/N) high, the falling one a pixel more
            for (std::int32_t j = 1; j <= 10; ++j) {
                f.Fold(W * (j - 1) / 10, Round(0.75 * H * (j - 1) - H * (j - 1)), Ceil(w / 10), Ceil(h / n + 1), 0,
                       h / n, Round((j - 1) * (n * 0.15) + n));
            }
            for (std::int32_t m = 1; m <= 10; ++m) {
                f.Fold(W * (11 - m) / 10, Round(H * m - 0.75 * H * (m - 1)), Ceil(w / 10), -Ceil(h / n), 0, -h / n,
                       Round((m - 1) * (n * 0.15) + n));
            }
            break;
        case 21:  // "Vertical Lines From Sides": folds half their step wide leave every other stripe
            f.Fold(0, 0, Ceil(w / s / 2), H, w / s, 0, S);
            f.Fold(W, 0, -Ceil(w / s / 2), H, -w / s, 0, S);
            break;
        case 22:  // "Horizontal Lines From Up & Bottom"
            f.Fold(0, 0, W, Ceil(h / s / 2), 0, h / s, S);
            f.Fold(0, H, W, -Ceil(h / s / 2), 0, -h / s, S);
            break;
        case 23:  // "Vertical Lines From Left & Back": the second fold enters from the far side a pass later
            f.Fold(0, 0, Ceil(w / s / 2), H, w / s, 0, S);
            f.Fold(2 * W, 0, -Ceil(w / s / 2 + 1), H, -w / s, 0, 2 * S);
            break;
        case 24:  // "Horizontal Lines From Up & Back"
            f.Fold(0, 0, W, Ceil(h / s / 2), 0, h / s, S);
            f.Fold(0, 2 * H, W, -Ceil(h / s / 2 + 1), 0, -h / s, 2 * S);
            break;
        case 25:  // "Horizontal Lines From Left"
            HorizontalLines(f, H, {0, Ceil(w / n), w / n, N}, {-W, Ceil(w / n), w / n, 2 * N});
            break;
        case 26:  // "Horizontal Lines From Right"
            HorizontalLines(f, H, {W, -Ceil(w / n), -w / n, N + 1}, {2 * W, -Ceil(w / n), -w / n, 2 * N + 1});
            break;
        case 27:  // "Horizontal Lines From Left & Back"
            HorizontalLines(f, H, {0, Ceil(w / n), w / n, N}, {2 * W, -Ceil(w / n), -w / n, 2 * N + 1});
            break;
        case 28:  // "Horizontal Lines From Right & Back"
            HorizontalLines(f, H, {W, -Ceil(w / n), -w / n, N + 1}, {-W, Ceil(w / n), w / n, 2 * N});
            break;
        case 29:  // "Horizontal Lines From Both Sides"
            HorizontalLines(f, H, {0, Ceil(w / n), w / n, N}, {W, -Ceil(w / n), -w / n, N + 1});
            break;
        case 30:  // "Vertical Lines From Up"
            VerticalLines(f, W, {0, Ceil(h / n), h / n, N}, {-H, Ceil(h / n), h / n, 2 * N});
            break;
        case 31:  // "Vertical Lines From Bottom"
            VerticalLines(f, W, {H, -Ceil(h / n), -h / n, N + 1}, {2 * H, -Ceil(h / n), -h / n, 2 * N + 1});
            break;
        case 32:  // "Vertical Lines From Up & Back"
            VerticalLines(f, W, {0, Ceil(h / n), h / n, N}, {2 * H, -Ceil(h / n), -h / n, 2 * N + 1});
            break;
        case 33:  // "Vertical Lines From Bottom & Back"
            VerticalLines(f, W, {H, -Ceil(h / n), -h / n, N + 1}, {-H, Ceil(h / n), h / n, 2 * N});
            break;
        case 34:  // "Vertical Lines From Up & Bottom"
            VerticalLines(f, W, {0, Ceil(h / n), h / n, N}, {H, -Ceil(h / n), -h / n, N + 1});
            break;
        case 35:  // "Cross Lines From Bottom Left"
            f.Fold(0, 0, Ceil(w / s / 2), H, w / s, 0, S);
            f.Fold(0, H - 1, W, -Ceil(h / s / 2), 0, -h / s, S);
            f.Fold(0, -H - 1, W, Ceil(h / s / 2 + 1), 0, h / s, 2 * S);
            f.Fold(2 * W, 0, -Ceil(w / s / 2 + 1), H, -w / s, 0, 2 * S);
            break;
        case 36:  // "Cross Lines From Up Left"
            f.Fold(0, 0, Ceil(w / s / 2), H, w / s, 0, S);
            f.Fold(0, 0, W, Ceil(h / s / 2), 0, h / s, S);
            f.Fold(0, 2 * H, W, -Ceil(h / s / 2 + 1), 0, -h / s, 2 * S);
            f.Fold(2 * W, 0, -Ceil(w / s / 2 + 1), H, -w / s, 0, 2 * S);
            break;
        case 37:  // "Cross Lines From Bottom Right"
            f.Fold(W - 1, 0, -Ceil(w / s / 2), H, -w / s, 0, S);
            f.Fold(0, H - 1, W, -Ceil(h / s / 2), 0, -h / s, S);
            f.Fold(0, -H - 1, W, Ceil(h / s / 2 + 1), 0, h / s, 2 * S);
            f.Fold(-W - 1, 0, Ceil(w / s / 2 + 1), H, w / s, 0, 2 * S);
            break;
        case 38:  // "Cross Lines From Up Right"
            f.Fold(W - 1, 0, -Ceil(w / s / 2), H, -w / s, 0, S);
            f.Fold(0, 0, W, Ceil(h / s / 2), 0, h / s, S);
            f.Fold(0, 2 * H, W, -Ceil(h / s / 2 + 1), 0, -h / s, 2 * S);
            f.Fold(-W - 1, 0, Ceil(w / s / 2 + 1), H, w / s, 0, 2 * S);
            break;
        case 39:  // "Sweep From Left": ten columns cross one after another, alternating direction
            for (std::int32_t j = 1; j <= 10; ++j) {
                const std::int32_t x = Round(W * (j - 1) / 10.0);
                if (j % 2 == 1) {
                    f.Fold(x, -(j - 1) * H, Ceil(w / 10), Ceil(h / s), 0, h / s, j * S);
                } else {
                    f.Fold(x, j * H, Ceil(w / 10), -Ceil(h / s), 0, -h / s, j * S + 1);
                }
            }
            break;
        case 40:  // "Sweep From Up"
            for (std::int32_t i = 1; i <= 10; ++i) {
                const std::int32_t y = Round(H * (i - 1) / 10.0);
                if (i % 2 == 1) {
                    f.Fold(-(i - 1) * W, y, Ceil(w / s), Ceil(h / 10), w / s, 0, i * S);
                } else {
                    f.Fold(i * W, y, -Ceil(w / s), Ceil(h / 10), -w / s, 0, i * S + 1);
                }
            }
            break;
        case 41: {  // "Download From Left": four passes, each a quarter-step further on
            const std::int32_t q = Ceil(w / s / 4);
            for (std::int32_t k = 1; k <= 4; ++k) {
                f.Fold((k - 1) * q - (k - 1) * W, 0, q, H, w / s, 0, k * S);
            }
            break;
        }
        case 42: {  // "Download From Up"
            const std::int32_t q = Ceil(h / s / 4);
            for (std::int32_t k = 1; k <= 4; ++k) {
                f.Fold(0, (k - 1) * q - (k - 1) * H, W, q, 0, h / s, k * S);
            }
            break;
        }
        default:
            return nullptr;
    }
    return family;
}

}  // namespace trans
