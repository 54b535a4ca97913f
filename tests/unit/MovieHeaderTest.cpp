// A Flash movie's header as the frame-size reader and the player controls take it.

#include <gtest/gtest.h>

#include "platform/MovieHeader.h"
#include "slideshow/FlashItem.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/Savers.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::Bytes;
using testing_support::FlashMovieFields;

class MovieHeader : public ::testing::Test {
protected:
    std::string Put(const Bytes& bytes, const std::string& name = "movie.swf") {
        const std::string path = dir_.File(name);
        testing_support::WriteBytes(path, bytes);
        return path;
    }

    testing_support::TempDir dir_;
};

TEST_F(MovieHeader, PlainAndCompressedMoviesGiveTheSameHeader) {
    for (const bool compressed : {false, true}) {
        const Bytes movie = testing_support::FlashMovie({550, 400, 25 * 256, 50, 0x336699, compressed});
        const auto h = plat::ReadMovieHeader(Put(movie));
        ASSERT_TRUE(h);
        EXPECT_EQ(h->compressed, compressed);
        EXPECT_EQ(h->xMin, 0u);
        EXPECT_EQ(h->xMax, 11000u);
        EXPECT_EQ(h->yMax, 8000u);
        EXPECT_EQ(h->frameRate, 25 * 256);
        EXPECT_EQ(h->frameCount, 50);
        EXPECT_EQ(h->background, 0xFF336699u);
        EXPECT_EQ(plat::MoviePlayMs(*h), 2000u);
        EXPECT_EQ(show::MovieFrameSize(dir_.File("movie.swf")), (gfx::IntSize{550, 400}));
    }
}

TEST_F(MovieHeader, TheFrameSizeIsTheRectanglesEndInWholePixels) {
    // 19 twips more than 10 pixels is still 10 pixels.
    const auto h = plat::ReadMovieHeader(Put(testing_support::FlashMovie({10, 20, 256, 5, {}, false, 19})));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->xMax, 219u);
    EXPECT_EQ(h->yMax, 419u);
    EXPECT_FALSE(h->background);
    EXPECT_EQ(show::MovieFrameSize(dir_.File("movie.swf")), (gfx::IntSize{10, 20}));
    // Every field read unsigned: 31 bits of ones are 2^31 - 1 twips.
    EXPECT_EQ(show::MovieFrameSize(Put(Bytes(25, 0xFF))), (gfx::IntSize{107374182, 107374182}));
}

TEST_F(MovieHeader, AFileTooShortForTheRectangleOrACompressedBodyThatDoesNotInflateIsNoMovie) {
    EXPECT_TRUE(plat::ReadMovieHeader(Put(Bytes(25, 0))));
    EXPECT_FALSE(plat::ReadMovieHeader(Put(Bytes(24, 0))));
    EXPECT_THROW(show::MovieFrameSize(dir_.File("movie.swf")), std::runtime_error);
    EXPECT_THROW(show::MovieFrameSize(dir_.File("missing.swf")), std::runtime_error);

    Bytes broken = testing_support::FlashMovie({550, 400, 25 * 256, 50, 0x336699, true});
    broken.resize(10);  // two bytes of the stream: nothing inflates yet
    EXPECT_FALSE(plat::ReadMovieHeader(Put(broken)));
    Bytes noise = testing_support::Pattern(200, 3);
    noise[0] = 'C';
    noise[1] = 'W';
    noise[2] = 'S';
    EXPECT_FALSE(plat::ReadMovieHeader(Put(noise)));
}

TEST_F(MovieHeader, PlayingTimeIsTheFramesOverTheFixedPointRate) {
    plat::MovieHeader h;
    h.frameCount = 25;
    h.frameRate = 12 * 256 + 128;  // 12.5 frames a second
    EXPECT_EQ(plat::MoviePlayMs(h), 2000u);
    h.frameRate = 0;
    EXPECT_EQ(plat::MoviePlayMs(h), 0u);
}

}  // namespace
