// The next still prepared on a thread of its own while the current item shows: what reaches each
// monitor, and the trace, are exactly what loading it at its tick gives.

#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/SimSurface.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Json;

// Colour bands that show any shift or scaling in the layout.
gfx::TBitmap32 Bands(int w, int h, gfx::Color32 a, gfx::Color32 b) {
    gfx::TBitmap32 picture(w, h, a);
    for (int x = 0; x < w; x += 16) {
        picture.FillRect({x, 0, std::min(x + 8, w), h}, b);
    }
    picture.FillRect({0, h / 3, w, h / 3 + 5}, 0xFFFFFFFF);
    return picture;
}

class PreparedItems : public testing_support::SaverRunTest {
protected:
    PreparedItems() { Machine().monitors = {{0, 0, 320, 240}, {320, 0, 500, 320}}; }

    // Photos with a caption, a mask, a filter and each size mode that lays out without a random
    // draw, an animated GIF, a picture placed at random and a broken one, on a gradient with a logo.
    std::string Saver() {
        Put("a.jpg", testing_support::EncodeJpeg(Bands(400, 300, 0xFFC03020, 0xFF2040C0)));
        Put("b.png", testing_support::EncodePng(Bands(120, 90, 0xFF20A040, 0xFFE0C020)));
        gfx::TBitmap32 oval(120, 90, 0x00000000);
        oval.FillRect({20, 15, 100, 75}, 0xFFFFFFFF);
        Put("oval.png", testing_support::EncodePng(oval));
        Put("c.gif", testing_support::EncodeGif(testing_support::SolidFramesGif(60, 40, {0xFFF0F000, 0xFF00F0F0}, 10)));
        Put("d.jpg", testing_support::EncodeJpeg(Bands(500, 200, 0xFF806040, 0xFF40A0C0)));
        Put("e.png", testing_support::EncodePng(Bands(90, 60, 0xFFA030A0, 0xFF30A0A0)));
        testing_support::Bytes broken = testing_support::EncodeJpeg(Bands(300, 200, 0xFF000000, 0xFFFFFFFF));
        broken.resize(broken.size() / 3);
        Put("f.jpg", broken);
        Put("g.png", testing_support::EncodePng(Bands(640, 200, 0xFF102030, 0xFFF0E0D0)));
        Put("logo.png", testing_support::EncodePng(gfx::TBitmap32(24, 12, 0xFFFFFFFF)));
        return Build({{"header",
                       {{"Seconds", 1}, {"Stretch", "fit"}, {"EffectSpeed", 10}, {"BackgroundColor", "#1d3557"},
                        {"BackgroundColor2", "#457b9d"}, {"GradientStyle", "ellipses"}, {"LogoPosition", "top-right"},
                        {"LogoOffsetX", 5}, {"LogoOffsetY", 5}, {"ExitESC", true}}},
                      {"strings", {{"SaverName", "Prepared"}, {"Effect", {115, 5, 71}}}},
                      {"masks", {{{"file", "oval.png"}}}},
                      {"items",
                       {{{"file", "a.jpg"}, {"caption", {{"text", "Bands"}, {"position", "bottom"}}}},
                        {{"file", "b.png"}, {"sizeMode", "natural"}, {"mask", 0}},
                        {{"file", "c.gif"}, {"sizeMode", "natural"}},
                        {{"file", "d.jpg"}, {"sizeMode", "shrink"}, {"filters", {"grey"}},
                         {"caption", {{"text", "Grey"}, {"position", "top-left"}}}},
                        {{"file", "e.png"}, {"sizeMode", "natural-random"}},
                        {{"file", "f.jpg"}},
                        {{"file", "g.png"}, {"sizeMode", "stretch"}}}},
                      {"logo", {{"file", "logo.png"}}}});
    }

    struct Result {
        std::vector<gfx::TBitmap32> main;
        std::vector<gfx::TBitmap32> second;
        std::vector<std::string> trace;
        int prepared = 0;
    };

    // Every monitor's picture as each transition ends, over two rounds of the items.
    Result RunOnce(const std::string& saver, bool preparing) {
        Result result;
        host::TSSWindow* window = nullptr;
        core::SetTraceSink([&](std::string_view text) {
            result.trace.emplace_back(text);
            if (text == "Restart Timer" && window != nullptr) {
                result.main.push_back(sim::AsSim(window->Image32()).Canvas());
                result.second.push_back(sim::AsSim(*window->SecondImage()).Canvas());
            }
        });
        Run(saver, {"/s"}, 15500, [&](host::TSSWindow& w) {
            window = &w;
            w.Loader()->Preparing = preparing;
            sim::At(15400, [&] { result.prepared = w.Loader()->PreparedShown; });
        });
        return result;
    }
};

TEST_F(PreparedItems, EachMonitorShowsWhatTheTickWouldHaveMadeAndTheTraceIsTheSame) {
    const std::string saver = Saver();
    Machine().seed = 7;
    const Result ahead = RunOnce(saver, true);
    sim::Reset();
    Machine().tempPath = Temp();
    Machine().monitors = {{0, 0, 320, 240}, {320, 0, 500, 320}};
    Machine().seed = 7;
    const Result atTick = RunOnce(saver, false);

    EXPECT_EQ(atTick.prepared, 0);
    // a, b, d and g each time after the first item come ready, seven in the run; the GIF, the
    // picture placed at random and the broken one are loaded at their ticks.
    EXPECT_EQ(ahead.prepared, 7);
    EXPECT_EQ(ahead.trace, atTick.trace);
    ASSERT_EQ(ahead.main.size(), atTick.main.size());
    ASSERT_GE(ahead.main.size(), 10u);
    for (std::size_t i = 0; i < ahead.main.size(); ++i) {
        EXPECT_EQ(ahead.main[i], atTick.main[i]) << "main monitor after transition " << i + 1;
        EXPECT_EQ(ahead.second[i], atTick.second[i]) << "second monitor after transition " << i + 1;
    }
    EXPECT_TRUE(Machine().freedSurfaceUses.empty());
}

}  // namespace
