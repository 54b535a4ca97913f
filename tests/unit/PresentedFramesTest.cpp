// What reaches the screen after every frame of every effect. Frames that compose straight into the
// canvas put only the rectangles they changed on the screen, as the Windows backend does from its
// DIB section to the window: the screen must still show the whole composition after every frame,
// and nothing may be drawn outside the picture on a canvas larger than it.

#include <gtest/gtest.h>

#include "gfx/Blit.h"
#include "tests/unit/TransitionPictures.h"
#include "transitions/Catalogue.h"

namespace {

using gfx::IntRect;
using gfx::TBitmap32;

constexpr gfx::Color32 kOutside = 0xFF13579Bu;

// The canvas that copies and compositions write, and the screen, which receives only what is presented.
class TScreenPresenter final : public trans::TPresenter {
public:
    TScreenPresenter(const trans::TTransImages& images, gfx::IntSize canvasSize)
        : images_(images), canvas_(canvasSize.width, canvasSize.height, kOutside) {
        canvas_.CopyRect({0, 0}, *images.OldImage, images.OldImage->BoundsRect());
        screen_ = canvas_;
    }

    void Present(trans::TSource image, const IntRect& source, const IntRect& target) override {
        gfx::CopyRectStretched(canvas_.View(), target, images_.Get(image).View(), source);
        Show(target);
    }

    void Compose(std::span<const IntRect> changed, gfx::PixelDraw compose) override {
        compose(gfx::Cropped(canvas_.View(), {images_.NewImage->Width(), images_.NewImage->Height()}));
        for (const IntRect& r : changed) {
            Show(r);
        }
    }

    const TBitmap32& Canvas() const { return canvas_; }
    const TBitmap32& Screen() const { return screen_; }

private:
    void Show(const IntRect& r) {
        const IntRect shown = r.Intersect(canvas_.BoundsRect());
        screen_.CopyRect({shown.left, shown.top}, canvas_, shown);
    }

    trans::TTransImages images_;
    TBitmap32 canvas_;
    TBitmap32 screen_;
};

::testing::AssertionResult UntouchedOutside(const TBitmap32& canvas, std::int32_t width, std::int32_t height) {
    for (std::int32_t y = 0; y < canvas.Height(); ++y) {
        for (std::int32_t x = 0; x < canvas.Width(); ++x) {
            if ((x >= width || y >= height) && canvas.Pixel(x, y) != kOutside) {
                return ::testing::AssertionFailure() << "drawn outside the picture at (" << x << "," << y << ")";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(PresentedFrames, EveryEffectLeavesTheScreenShowingTheWholeCompositionAfterEachFrame) {
    const struct {
        std::int32_t width, height, frames;
    } sizes[] = {{61, 47, 16}, {160, 90, 32}};
    for (const auto& size : sizes) {
        const TBitmap32 oldPicture = testing_support::OldPicture(size.width, size.height);
        const TBitmap32 newPicture = testing_support::NewPicture(size.width, size.height);
        const trans::TTransImages images{&newPicture, &oldPicture};
        for (std::int32_t effect = 1; effect <= trans::kEffectCount; ++effect) {
            SCOPED_TRACE(testing::Message() << "effect " << effect << " at " << size.width << "x" << size.height);
            TScreenPresenter presenter(images, {size.width + 5, size.height + 3});
            auto family = trans::CreateFamily(effect, images, size.frames);
            int frame = 0;
            for (bool more = family != nullptr; more;) {
                more = family->DrawFrame(presenter);
                ++frame;
                ASSERT_TRUE(testing_support::SamePicture(presenter.Screen(), presenter.Canvas())) << "frame " << frame;
            }
            EXPECT_TRUE(UntouchedOutside(presenter.Canvas(), size.width, size.height));
        }
    }
}

}  // namespace
