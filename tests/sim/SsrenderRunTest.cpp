// ssrender run: a built saver with music and a movie, as screenshots and a log of what sounded when;
// a Flash movie in its panel.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "gfx/io/ImageFiles.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/Savers.h"
#include "tools/ssrender/RunSaver.h"

namespace {

using testing_support::Json;

class SsrenderRun : public testing_support::SaverTest {
protected:
    // A run of the saver on a 320 x 240 screen, with screenshots every so often into "out".
    ssrender::RunOptions Options(const std::string& saver, std::int32_t seconds, std::int32_t everyMs) {
        ssrender::RunOptions options;
        options.saver = saver;
        options.screen = {320, 240};
        options.seconds = seconds;
        options.everyMs = everyMs;
        options.outDir = Dir().File("out");
        return options;
    }
};

TEST_F(SsrenderRun, TheScreenshotsShowTheMoviesPanelAndTheLogSaysWhatSoundedWhen) {
    Put("a.bmp", testing_support::SolidBmp(40, 30, 200, 100, 50));
    Put("movie.avi", testing_support::MovieAvi(160, 120, 20, true));
    Put("music.mid", testing_support::Pattern(100, 1));  // a kind whose length is given
    const std::string saver = Build({{"header", {{"Seconds", 1}, {"Stretch", 2}, {"ExitESC", true}}},
                                     {"strings", {{"SaverName", "Run"}, {"Effect", {115}}}},
                                     {"items", {{{"file", "a.bmp"}}, {{"file", "movie.avi"}}}},
                                     {"music", {{{"file", "music.mid"}}}}});
    ssrender::RunOptions options = Options(saver, 3, 1500);
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

TEST_F(SsrenderRun, AFlashMovieShowsItsBackgroundInItsPanel) {
    Put("movie.swf", testing_support::FlashMovie({100, 80, 10 * 256, 20, 0x20C040, true}));
    const std::string saver = Build({{"header", {{"Seconds", 5}, {"Stretch", 2}, {"ExitESC", true}}},
                                     {"strings", {{"SaverName", "Run"}}},
                                     {"items", {{{"file", "movie.swf"}}}}});
    ssrender::RunSaverFile(Options(saver, 3, 1000));

    // Its 101 x 81 panel centred at 160 - 50 = 110 and 120 - 40 = 80 while it plays (2 s); then the
    // lone movie is loaded again.
    const gfx::TBitmap32 playing = gfx::io::ReadPng(Dir().File("out/screen-0001000.png"));
    EXPECT_EQ(playing.Pixel(110, 80), 0xFF20C040u);
    EXPECT_EQ(playing.Pixel(210, 160), 0xFF20C040u);
    EXPECT_NE(playing.Pixel(109, 80), 0xFF20C040u);
    EXPECT_NE(playing.Pixel(211, 160), 0xFF20C040u);
    EXPECT_EQ(gfx::io::ReadPng(Dir().File("out/screen-0003000.png")).Pixel(110, 80), 0xFF20C040u);
}

}  // namespace
