#include "transitions/FadeUnfolds.h"

#include <algorithm>
#include <utility>

#include "gfx/Mix.h"
#include "transitions/Arith.h"
#include "transitions/FoldFade.h"
#include "transitions/Pieces.h"

namespace trans {

namespace {

class TFadeUnfolds final : public TFamily {
public:
    TFadeUnfolds(const TTransImages& images, const TFold& fold, TFoldFade band)
        : images_(images), fold_(fold), band_(std::move(band)) {}

    // The fold reveals the new image; then the band's rectangle of the canvas becomes the old picture
    // (opaque, as the snapshot of a screen is) with the band's buffer blended over it, in one pass, and
    // goes to the screen. The fold covers the
    // band's previous place, so only the band ahead of it is soft. Only the fold decides whether
    // frames follow.
    bool DrawFrame(TPresenter& presenter) override {
        const bool more = fold_.Step();
        presenter.Present(TSource::New, fold_.SourceRect(), fold_.TargetRect());
        band_.Step();
        const gfx::IntRect r = band_.SourceRect();
        const gfx::TBitmap32& old = *images_.OldImage;
        // The buffer holds the band's pixels from its own (0, 0); what lies beyond them on a band cut by
        // the picture's edge is not shown.
        const gfx::TBitmap32& buffer = band_.Buffer();
        // The band's rounded rectangle can also be a pixel wider or higher than its buffer; there the
        // old picture shows.
        presenter.Compose(r, [&](const gfx::PixelView& canvas) {
            const gfx::IntRect shown = r.Intersect(canvas.Bounds());
            const gfx::IntRect blended =
                shown.Intersect(gfx::IntRect::FromSize(r.left, r.top, buffer.Width(), buffer.Height()));
            for (std::int32_t y = shown.top; y < shown.bottom; ++y) {
                const gfx::Color32* under = old.Row(y);
                gfx::Color32* out = canvas.Row(y);
                std::int32_t from = shown.left;
                if (y >= blended.top && y < blended.bottom && blended.left < blended.right) {
                    gfx::MixRowByAlpha(out + blended.left, under + blended.left,
                                       buffer.Row(y - r.top) + (blended.left - r.left), blended.Width());
                    from = blended.right;
                }
                std::copy(under + from, under + shown.right, out + from);
            }
        });
        return more;
    }

private:
    TTransImages images_;
    TFold fold_;
    TFoldFade band_;
};

}  // namespace

std::unique_ptr<TFamily> MakeFadeUnfolds(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    const gfx::TBitmap32& fresh = *images.NewImage;
    const std::int32_t W = fresh.Width();
    const std::int32_t H = fresh.Height();
    const std::int32_t N = FrameUnit(frameCount);
    const double w = W;
    const double h = H;
    const double n = N;
    const gfx::IntSize size{W, H};
    // The band is a tenth of the picture wide (or high) and starts just ahead of the fold.
    const std::int32_t bw = Ceil(0.1 * w);
    const std::int32_t bh = Ceil(0.1 * h);
    switch (variant) {
        case 1:  // "Fade Unfold From Left"
            return std::make_unique<TFadeUnfolds>(
                images, TFold(0, 0, Ceil(w / n), H, w / n, 0, N, size),
                TFoldFade(Ceil(w / n), 0, bw, H, w / n, 0, N, TFoldFade::FallsRight, fresh));
        case 2:  // "Fade Unfold From Right"
            return std::make_unique<TFadeUnfolds>(
                images, TFold(W, 0, -Ceil(w / n), H, -w / n, 0, N + 1, size),
                TFoldFade(W - Ceil(w / n) - bw, 0, bw, H, -w / n, 0, N, TFoldFade::RisesRight, fresh));
        case 3:  // "Fade Unfold From Up"
            return std::make_unique<TFadeUnfolds>(
                images, TFold(0, 0, W, Ceil(h / n), 0, h / n, N, size),
                TFoldFade(0, Ceil(h / n), W, bh, 0, h / n, N, TFoldFade::FallsDown, fresh));
        case 4:  // "Fade Unfold From Bottom"
            return std::make_unique<TFadeUnfolds>(
                images, TFold(0, H, W, -Ceil(h / n), 0, -h / n, N + 1, size),
                TFoldFade(0, H - Ceil(h / n) - bh, W, bh, 0, -h / n, N, TFoldFade::RisesDown, fresh));
        default:
            return nullptr;
    }
}

}  // namespace trans
