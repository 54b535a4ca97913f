// The trace's timing lines on the simulated machine: "Tick" when the timer brings the next item, and
// after each transition its effect, the frames it drew, its length and when its last frame reached
// the screen, all checked against what the frames themselves showed and when.

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"
#include "transitions/TransThread.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;

// One "Transition" line, read back.
struct TransitionLine {
    int effect = -1;
    int frames = -1;
    std::uint64_t took = 0;
    std::uint64_t last = 0;
    bool stopped = false;
};

bool ParseTransition(const std::string& line, TransitionLine& out) {
    unsigned took = 0;
    unsigned last = 0;
    int end = 0;
    if (std::sscanf(line.c_str(), "Transition %d: %d frames in %u ms, last at %u ms%n", &out.effect, &out.frames,
                    &took, &last, &end) != 4 ||
        end == 0) {
        return false;
    }
    const std::string rest = line.substr(static_cast<std::size_t>(end));
    if (rest != "" && rest != ", stopped") {
        return false;
    }
    out.took = took;
    out.last = last;
    out.stopped = !rest.empty();
    return true;
}

// What the program's own frames showed of one transition: the virtual time of each frame, the
// closing whole picture last, and the timing lines around it.
struct Seen {
    int effect = -1;                  // from its "Effect" line
    std::uint64_t startedAt = 0;      // the time of that line
    std::uint64_t tickAt = 0;         // the time of the "Tick" before it
    std::vector<std::uint64_t> frames;
    std::vector<TransitionLine> lines;  // its "Transition" lines (one)
};

class TransitionTrace : public SaverRunTest {
protected:
    TransitionTrace() {
        Machine().monitors = {{0, 0, 320, 240}};
        core::SetTraceSink([this](std::string_view text) {
            trace.emplace_back(text);
            const std::string line(text);
            int effect = 0;
            TransitionLine parsed;
            if (line == "Tick") {
                tickAt_ = sim::Now();
            } else if (std::sscanf(line.c_str(), "Effect %d", &effect) == 1) {
                seen_.push_back({effect, sim::Now(), tickAt_, {}, {}});
            } else if (line.starts_with("Transition ")) {
                if (!ParseTransition(line, parsed) || seen_.empty()) {
                    ADD_FAILURE() << "a transition line out of place or form: " << line;
                    return;
                }
                seen_.back().lines.push_back(parsed);
            }
        });
        // After every frame, and once more after the closing one.
        trans::SetFrameObserver([this] {
            if (!seen_.empty()) {
                seen_.back().frames.push_back(sim::Now());
            }
        });
    }
    ~TransitionTrace() override { trans::SetFrameObserver({}); }

    // Three solid pictures, one second each, through the effects given.
    std::string Saver(const Json& effects, int speed) {
        const gfx::Color32 colours[] = {0xFFE03030, 0xFF30C040, 0xFF3050E0};
        Json items = Json::array();
        for (int i = 0; i < 3; ++i) {
            const std::string name = "item" + std::to_string(i) + ".png";
            Put(name, testing_support::EncodePng(gfx::TBitmap32(320, 240, colours[i])));
            items.push_back({{"file", name}});
        }
        const Json manifest = {
            {"header", {{"Seconds", 1}, {"Stretch", 2}, {"EffectSpeed", speed}, {"ExitESC", true}}},
            {"strings", {{"SaverName", "Transition Trace"}, {"Effect", effects}}},
            {"items", items}};
        return Build(manifest);
    }

    std::vector<Seen> seen_;
    std::uint64_t tickAt_ = 0;
};

TEST_F(TransitionTrace, EachTransitionNamesItsEffectFramesLengthAndLastFrame) {
    // A crossfade, which waits out the delay after its last frame too, and "Door Open", which does
    // not, each at two speeds.
    for (const int effect : {115, 10}) {
        for (const int speed : {10, 4}) {
            SCOPED_TRACE("effect " + std::to_string(effect) + ", speed " + std::to_string(speed));
            sim::Reset();
            Machine().tempPath = Temp();
            Machine().monitors = {{0, 0, 320, 240}};
            trace.clear();
            seen_.clear();
            Run(Saver({effect}, speed), {"/s"}, 3500);
            ASSERT_GE(seen_.size(), 2u);
            for (const Seen& s : seen_) {
                ASSERT_EQ(s.lines.size(), 1u);
                const TransitionLine& line = s.lines[0];
                EXPECT_EQ(line.effect, s.effect);
                EXPECT_EQ(s.effect, effect);
                ASSERT_GE(s.frames.size(), 2u);
                EXPECT_EQ(line.frames, static_cast<int>(s.frames.size()) - 1) << "the closing picture not counted";
                EXPECT_EQ(line.last, s.frames.back()) << "when the closing picture reached the screen";
                EXPECT_EQ(line.last - line.took, s.startedAt) << "the length runs from the start";
                EXPECT_FALSE(line.stopped);
                // On the simulated machine loading takes no time: the tick starts the transition.
                EXPECT_EQ(s.tickAt, s.startedAt);
            }
            // Each effect's frames come every 9 ms; a crossfade waits once more before the closing picture.
            const Seen& s = seen_[0];
            const int frames = s.lines[0].frames;
            EXPECT_EQ(s.lines[0].took, static_cast<std::uint64_t>(9 * (effect == 115 ? frames : frames - 1)));
        }
    }
}

TEST_F(TransitionTrace, TheTickComesWhenTheTimerBringsTheNextItem) {
    std::vector<std::uint64_t> restarts;
    std::vector<std::uint64_t> ticks;
    core::SetTraceSink([&](std::string_view text) {
        trace.emplace_back(text);
        if (text == "Restart Timer") {
            restarts.push_back(sim::Now());
        } else if (text == "Tick") {
            ticks.push_back(sim::Now());
        }
    });
    Run(Saver({115}, 10), {"/s"}, 4500);
    // The first item comes at the start, without a tick; each later one a second after the last
    // transition ended.
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_EQ(ticks[0], 1000u);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i], restarts[i - 1] + 1000) << i;
    }
}

TEST_F(TransitionTrace, AStoppedTransitionSaysSoAndOneCutByTheEndHasNoLine) {
    // Slow crossfades; the one the first tick starts is told to stop a few frames in.
    Run(Saver({115}, 1), {"/s"}, 1500, [](host::TSSWindow&) { sim::At(1100, [] { core::Flags().TransCancel = true; }); });
    ASSERT_FALSE(seen_.empty());
    ASSERT_EQ(seen_[0].lines.size(), 1u);
    EXPECT_TRUE(seen_[0].lines[0].stopped);
    EXPECT_EQ(seen_[0].lines[0].frames, static_cast<int>(seen_[0].frames.size()) - 1);
    EXPECT_LE(seen_[0].lines[0].last, 1110u);

    // Esc during the transition: the window goes without the closing picture, and without a line.
    sim::Reset();
    Machine().tempPath = Temp();
    Machine().monitors = {{0, 0, 320, 240}};
    trace.clear();
    seen_.clear();
    Key(1100, plat::VK_ESCAPE);
    EXPECT_EQ(Run(Saver({115}, 1), {"/s"}, 5000), 0);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_TRUE(seen_[0].lines.empty());
    EXPECT_TRUE(Traced("Form Destroy"));
}

}  // namespace
