// Large photographs in whole runs: one much larger than its place on the screen is decoded at a
// reduced scale that still covers that place, and the screen shows what a full-size decode would
// have given; laid out by its own size, and decoded whole where it is shown at its natural size.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gfx/decode/PictureFormats.h"
#include "platform/sim/SimSurface.h"
#include "slideshow/Layout.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Bytes;
using testing_support::Json;

constexpr gfx::IntSize kScreen{320, 240};
constexpr gfx::Color32 kBackground = 0xFF302010;  // "#302010"

// Smooth gradients, as much of a photograph is: scaling it by any road gives nearly one result.
gfx::TBitmap32 Photo(int w, int h) {
    gfx::TBitmap32 photo(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            photo.SetPixel(x, y,
                           gfx::MakeColor32(static_cast<std::uint8_t>(40 + x * 180 / w),
                                            static_cast<std::uint8_t>(30 + y * 190 / h),
                                            static_cast<std::uint8_t>(200 - (x + y) * 150 / (w + h))));
        }
    }
    return photo;
}

class LargePhoto : public testing_support::SaverRunTest {
protected:
    LargePhoto() { Machine().monitors = {{0, 0, kScreen.width, kScreen.height}}; }

    // One item, shown at once by the size mode; the screen and the decoded picture's size after it.
    void Show(const Bytes& jpeg, int sizeMode) {
        jpeg_ = jpeg;
        Put("photo.jpg", jpeg);
        const Json manifest = {
            {"header",
             {{"Seconds", 1}, {"Stretch", sizeMode}, {"BackgroundColor", "#302010"}, {"BackgroundColor2", "#302010"},
              {"ExitESC", true}}},
            {"strings", {{"SaverName", "Photo"}}},
            {"items", {{{"file", "photo.jpg"}}}},
        };
        Run(Build(manifest), {"/s"}, 200, [&](host::TSSWindow& w) {
            screen = sim::AsSim(w.Image32()).Canvas();
            decoded = {w.Loader()->MemImage().Width(), w.Loader()->MemImage().Height()};
            placed = w.Loader()->ImageRect;
        });
        ASSERT_TRUE(Traced("Item 0 shown"));
    }

    // What the screen showed before large photographs were decoded smaller: the whole picture drawn
    // into the same rectangle over the background.
    gfx::TBitmap32 FullSizeScreen() const {
        auto picture = gfx::DecodePicture(gfx::TPictureFormat::Jpeg, jpeg_);
        gfx::TBitmap32 expected(kScreen.width, kScreen.height, kBackground);
        if (picture) {
            picture->frames[0].bitmap.SetDrawMode(gfx::DrawMode::Opaque);
            picture->frames[0].bitmap.DrawTo(expected, placed);
        }
        return expected;
    }

    // The largest difference of any channel of any pixel, and the mean over all of them.
    static std::pair<int, double> Difference(const gfx::TBitmap32& a, const gfx::TBitmap32& b) {
        int worst = 0;
        double sum = 0;
        for (int y = 0; y < a.Height(); ++y) {
            for (int x = 0; x < a.Width(); ++x) {
                for (int shift : {0, 8, 16}) {
                    const int d = std::abs(static_cast<int>((a.Pixel(x, y) >> shift) & 0xFF) -
                                           static_cast<int>((b.Pixel(x, y) >> shift) & 0xFF));
                    worst = std::max(worst, d);
                    sum += d;
                }
            }
        }
        return {worst, sum / (3.0 * a.Width() * a.Height())};
    }

    gfx::TBitmap32 screen;
    gfx::IntSize decoded;
    gfx::IntRect placed;

private:
    Bytes jpeg_;
};

TEST_F(LargePhoto, AFittedPhotoIsDecodedAtTheLargestReductionThatCoversItsPlace) {
    Show(testing_support::EncodeJpeg(Photo(1600, 1000), 90), 0);
    // Fitted by halves: 320 x 200 at (0, 20). At 1/4 it is 400 x 250; 1/8 (200 x 125) would not cover.
    EXPECT_EQ(placed, (gfx::IntRect{0, 20, 320, 220})) << "laid out by its own size";
    EXPECT_EQ(decoded, (gfx::IntSize{400, 250}));
    EXPECT_TRUE(Traced("Item 0 decoded at 400 x 250 of 1600 x 1000"));
    const auto [worst, mean] = Difference(screen, FullSizeScreen());
    EXPECT_LE(worst, 12);
    EXPECT_LT(mean, 1.5);
    EXPECT_EQ(screen.Pixel(160, 19), kBackground);
    EXPECT_NE(screen.Pixel(160, 20), kBackground);
}

TEST_F(LargePhoto, ATurnedPhotoCoversItsPlaceWhenUpright) {
    // Stored 4000 x 1000, a quarter turn to view: upright 1000 x 4000, stretched over 320 x 240.
    // Its stored rows must cover 240 x 320, which takes 1/2 (2000 x 500); comparing the unturned
    // sizes would take 1/4, upright 250 x 1000, too narrow for the screen.
    Show(testing_support::WithExifOrientation(testing_support::EncodeJpeg(Photo(4000, 1000), 90), 6), 1);
    EXPECT_EQ(placed, (gfx::IntRect{0, 0, 320, 240}));
    EXPECT_EQ(decoded, (gfx::IntSize{500, 2000}));
    EXPECT_TRUE(Traced("Item 0 decoded at 500 x 2000 of 1000 x 4000"));
    const auto [worst, mean] = Difference(screen, FullSizeScreen());
    EXPECT_LE(worst, 12);
    EXPECT_LT(mean, 1.5);
}

TEST_F(LargePhoto, OnlyTooBigIsFittedAndDecodedSmaller) {
    Show(testing_support::EncodeJpeg(Photo(1600, 1000), 90), 4);
    // FitRect: 320 x 200 at (0, 20), as by halves.
    EXPECT_EQ(placed, (gfx::IntRect{0, 20, 320, 220}));
    EXPECT_EQ(decoded, (gfx::IntSize{400, 250}));
}

TEST_F(LargePhoto, AtItsNaturalSizeItIsDecodedWhole) {
    for (const int mode : {2, 3}) {
        Show(testing_support::EncodeJpeg(Photo(1600, 1000), 90), mode);
        EXPECT_EQ(decoded, (gfx::IntSize{1600, 1000})) << "mode " << mode;
        EXPECT_EQ(placed.Size(), (gfx::IntSize{1600, 1000}));
        for (const std::string& line : trace) {
            EXPECT_EQ(line.find("decoded at"), std::string::npos) << line;
        }
        // Unscaled, the screen is exactly a part of the full-size picture.
        EXPECT_EQ(screen, FullSizeScreen()) << "mode " << mode;
        trace.clear();
    }
}

TEST_F(LargePhoto, APhotoLessThanTwiceItsPlaceIsDecodedWhole) {
    // 630 x 470 stretched over 320 x 240: 1/2 would be 315 x 235, too small; no reduction is tried.
    Show(testing_support::EncodeJpeg(Photo(630, 470), 90), 1);
    EXPECT_EQ(decoded, (gfx::IntSize{630, 470}));
}

}  // namespace
