#include "transitions/LineDrops.h"

#include "transitions/Arith.h"
#include "transitions/Pieces.h"

namespace trans {

namespace {

class TLineDrops final : public TPacedFamily {
public:
    TLineDrops(std::int32_t variant, gfx::IntSize size, const TFold& fold, std::int32_t frames)
        : variant_(variant), size_(size), fold_(fold), frames_(frames) {}

    // The fold's rectangle, then the line at the fold's next position stretched over the rest.
    bool DrawFrame(TPresenter& presenter) override {
        fold_.Step();
        presenter.Present(TSource::New, fold_.SourceRect(), fold_.TargetRect());
        const std::int32_t W = size_.width;
        const std::int32_t H = size_.height;
        const std::int32_t X = Round(fold_.X());
        const std::int32_t Y = Round(fold_.Y());
        switch (variant_) {
            case 1:
                presenter.Present(TSource::New, {X, 0, X + 1, H}, {X, 0, W, H});
                break;
            case 2:
                presenter.Present(TSource::New, {X, 0, X + 1, H}, {0, 0, X, H});
                break;
            case 3:
                presenter.Present(TSource::New, {0, Y, W, Y + 1}, {0, Y, W, H});
                break;
            default:
                presenter.Present(TSource::New, {0, Y, W, Y + 1}, {0, 0, W, Y});
                break;
        }
        return ++drawn_ < frames_;
    }

private:
    std::int32_t variant_;
    gfx::IntSize size_;
    TFold fold_;
    std::int32_t frames_;
    std::int32_t drawn_ = 0;
};

}  // namespace

std::unique_ptr<TFamily> MakeLineDrops(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    const std::int32_t W = images.NewImage->Width();
    const std::int32_t H = images.NewImage->Height();
    const std::int32_t N = FrameUnit(frameCount);
    const double w = W;
    const double h = H;
    const double n = N;
    const gfx::IntSize size{W, H};
    // The loop leaves at the step that reports no steps left before drawing it: N - 1 frames.
    if (variant < 1 || variant > 4 || N < 2) {
        return nullptr;
    }
    const TFold folds[] = {
        {0, 0, Ceil(w / n), H, w / n, 0, N, size},    // "Line Drop From Right"
        {W, 0, -Ceil(w / n), H, -w / n, 0, N, size},  // "Line Drop From Left"
        {0, 0, W, Ceil(h / n), 0, h / n, N, size},    // "Line Drop From Bottom"
        {0, H, W, -Ceil(h / n), 0, -h / n, N, size},  // "Line Drop From Up"
    };
    return std::make_unique<TLineDrops>(variant, size, folds[variant - 1], N - 1);
}

}  // namespace trans
