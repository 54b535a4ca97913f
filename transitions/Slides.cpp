#include "transitions/Slides.h"

#include <vector>

#include "transitions/Arith.h"
#include "transitions/Pieces.h"

namespace trans {

namespace {

class TSlides final : public TFamily {
public:
    explicit TSlides(gfx::IntSize size) : size_(size) {
        slides_.reserve(20);
        folds_.reserve(2);
    }

    // Region [X0, X1] x [Y0, Y1], start offset (x, y), velocity (dx, dy).
    void Slide(std::int32_t X0, std::int32_t X1, std::int32_t Y0, std::int32_t Y1, std::int32_t x, std::int32_t y,
               double dx, double dy, std::int32_t steps, TSource image = TSource::New) {
        slides_.emplace_back(x, y, image, X0, X1, Y0, Y1, dx, dy, steps);
    }

    void Fold(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double dx, double dy,
              std::int32_t steps) {
        folds_.emplace_back(x, y, w, h, dx, dy, steps, size_);
    }

    // Slides first, then folds, each in slot order; a piece that shows nothing is not copied.
    bool DrawFrame(TPresenter& presenter) override {
        bool more = false;
        for (TSlide& s : slides_) {
            more = s.Step() || more;
            if (s.SourceRect() != gfx::IntRect{}) {
                presenter.Present(s.Image(), s.SourceRect(), s.TargetRect());
            }
        }
        for (TFold& f : folds_) {
            more = f.Step() || more;
            if (f.SourceRect() != gfx::IntRect{}) {
                presenter.Present(TSource::New, f.SourceRect(), f.TargetRect());
            }
        }
        return more;
    }

private:
    gfx::IntSize size_;
    std::vector<TSlide> slides_;
    std::vector<TFold> folds_;
};

}  // namespace

std::unique_ptr<TFamily> MakeSlides(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    const std::int32_t W = images.NewImage->Width();
    const std::int32_t H = images.NewImage->Height();
    const std::int32_t N = FrameUnit(frameCount);
    const std::int32_t hw = W / 2;
    const std::int32_t hh = H / 2;
    const std::int32_t q = N / 4;
    const double w = W;
    const double h = H;
    const double n = N;
    auto family = std::make_unique<TSlides>(gfx::IntSize{W, H});
    TSlides& f = *family;
    switch (variant) {
        case 1:  // "Slide From Up Left"
            f.Slide(0, W, 0, H, -W, -H, w / n, h / n, N);
            break;
        case 2:  // "Slide From Up Right"
            f.Slide(0, W, 0, H, W, -H, -w / n, h / n, N);
            break;
        case 3:  // "Slide From Bottom Right"
            f.Slide(0, W, 0, H, W, H, -w / n, -h / n, N);
            break;
        case 4:  // "Slide From Bottom Left"
            f.Slide(0, W, 0, H, -W, H, w / n, -h / n, N);
            break;
        case 5:  // "Slide From Left"
            f.Slide(0, W, 0, H, -W, 0, w / n, 0, N);
            break;
        case 6:  // "Slide From Right"
            f.Slide(0, W, 0, H, W, 0, -w / n, 0, N);
            break;
        case 7:  // "Slide From Bottom"
            f.Slide(0, W, 0, H, 0, H, 0, -h / n, N);
            break;
        case 8:  // "Slide From Up"
            f.Slide(0, W, 0, H, 0, -H, 0, h / n, N);
            break;
        case 9:  // "Door Close"
            f.Slide(0, hw, 0, H, -hw, 0, w / n / 2, 0, N);
            f.Slide(hw, W, 0, H, hw, 0, -w / n / 2, 0, N);
            break;
        case 10:  // "Door Open": the old halves move out while two folds reveal the new image between them
            f.Slide(0, hw, 0, H, Round(w / n / 2), 0, -w / n / 2, 0, N, TSource::Old);
            f.Slide(hw, W, 0, H, Round(-w / n / 2), 0, w / n / 2, 0, N, TSource::Old);
            f.Fold(hw - 1, 0, Ceil(w / n / 2), H, w / n / 2, 0, N);
            f.Fold(hw + 1, 0, -Ceil(w / n / 2), H, -w / n / 2, 0, N + 1);
            break;
        case 11:  // "Close From Corners"
            f.Slide(0, hw, 0, hh, -hw, -hh, w / n / 2, h / n / 2, N);
            f.Slide(hw, W, 0, hh, hw, -hh, -w / n / 2, h / n / 2, N);
            f.Slide(0, hw, hh, H, -hw, hh, w / n / 2, -h / n / 2, N);
            f.Slide(hw, W, hh, H, hw, hh, -w / n / 2, -h / n / 2, N);
            break;
        case 12:  // "Iris Close"
            f.Slide(0, hw, 0, hh, -hw, 0, w / n / 2, 0, N);
            f.Slide(hw, W, 0, hh, 0, -hh, 0, h / n / 2, N);
            f.Slide(0, hw, hh, H, 0, hh, 0, -h / n / 2, N);
            f.Slide(hw, W, hh, H, hw, 0, -w / n / 2, 0, N);
            break;
        case 13:  // "Sliding Jaws Vertical"
            for (std::int32_t i = 1; i <= 5; ++i) {
                f.Slide(W * (2 * i - 2) / 10, W * (2 * i - 1) / 10, 0, H, 0, -H, 0, h / n, N);
            }
            for (std::int32_t i = 1; i <= 5; ++i) {
                f.Slide(W * (2 * i - 1) / 10, W * 2 * i / 10, 0, H, 0, H, 0, -h / n, N);
            }
            break;
        case 14:  // "Falling Columns": each column waits a quarter of the run longer
            for (std::int32_t k = 1; k <= 10; ++k) {
                f.Slide(W * (k - 1) / 10, W * k / 10, 0, H, 0, Round(0.75 * H * (k - 1) - k * H), 0, h / n,
                        N + (k - 1) * q);
            }
            break;
        case 15:  // "Sliding Jaws Horizontal"
            for (std::int32_t i = 1; i <= 5; ++i) {
                f.Slide(0, W, H * (2 * i - 2) / 10, H * (2 * i - 1) / 10, -W, 0, w / n, 0, N);
            }
            for (std::int32_t i = 1; i <= 5; ++i) {
                f.Slide(0, W, H * (2 * i - 1) / 10, H * 2 * i / 10, W, 0, -w / n, 0, N);
            }
            break;
        case 16:  // "Sliding Columns"
            for (std::int32_t k = 1; k <= 10; ++k) {
                f.Slide(0, W, H * (k - 1) / 10, H * k / 10, Round(0.75 * W * (k - 1) - k * W), 0, w / n, 0,
                        N + (k - 1) * q);
            }
            break;
        case 17:  // "Vertical Two Part Slide"
            f.Slide(0, hw, 0, H, 0, -H, 0, h / n, N);
            f.Slide(hw, W, 0, H, 0, H, 0, -h / n, N);
            break;
        case 18:  // "Horizontal Two Part Slide"
            f.Slide(0, W, 0, hh, -W, 0, w / n, 0, N);
            f.Slide(0, W, hh, H, W, 0, -w / n, 0, N);
            break;
        case 19:  // "Sliding Columns From Sides": rows shortened from the right, and their partners from the left
            for (std::int32_t k = 1; k <= 10; ++k) {
                f.Slide(0, Round(W - W * ((k - 1) * 0.1)), H * (k - 1) / 10, H * k / 10,
                        Round(0.75 * W * (k - 1) - k * W), 0, w / n, 0, N + (k - 1) * q);
            }
            for (std::int32_t m = 1; m <= 10; ++m) {
                f.Slide(Round(W * (m * 0.1)), W, H * (10 - m) / 10, H * (11 - m) / 10,
                        Round(W * m - 0.75 * W * (m - 1)), 0, -w / n, 0, N + (m - 1) * q);
            }
            break;
        case 20:  // "Sliding Columns From Up & Bottom"; the lower pieces start one row above the upper ones' end
            for (std::int32_t j = 1; j <= 10; ++j) {
                f.Slide(W * (j - 1) / 10, W * j / 10, 0, Round(H - H * ((j - 1) * 0.1)), 0,
                        Round(0.75 * H * (j - 1) - j * H), 0, h / n, N + (j - 1) * q);
            }
            for (std::int32_t m = 1; m <= 10; ++m) {
                f.Slide(W * (10 - m) / 10, W * (11 - m) / 10, Round(H * (m * 0.1)) - 1, H, 0,
                        Round(H * m - 0.75 * H * (m - 1)), 0, -h / n, N + (m - 1) * q);
            }
            break;
        case 21:  // "Blinds Slide Right"
            for (std::int32_t i = 1; i <= 10; ++i) {
                f.Slide(0, W, H * (i - 1) / 10, H * i / 10, -Ceil(w / 10), 0, w / 10 / n, 0, N);
            }
            break;
        case 22:  // "Blinds Slide Left"
            for (std::int32_t i = 1; i <= 10; ++i) {
                f.Slide(0, W, H * (i - 1) / 10, H * i / 10, Ceil(w / 10), 0, -w / 10 / n, 0, N);
            }
            break;
        default:
            return nullptr;
    }
    return family;
}

}  // namespace trans
