// The media files as the simulated services read them, and the silent copy of a movie that the
// Windows player falls back to.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/SilentAvi.h"
#include "platform/sim/MediaFiles.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/Savers.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::Bytes;

class MediaFiles : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const Bytes& bytes) {
        const std::string path = dir_.File(name);
        testing_support::WriteBytes(path, bytes);
        return path;
    }

    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    testing_support::TempDir dir_;
};

TEST_F(MediaFiles, LengthsComeFromTheHeadersOfEachKind) {
    const auto wav = sim::ReadMediaHeaders(Put("a.wav", testing_support::SilentWav(1500)));
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->lengthMs, 1500u);
    EXPECT_EQ(wav->picture, (gfx::IntSize{0, 0}));

    // 100 frames of 1152 samples at 44.1 kHz, after an ID3 tag of 20 bytes.
    Bytes mp3{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
    mp3.resize(30, 0);
    const Bytes frames = testing_support::Mp3Frames(100);
    mp3.insert(mp3.end(), frames.begin(), frames.end());
    const auto audio = sim::ReadMediaHeaders(Put("a.mp3", mp3));
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->lengthMs, 100u * 1152 * 1000 / 44100);

    const auto movie = sim::ReadMediaHeaders(Put("a.avi", testing_support::MovieAvi(64, 48, 25, true)));
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->lengthMs, 2500u);
    EXPECT_EQ(movie->picture, (gfx::IntSize{64, 48}));
    EXPECT_TRUE(movie->hasSound);
}

TEST_F(MediaFiles, IsoMediaAndAdtsLengthsComeFromTheirHeaders) {
    const auto mp4 = sim::ReadMediaHeaders(Put("a.mp4", testing_support::IsoMedia({.ms = 2500, .width = 176, .height = 144})));
    ASSERT_TRUE(mp4);
    EXPECT_EQ(mp4->lengthMs, 2500u);
    EXPECT_EQ(mp4->picture, (gfx::IntSize{176, 144}));
    EXPECT_TRUE(mp4->hasSound);

    // QuickTime: no "ftyp", other atoms first.
    const auto mov = sim::ReadMediaHeaders(Put("a.mov", testing_support::IsoMedia(
        {.ms = 1200, .width = 64, .height = 48, .withSound = false, .brand = nullptr, .leading = {"wide", "mdat"}})));
    ASSERT_TRUE(mov);
    EXPECT_EQ(mov->lengthMs, 1200u);
    EXPECT_EQ(mov->picture, (gfx::IntSize{64, 48}));
    EXPECT_FALSE(mov->hasSound);

    const auto m4a = sim::ReadMediaHeaders(Put("a.m4a", testing_support::IsoMedia({.ms = 3000, .width = 0, .brand = "M4A "})));
    ASSERT_TRUE(m4a);
    EXPECT_EQ(m4a->lengthMs, 3000u);
    EXPECT_EQ(m4a->picture, (gfx::IntSize{0, 0})) << "sound only";

    const auto aac = sim::ReadMediaHeaders(Put("a.aac", testing_support::AdtsFrames(431)));
    ASSERT_TRUE(aac);
    EXPECT_EQ(aac->lengthMs, 431u * 1024 * 1000 / 44100);
    EXPECT_EQ(aac->picture, (gfx::IntSize{0, 0}));
}

TEST_F(MediaFiles, DamagedOrUnknownFilesHaveNoLength) {
    Bytes mp4 = testing_support::IsoMedia({});
    mp4.resize(mp4.size() - 10);  // the last box runs past the end
    EXPECT_FALSE(sim::ReadMediaHeaders(Put("cut.mp4", mp4)));
    Bytes aac = testing_support::AdtsFrames(10);
    aac.resize(aac.size() - 1);
    EXPECT_FALSE(sim::ReadMediaHeaders(Put("cut.aac", aac)));
    Bytes wav = testing_support::SilentWav(1000);
    wav.resize(30);  // the data chunk is cut off
    EXPECT_FALSE(sim::ReadMediaHeaders(Put("cut.wav", wav)));
    EXPECT_FALSE(sim::ReadMediaHeaders(Put("noise.mp3", testing_support::Pattern(5000, 3))));
    EXPECT_FALSE(sim::ReadMediaHeaders(Put("one-frame.mp3", testing_support::Mp3Frames(1))))
        << "a single frame could be stray sync bits";
    EXPECT_FALSE(sim::ReadMediaHeaders(dir_.File("missing.wav")));
}

TEST_F(MediaFiles, TheSilentCopyDiffersOnlyInTheSoundStreamsKind) {
    const Bytes movie = testing_support::MovieAvi(32, 24, 10, true);
    const std::string copy = dir_.File("copy.avi");
    ASSERT_TRUE(plat::WriteSilentAviCopy(Put("movie.avi", movie), copy));
    const Bytes silent = Read(copy);
    ASSERT_EQ(silent.size(), movie.size());
    std::size_t differences = 0;
    for (std::size_t i = 0; i < movie.size(); ++i) {
        differences += movie[i] != silent[i] ? 1 : 0;
    }
    EXPECT_EQ(differences, 4u) << "one four-character code";
    const auto info = sim::ReadMediaHeaders(copy);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->hasSound);
    EXPECT_EQ(info->lengthMs, 1000u) << "the pictures are all still there";
}

TEST_F(MediaFiles, NoSilentCopyOfAMovieWithoutSoundOrOfAnythingElse) {
    const std::string copy = dir_.File("copy.avi");
    EXPECT_FALSE(plat::WriteSilentAviCopy(Put("mute.avi", testing_support::MovieAvi(32, 24, 10, false)), copy));
    EXPECT_FALSE(plat::WriteSilentAviCopy(Put("a.wav", testing_support::SilentWav(100)), copy));
    Bytes cut = testing_support::MovieAvi(32, 24, 10, true);
    cut.resize(60);
    EXPECT_FALSE(plat::WriteSilentAviCopy(Put("cut.avi", cut), copy));
    EXPECT_FALSE(plat::WriteSilentAviCopy(dir_.File("missing.avi"), copy));
    EXPECT_FALSE(std::ifstream(copy).good()) << "nothing is left behind";
}

}  // namespace
