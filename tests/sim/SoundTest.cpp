// Whole runs with music and entry sounds on the simulated machine: which track sounds when, by the
// playlist settings, and what the end of the saver leaves behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/sim/Sim.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/MediaEncoders.h"

namespace {

using testing_support::Bytes;
using testing_support::Json;
using testing_support::SaverRunTest;

// One play of a player: when it began and when it ended by itself (0: it never did).
struct Play {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::string file;
};

class Sound : public SaverRunTest {
protected:
    // A saver of one still picture and tracks of 1000 + 100 x i ms, so that each track is known by
    // its length.
    std::string Saver(int tracks, const Json& header = Json::object(), const Json& extra = Json::object()) {
        Put("a.bmp", testing_support::SolidBmp(40, 30, 200, 100, 50));
        Json music = Json::array();
        for (int i = 0; i < tracks; ++i) {
            const std::string name = "t" + std::to_string(i) + ".wav";
            Put(name, testing_support::SilentWav(TrackLength(i)));
            music.push_back({{"file", name}});
        }
        Json h = {{"ExitESC", true}, {"Loop", false}};
        h.update(header);
        Json manifest = {{"header", h}, {"strings", {{"SaverName", "Sound"}}}, {"items", {{{"file", "a.bmp"}}}},
                         {"music", music}};
        manifest.update(extra);
        return Build(manifest);
    }

    static std::uint32_t TrackLength(int i) { return 1000 + 100 * static_cast<std::uint32_t>(i); }

    std::vector<Play> Plays(const std::string& player) const {
        std::vector<Play> plays;
        for (const sim::MediaEvent& e : sim::M().mediaLog) {
            if (e.player != player) {
                continue;
            }
            if (e.event == "play") {
                plays.push_back({e.time, 0, e.file});
            } else if (e.event.rfind("notice", 0) == 0 && e.detail == "successful" && !plays.empty() &&
                       plays.back().end == 0) {
                // The end of the play, whether a handler took the notice or not.
                plays.back().end = e.time;
            }
        }
        return plays;
    }

    // The tracks in the order they sounded, each known by its length; -1 for a play that did not end.
    std::vector<int> Tracks() const {
        std::vector<int> tracks;
        for (const Play& p : Plays("SndPlay")) {
            tracks.push_back(p.end == 0 ? -1 : static_cast<int>((p.end - p.start - 1000) / 100));
        }
        return tracks;
    }

    std::string SettingsKey() const { return "\\Software\\Tavolisk\\Sound"; }

    // Each run after the first is a fresh machine: its clock starts again at 0.
    void NewMachine() {
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
    }
};

TEST_F(Sound, WithoutMusicNothingPlaysInEitherOrder) {
    Run(Saver(0), {"/s"}, 3000);
    EXPECT_TRUE(Plays("SndPlay").empty());

    NewMachine();
    int current = 0;
    Run(Saver(0, {{"ShuffleMelody", true}}), {"/s"}, 3000,
        [&](host::TSSWindow& w) { current = w.Music().Playlist().CurrentTrack; });
    EXPECT_TRUE(Plays("SndPlay").empty());
    EXPECT_EQ(current, -1) << "the empty bag yields no track";
}

TEST_F(Sound, ThreeTracksInOrderStopAfterTheLastOrWrapWithRepeat) {
    Run(Saver(3), {"/s"}, 10000);
    EXPECT_EQ(Tracks(), (std::vector<int>{0, 1, 2}));
    const auto plays = Plays("SndPlay");
    for (std::size_t i = 1; i < plays.size(); ++i) {
        EXPECT_EQ(plays[i].start, plays[i - 1].end) << "the next track starts on the notice of the last";
    }

    NewMachine();
    Run(Saver(3, {{"Loop", true}}), {"/s"}, 5500);
    EXPECT_EQ(Tracks(), (std::vector<int>{0, 1, 2, 0, 1, -1}));
}

TEST_F(Sound, M4aAndAacTracksPlayForTheLengthsTheirHeadersGive) {
    Put("a.bmp", testing_support::SolidBmp(40, 30, 200, 100, 50));
    Put("t0.m4a", testing_support::IsoMedia({.ms = TrackLength(0), .width = 0, .brand = "M4A "}));
    Put("t1.aac", testing_support::AdtsFrames(48));  // 1114 ms
    Run(Build({{"header", {{"ExitESC", true}, {"Loop", false}}},
               {"strings", {{"SaverName", "Sound"}}},
               {"items", {{{"file", "a.bmp"}}}},
               {"music", {{{"file", "t0.m4a"}}, {{"file", "t1.aac"}}}}}),
        {"/s"}, 4000);
    EXPECT_EQ(Tracks(), (std::vector<int>{0, 1}));
    const auto plays = Plays("SndPlay");
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_TRUE(plays[0].file.ends_with("SSSND.M4A")) << plays[0].file;
    EXPECT_TRUE(plays[1].file.ends_with("SSSND.AAC")) << plays[1].file;
}

TEST_F(Sound, OnlyASuccessfulNoticeBringsTheNextTrack) {
    Run(Saver(3), {"/s"}, 10000, [](host::TSSWindow& w) {
        sim::At(500, [&w] {
            for (const auto notice : {plat::MediaNotice::Superseded, plat::MediaNotice::Aborted,
                                      plat::MediaNotice::Failure}) {
                w.SndPlayNotify(notice);
            }
        });
    });
    EXPECT_EQ(Tracks(), (std::vector<int>{0, 1, 2}));
}

TEST_F(Sound, OneTrackRepeatsOnlyWithRepeatInEitherOrder) {
    for (const bool shuffle : {false, true}) {
        NewMachine();
        Run(Saver(1, {{"ShuffleMelody", shuffle}}), {"/s"}, 5000);
        EXPECT_EQ(Tracks(), (std::vector<int>{0})) << "shuffle " << shuffle;

        NewMachine();
        Run(Saver(1, {{"ShuffleMelody", shuffle}, {"Loop", true}}), {"/s"}, 3500);
        EXPECT_EQ(Tracks(), (std::vector<int>{0, 0, 0, -1})) << "shuffle " << shuffle;
    }
}

TEST_F(Sound, ARepeatedTrackPlaysAgainOnItsOpenDeviceAndADifferentOneOnAFreshDevice) {
    const auto events = [] {
        std::vector<std::string> seen;
        for (const sim::MediaEvent& e : sim::M().mediaLog) {
            if (e.player == "SndPlay") {
                seen.push_back(e.event + (e.event == "play" ? " " + e.detail : ""));
            }
        }
        return seen;
    };
    // The device that has just sent its notice is not closed under it: the same track rewinds.
    for (const bool shuffle : {false, true}) {
        NewMachine();
        Run(Saver(1, {{"ShuffleMelody", shuffle}, {"Loop", true}}), {"/s"}, 2500);
        EXPECT_EQ(events(), (std::vector<std::string>{"open", "play 0", "notice", "play 0", "notice", "play 0"}))
            << "shuffle " << shuffle;
        EXPECT_EQ(Count("Music track 0"), 3);
    }

    NewMachine();
    Run(Saver(2, {{"Loop", true}}), {"/s"}, 2500);
    EXPECT_EQ(events(), (std::vector<std::string>{"open", "play 0", "notice", "close", "open", "play 0", "notice", "close",
                                                  "open", "play 0"}));
}

TEST_F(Sound, ShufflePlaysEachTrackOncePerPass) {
    Machine().seed = 7;
    Run(Saver(3, {{"ShuffleMelody", true}}), {"/s"}, 10000);
    const std::vector<int> once = Tracks();
    EXPECT_EQ(std::multiset<int>(once.begin(), once.end()), (std::multiset<int>{0, 1, 2}));

    std::set<int> firsts;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        NewMachine();
        Machine().seed = seed;
        Run(Saver(3, {{"ShuffleMelody", true}, {"Loop", true}}), {"/s"}, 7000);
        const std::vector<int> tracks = Tracks();
        ASSERT_GE(tracks.size(), 6u);
        EXPECT_EQ(std::multiset<int>(tracks.begin(), tracks.begin() + 3), (std::multiset<int>{0, 1, 2}));
        EXPECT_EQ(std::multiset<int>(tracks.begin() + 3, tracks.begin() + 6), (std::multiset<int>{0, 1, 2}));
        firsts.insert(tracks[0]);
    }
    EXPECT_GT(firsts.size(), 1u) << "the first track is drawn from the bag, not always track 0";
}

TEST_F(Sound, OneRandomTrackOfFiveIsTheOnlyOneForTheWholeRun) {
    std::set<int> picked;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        NewMachine();
        Machine().seed = seed;
        Run(Saver(5, {{"PlayOneRandom", true}, {"Loop", true}}), {"/s"}, 6000);
        const std::vector<int> tracks = Tracks();
        ASSERT_GE(tracks.size(), 3u);
        EXPECT_EQ(std::set<int>(tracks.begin(), tracks.end() - 1).size(), 1u) << "seed " << seed;
        picked.insert(tracks[0]);
    }
    EXPECT_GT(picked.size(), 1u);
}

TEST_F(Sound, TheOwnPlaylistPlaysFromItsPathsStopsAtAMissingFileAndIsNeverDeleted) {
    const std::string first = Path("mine0.wav");
    const std::string third = Path("mine2.wav");
    Put("mine0.wav", testing_support::SilentWav(800));
    Put("mine2.wav", testing_support::SilentWav(800));
    Machine().registry.SetInteger(SettingsKey(), "UseCustomPlaylist", 1);
    Machine().registry.SetString(SettingsKey() + "\\PlayList", "item0", first);
    Machine().registry.SetString(SettingsKey() + "\\PlayList", "item1", Path("deleted.wav"));
    Machine().registry.SetString(SettingsKey() + "\\PlayList", "item2", third);
    Key(1500, plat::VK_ESCAPE);
    Run(Saver(2, {{"Loop", true}}), {"/s"}, 5000);
    const auto plays = Plays("SndPlay");
    ASSERT_EQ(plays.size(), 1u) << "the second file is missing: the music stops there";
    EXPECT_EQ(plays[0].file, first);
    EXPECT_EQ(plays[0].end, plays[0].start + 800);
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(third));
}

TEST_F(Sound, EndingTheSaverStopsTheTrackAndDeletesItsFile) {
    const std::string file = Temp() + "SSSND.WAV";  // the builder keeps the extension as it upper-cases it
    bool extracted = false;
    Key(1500, plat::VK_ESCAPE);
    Run(Saver(2), {"/s"}, 5000, [&](host::TSSWindow&) {
        sim::At(1200, [&] { extracted = std::filesystem::exists(file); });
    });
    const auto plays = Plays("SndPlay");
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[1].file, file);
    EXPECT_TRUE(extracted) << "track 1 plays from its temporary file";
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(plays[0].end, plays[0].start + 1000);
    EXPECT_EQ(plays[1].end, 0u) << "stopped before its end";
    const auto& log = sim::M().mediaLog;
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const sim::MediaEvent& e) {
        return e.player == "SndPlay" && e.event == "close" && e.time == 1500;
    }));
}

class EntrySounds : public Sound {
protected:
    // Three pictures changing every second, each with its own entry sound of 300 + 100 x i ms,
    // over a long track.
    std::string Saver(const Json& header = Json::object()) {
        Json items = Json::array();
        Json sounds = Json::array();
        for (int i = 0; i < 3; ++i) {
            const std::string picture = "p" + std::to_string(i) + ".bmp";
            Put(picture, testing_support::SolidBmp(40, 30, static_cast<std::uint8_t>(80 * i), 100, 50));
            const std::string sound = "e" + std::to_string(i) + ".wav";
            Put(sound, testing_support::SilentWav(300 + 100 * static_cast<std::uint32_t>(i)));
            items.push_back({{"file", picture}, {"enterSound", i}});
            sounds.push_back({{"file", sound}});
        }
        Put("long.wav", testing_support::SilentWav(20000));
        Json h = {{"ExitESC", true}, {"Seconds", 1}, {"EffectSpeed", 10}};
        h.update(header);
        return Build({{"header", h},
                      {"strings", {{"SaverName", "Entry"}, {"Effect", {115}}}},
                      {"items", items},
                      {"entrySounds", sounds},
                      {"music", {{{"file", "long.wav"}}}}});
    }
};

TEST_F(EntrySounds, EachItemSoundsAsItComesWhileTheMusicGoesOn) {
    Run(Saver(), {"/s"}, 3500);
    const auto music = Plays("SndPlay");
    const auto entries = Plays("EnterSndPlay");
    ASSERT_EQ(music.size(), 1u);
    ASSERT_GE(entries.size(), 3u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].file, Temp() + "SSESND.WAV");
        EXPECT_GE(entries[i].start, music[0].start);
        EXPECT_EQ(music[0].end, 0u) << "the music is not interrupted";
    }
    const std::vector<std::string> expected{"Entry sound 0", "Entry sound 1", "Entry sound 2"};
    std::vector<std::string> heard;
    std::copy_if(trace.begin(), trace.end(), std::back_inserter(heard),
                 [](const std::string& line) { return line.rfind("Entry sound", 0) == 0; });
    heard.resize(3);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(entries[0].end - entries[0].start, 300u);
}

TEST_F(EntrySounds, MuteSilencesMusicAndEntrySounds) {
    Run(Saver({{"Mute", true}}), {"/s"}, 3500);
    EXPECT_TRUE(Machine().mediaLog.empty());
}

}  // namespace
