// ssrender run: a built saver with music and a movie, as screenshots and a log of what sounded when.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/io/ImageFiles.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/Savers.h"
#include "tools/ssrender/RunSaver.h"

namespace {

using testing_support::Json;

class SsrenderRun : public testing_support::SaverTest {};

TEST_F(SsrenderRun, TheScreenshotsShowTheMoviesPanelAndTheLogSaysWhatSoundedWhen) {
    Put("a.bmp", testing_support::SolidBmp(40, 30, 200, 100, 50));
    Put("movie.avi", testing_support::MovieAvi(160, 120, 20, true));
    Put("music.mid", testing_support::Pattern(100, 1));  // a kind whose length is given
    const std::string saver = Build({{"header", {{"Seconds", 1}, {"Stretch", 2}, {"ExitESC", true}}},
                                     {"strings", {{"SaverName", "Run"}, {"Effect", {115}}}},
                                     {"items", {{{"file", "a.bmp"}}, {{"file", "movie.avi"}}}},
                                     {"music", {{{"file", "music.mid"}}}}});
    ssrender::RunOptions options;
    options.saver = saver;
    options.screen = {320, 240};
    options.seconds = 3;
    options.everyMs = 1500;
    options.outDir = Dir().File("out");
    options.soundLog = Dir().File("sound.txt");
    options.mediaLengths[".MID"] = 2500;
    ssrender::RunSaverFile(options);

    // The panel's handle differs from run to run.
    std::vector<std::string> lines;
    std::ifstream in(options.soundLog);
    for (std::string line; std::getline(in, line);) {
        if (line.find("\tdisplay\t") != std::string::npos && !line.ends_with("\t0")) {
            line = line.substr(0, line.rfind('\t')) + "\tpanel";
        }
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "0\tSndPlay\topen\tSSSND.MID\t",
                         "0\tSndPlay\tplay\tSSSND.MID\t0",
                         "1000\tMPlay\topen\tSSIMG.AVI\t",
                         "1000\tMPlay\tdisplay\tSSIMG.AVI\tpanel",
                         "1000\tMPlay\trect\tSSIMG.AVI\t0,0,161,121",
                         "1000\tMPlay\tplay\tSSIMG.AVI\t0",
                         "2500\tSndPlay\tnotice\tSSSND.MID\tsuccessful",
                         "2500\tSndPlay\tclose\tSSSND.MID\t",
                         "3000\tMPlay\tnotice\tSSIMG.AVI\tsuccessful",
                         "3000\tMPlay\tdisplay\tSSIMG.AVI\t0",
                         "3000\tMPlay\tclose\tSSIMG.AVI\t",
                     }));

    // Mid-movie: its 161 x 121 panel centred, at 320 / 2 - 161 / 2 = 80 and 240 / 2 - 121 / 2 = 60.
    const gfx::TBitmap32 shot = gfx::io::ReadPng(Dir().File("out/screen-0001500.png"));
    EXPECT_EQ(shot.Pixel(80, 60), 0xFF808080u);
    EXPECT_EQ(shot.Pixel(240, 180), 0xFF808080u);
    EXPECT_NE(shot.Pixel(79, 60), 0xFF808080u);
    EXPECT_NE(shot.Pixel(241, 180), 0xFF808080u);
    EXPECT_NE(shot.Pixel(80, 181), 0xFF808080u);
}

// A saver whose package cannot be read is no run of zero screenshots: the tool says what the
// program said and fails.
TEST_F(SsrenderRun, AnUnreadablePackageFailsWithTheProgramsMessage) {
    Put("bare.scr", testing_support::FakeRuntime());
    const std::string command = std::string("'") + SSRENDER_EXE + "' run '" + Path("bare.scr") +
                                "' --seconds 2 --out '" + Dir().File("out") + "' >'" + Path("out.txt") + "' 2>'" +
                                Path("err.txt") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream err(Path("err.txt"));
    const std::string text{std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "ssrender: The screen saver can not run because of one of the following reasons:\n\n"
                    "* The file is corrupted\n* Your computer is out of resources\n* Windows error\n");
    std::ifstream out(Path("out.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(out), std::istreambuf_iterator<char>()), "");
}

}  // namespace
