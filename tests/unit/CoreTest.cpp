// The shared helpers: the run-time random generator, file-name rules, the command line and the
// precise clock's arithmetic.

#include <gtest/gtest.h>

#include "common/Paths.h"
#include "common/Random.h"
#include "host/ModeLetter.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"

namespace {

TEST(Random, FollowsTheRunTimeGeneratorExactly) {
    core::SetRandSeed(0);
    std::vector<int> drawn;
    for (int n : {100, 100, 100, 120, 255, 1, 7}) {
        drawn.push_back(core::Random(n));
    }
    EXPECT_EQ(drawn, (std::vector<int>{0, 3, 86, 24, 69, 0, 2}));

    core::SetRandSeed(0xDEADBEEF);
    drawn.clear();
    for (int i = 0; i < 5; ++i) {
        drawn.push_back(core::Random(1000));
    }
    EXPECT_EQ(drawn, (std::vector<int>{372, 176, 590, 570, 926}));
}

TEST(Random, StaysInRangeAndZeroGivesZero) {
    core::SetRandSeed(7);
    for (int i = 0; i < 10000; ++i) {
        const int n = 1 + i % 300;
        const int r = core::Random(n);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, n);
    }
    const std::uint32_t before = core::RandSeed();
    EXPECT_EQ(core::Random(0), 0);
    EXPECT_NE(core::RandSeed(), before) << "Random(0) still advances the seed";
}

TEST(Paths, ExtensionIsTheLastDotOfTheLastName) {
    EXPECT_EQ(core::ExtractFileExt("C:\\Saver\\demo.scr"), ".scr");
    EXPECT_EQ(core::ExtractFileExt("C:\\Saver.d\\demo"), "");
    EXPECT_EQ(core::ExtractFileExt("/tmp/a.b/c.EXE"), ".EXE");
    EXPECT_EQ(core::ExtractFileExt("archive.tar.gz"), ".gz");
    EXPECT_EQ(core::ExtractFileExt("noext"), "");
    EXPECT_EQ(core::UpperCase(".exe"), ".EXE");
}

TEST(CommandLine, SplitsOnBlanksAndGroupsQuotes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(plat::SplitCommandLine("saver.scr /p 1234"), (V{"saver.scr", "/p", "1234"}));
    EXPECT_EQ(plat::SplitCommandLine("\"C:\\My Savers\\a.scr\"  /c:5"), (V{"C:\\My Savers\\a.scr", "/c:5"}));
    EXPECT_EQ(plat::SplitCommandLine("a\"b c\"d\te"), (V{"ab cd", "e"}));
    EXPECT_EQ(plat::SplitCommandLine("   "), V{});
}

TEST(ModeLetter, TakesTheSecondCharacterOfTheFirstArgument) {
    using V = std::vector<std::string>;
    EXPECT_EQ(host::ModeLetter(V{"/s"}), "S");
    EXPECT_EQ(host::ModeLetter(V{"-S"}), "S");
    EXPECT_EQ(host::ModeLetter(V{"/c:1234"}), "C");
    EXPECT_EQ(host::ModeLetter(V{"/p", "1234"}), "P");
    EXPECT_EQ(host::ModeLetter(V{}), "");
    EXPECT_EQ(host::ModeLetter(V{"s"}), "") << "a bare letter is a one-character argument";
    EXPECT_EQ(host::ModeLetter(V{"sx"}), "X");
}

// The performance counter counts at 10 MHz on current systems and at 3.579545 MHz on older ones; a
// machine may have been up for weeks when the saver starts.
TEST(CounterMicroseconds, StaysExactAfterALongUptime) {
    EXPECT_EQ(plat::CounterMicroseconds(12'345'678, 10'000'000), 1'234'567u);
    EXPECT_EQ(plat::CounterMicroseconds(10'000'000ull * 86'400 * 30 + 1'234'567, 10'000'000),
              86'400'000'000ull * 30 + 123'456)
        << "30 days at 10 MHz";
    EXPECT_EQ(plat::CounterMicroseconds(3'579'545ull * 100'000 + 1'789'772, 3'579'545), 100'000'499'999ull);
    EXPECT_EQ(plat::CounterMicroseconds(9'223'372'036'854'775'807ull, 10'000'000), 922'337'203'685'477'580ull)
        << "the largest count the counter gives";
}

}  // namespace
