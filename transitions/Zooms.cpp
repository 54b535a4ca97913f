#include "transitions/Zooms.h"

#include <vector>

#include "gfx/Blit.h"
#include "transitions/Arith.h"
#include "transitions/Pieces.h"

namespace trans {

namespace {

class TZooms final : public TFamily {
public:
    explicit TZooms(const TTransImages& images) : images_(images) { zooms_.reserve(4); }

    // Start (x, y), start size (w, h), source rectangle and the velocities of the left, right, top and
    // bottom edges.
    void Zoom(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const gfx::IntRect& source, double vx,
              double vr, double vy, double vb, std::int32_t steps) {
        zooms_.emplace_back(x, y, w, h, source, vx, vr, vy, vb, steps);
    }

    // Each piece is drawn straight onto the canvas with the nearest pixel, as the canvas copy
    // stretches, and only its rectangle goes to the screen.
    bool DrawFrame(TPresenter& presenter) override {
        bool more = false;
        const gfx::ConstPixelView fresh = images_.NewImage->View();
        for (TZoom& z : zooms_) {
            more = z.Step() || more;
            presenter.Compose(z.TargetRect(), [&](const gfx::PixelView& canvas) {
                gfx::CopyRectStretched(canvas, z.TargetRect(), fresh, z.SourceRect());
            });
        }
        return more;
    }

private:
    TTransImages images_;
    std::vector<TZoom> zooms_;
};

}  // namespace

std::unique_ptr<TFamily> MakeZooms(std::int32_t variant, const TTransImages& images, std::int32_t frameCount) {
    const std::int32_t W = images.NewImage->Width();
    const std::int32_t H = images.NewImage->Height();
    const std::int32_t N = FrameUnit(frameCount);
    const std::int32_t hw = W / 2;
    const std::int32_t hh = H / 2;
    const std::int32_t qw = W / 4;
    const std::int32_t qh = H / 4;
    const double w = W;
    const double h = H;
    const double n = N;
    const gfx::IntRect whole{0, 0, W, H};
    auto family = std::make_unique<TZooms>(images);
    TZooms& f = *family;
    switch (variant) {
        case 1:  // "Zoom In"
            f.Zoom(hw, hh, 0, 0, whole, -w / 2 / n, w / 2 / n, -h / 2 / n, h / 2 / n, N);
            break;
        case 2:  // "Zoom From Up Left"
            f.Zoom(0, 0, 0, 0, whole, 0, w / n, 0, h / n, N);
            break;
        case 3:  // "Zoom From Up Right"
            f.Zoom(W, 0, 0, 0, whole, -w / n, 0, 0, h / n, N);
            break;
        case 4:  // "Zoom From Bottom Left"
            f.Zoom(0, H, 0, 0, whole, 0, w / n, -h / n, 0, N);
            break;
        case 5:  // "Zoom From Bottom Right"
            f.Zoom(W, H, 0, 0, whole, -w / n, 0, -h / n, 0, N);
            break;
        case 6:  // "Zoom From Left": the full height from the first frame
            f.Zoom(0, 0, 0, H, whole, 0, w / n, 0, 0, N);
            break;
        case 7:  // "Zoom From Up"
            f.Zoom(0, 0, W, 0, whole, 0, 0, 0, h / n, N);
            break;
        case 8:  // "Zoom From Right"
            f.Zoom(W, 0, 0, H, whole, -w / n, 0, 0, 0, N);
            break;
        case 9:  // "Zoom From Bottom"
            f.Zoom(0, H, W, 0, whole, 0, 0, -h / n, 0, N);
            break;
        case 10:  // "Zoom Door Close Horizontal"
            f.Zoom(0, 0, 0, H, {0, 0, hw, H}, 0, w / n / 2, 0, 0, N);
            f.Zoom(W, 0, 0, H, {hw, 0, W, H}, -w / n / 2, 0, 0, 0, N);
            break;
        case 11:  // "Zoom Door Close Vertical"
            f.Zoom(0, 0, W, 0, {0, 0, W, hh}, 0, 0, 0, h / n / 2, N);
            f.Zoom(0, H, W, 0, {0, hh, W, H}, 0, 0, -h / n / 2, 0, N);
            break;
        case 12: {  // "Quattro Zoom In": each quarter grows from its own centre
            const double vx = (w / 4) / n;
            const double vy = (h / 4) / n;
            f.Zoom(qw, qh, 0, 0, {0, 0, hw, hh}, -vx, vx, -vy, vy, N);
            f.Zoom(qw + hw, qh, 0, 0, {hw, 0, W, hh}, -vx, vx, -vy, vy, N);
            f.Zoom(qw, hh + qh, 0, 0, {0, hh, hw, H}, -vx, vx, -vy, vy, N);
            f.Zoom(qw + hw, hh + qh, 0, 0, {hw, hh, W, H}, -vx, vx, -vy, vy, N);
            break;
        }
        default:
            return nullptr;
    }
    return family;
}

}  // namespace trans
