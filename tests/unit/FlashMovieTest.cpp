// The frame size of a Flash movie from its header, plain or compressed, and headers too short or
// broken to give one.

#include <gtest/gtest.h>

#include "slideshow/FlashMovie.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::FlashMovie;

TEST(FlashMovie, TheFrameRectangleInTwipsGivesThePixels) {
    // 550 x 400 pixels are 11000 x 8000 twips; a size rounds down to whole pixels.
    EXPECT_EQ(show::MovieFrameSize(FlashMovie(11000, 8000, false)), (gfx::IntSize{550, 400}));
    EXPECT_EQ(show::MovieFrameSize(FlashMovie(11019, 39, false, 16)), (gfx::IntSize{550, 1}));
    // The widest fields, 31 bits each, fill all 17 bytes of the rectangle.
    EXPECT_EQ(show::MovieFrameSize(FlashMovie(0x7FFFFFFF, 20, false, 31)), (gfx::IntSize{107374182, 1}));
    EXPECT_EQ(show::MovieFrameSize(FlashMovie(0, 0, false, 0)), (gfx::IntSize{0, 0}));
}

TEST(FlashMovie, ACompressedMovieIsReadFromItsInflatedBody) {
    EXPECT_EQ(show::MovieFrameSize(FlashMovie(11000, 8000, true)), (gfx::IntSize{550, 400}));
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File("SSIMG.SWF"), FlashMovie(6400, 4800, true));
    EXPECT_EQ(show::MovieFrameSizeOfFile(dir.File("SSIMG.SWF")), (gfx::IntSize{320, 240}));
    EXPECT_FALSE(show::MovieFrameSizeOfFile(dir.File("missing.swf")));
}

TEST(FlashMovie, ShortOrBrokenHeadersGiveNothing) {
    const auto plain = FlashMovie(11000, 8000, false);
    for (std::size_t cut = 0; cut < 25; ++cut) {
        EXPECT_FALSE(show::MovieFrameSize(std::span(plain).first(cut))) << cut;
    }
    auto compressed = FlashMovie(11000, 8000, true);
    EXPECT_FALSE(show::MovieFrameSize(std::span(compressed).first(12))) << "the stream ends too early";
    compressed[8] ^= 0xFF;
    EXPECT_FALSE(show::MovieFrameSize(compressed)) << "not a zlib stream";
}

}  // namespace
