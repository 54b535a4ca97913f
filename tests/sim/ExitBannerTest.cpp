// The exit banner on the simulated machine: shown once when the saver ends, centred at its picture's
// size over the white shape, with its close glyph; what its clicks open and that it ends the run.

#include <gtest/gtest.h>

#include "common/Flags.h"
#include "platform/sim/SimControls.h"
#include "platform/sim/SimSurface.h"
#include "platform/sim/SimWindow.h"
#include "tests/sim/SaverRun.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"

namespace {

using testing_support::Json;
using testing_support::SaverRunTest;
using Kind = plat::ControlEvent::Kind;

constexpr gfx::Color32 kPicture = 0xFF3366CCu;

// 400 x 300, opaque but for a transparent frame of 10 pixels.
gfx::TBitmap32 Banner() {
    gfx::TBitmap32 banner(400, 300, 0);
    banner.FillRect({10, 10, 390, 290}, kPicture);
    return banner;
}

class ExitBanner : public SaverRunTest {
protected:
    std::string Saver(const Json& strings = Json::object(), const Json& effects = Json::array(),
                      bool banner = true) {
        Put("a.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF808080u)));
        Put("b.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF404040u)));
        Json s = {{"SaverName", "Banner"}, {"Effect", effects}};
        s.update(strings);
        Json manifest = {{"header", {{"ExitESC", true}, {"Seconds", 1}, {"EffectSpeed", 1}}},
                         {"strings", s},
                         {"items", {{{"file", "a.png"}}, {{"file", "b.png"}}}}};
        if (banner) {
            manifest["exitBanner"] = {{"file", "banner.png"}};
        }
        return Build(manifest);
    }

    static plat::WindowHandle ShownBanner() {
        for (const sim::WindowRecord& r : sim::Windows()) {
            if (r.caption == "Exit Banner" && r.visible) {
                return r.handle;
            }
        }
        return 0;
    }

    // The canvas of the banner's picture control: the surface of its size.
    static const gfx::TBitmap32* BannerCanvas(gfx::IntSize size) {
        for (sim::SimSurface* s : sim::Surfaces()) {
            if (s->Canvas().Width() == size.width && s->Canvas().Height() == size.height) {
                return &s->Canvas();
            }
        }
        return nullptr;
    }

    // From `from` on, every 100 ms: a click on the control of the banner when it shows.
    void ClickWhenShown(std::uint64_t from, const std::string& control) {
        for (std::uint64_t t = from; t < from + 5000; t += 100) {
            sim::At(t, [this, control] {
                if (const plat::WindowHandle banner = ShownBanner()) {
                    ++shows;
                    sim::Act(banner, {Kind::Click, control, 0});
                }
            });
        }
    }

    int shows = 0;
};

TEST_F(ExitBanner, ItShowsCentredAtThePicturesSizeOverTheShapeAndAClickEndsTheProgram) {
    Put("banner.png", testing_support::EncodePng(Banner()));
    Key(1000, plat::VK_ESCAPE);
    bool checked = false;
    sim::At(1500, [&] {
        const plat::WindowHandle banner = ShownBanner();
        ASSERT_NE(banner, 0u);
        const sim::WindowRecord* r = sim::FindWindow(banner);
        EXPECT_EQ(r->bounds, gfx::IntRect::FromSize(312, 234, 400, 300)) << "(1024 - 400) div 2, (768 - 300) div 2";
        EXPECT_EQ(r->border, plat::BorderStyle::None);
        for (const sim::WindowRecord& w : sim::Windows()) {
            EXPECT_FALSE(w.caption == "Banner" && w.visible) << "the main window has gone";
        }
        EXPECT_FALSE(sim::ShownControl(banner, "imgBanner")->handPointer) << "no link";
        const auto close = sim::ShownControl(banner, "imgClose");
        EXPECT_EQ(close->hint, "Close");
        EXPECT_TRUE(close->handPointer);
        EXPECT_EQ(sim::ShownBounds(banner, "imgClose"), gfx::IntRect::FromSize(400 - 9 - 21, 8, 21, 21));
        const gfx::TBitmap32* canvas = BannerCanvas({400, 300});
        ASSERT_NE(canvas, nullptr);
        EXPECT_EQ(canvas->Pixel(0, 0), gfx::kOpaqueBlack) << "the shape's outline";
        EXPECT_EQ(canvas->Pixel(200, 299), gfx::kOpaqueBlack);
        EXPECT_EQ(canvas->Pixel(5, 150), 0xFFFFFFFFu) << "the white shape through the transparent frame";
        EXPECT_EQ(canvas->Pixel(200, 150), kPicture);
        EXPECT_EQ(canvas->Pixel(370, 8), 0xFF808080u) << "the close glyph's frame";
        EXPECT_EQ(canvas->Pixel(369, 8), 0xFFFFFFFFu);
        checked = true;
    });
    ClickWhenShown(1600, "imgBanner");
    EXPECT_EQ(Run(Saver(), {"/s"}, 10000), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(shows, 1);
    EXPECT_LE(sim::Now(), 1601u) << "the program ends with the banner";
    EXPECT_TRUE(Machine().shellOpens.empty());
    EXPECT_TRUE(plat::FileExists(Temp() + "SSEB.PNG")) << "left for the next run to overwrite";
}

TEST_F(ExitBanner, APictureClickOpensTheLinkAndTheCloseGlyphOpensNothing) {
    Put("banner.png", testing_support::EncodePng(Banner()));
    const std::string saver = Saver({{"ExitBannerLink", "http://banner.invalid/"}});
    bool hand = false;
    Key(1000, plat::VK_ESCAPE);
    sim::At(1500, [&] { hand = sim::ShownControl(ShownBanner(), "imgBanner")->handPointer; });
    ClickWhenShown(1600, "imgBanner");
    EXPECT_EQ(Run(saver, {"/s"}, 10000), 0);
    EXPECT_TRUE(hand);
    ASSERT_EQ(Machine().shellOpens.size(), 1u);
    EXPECT_EQ(Machine().shellOpens[0].target, "http://banner.invalid/");
    EXPECT_EQ(Machine().shellOpens[0].showCommand, plat::SW_SHOWNORMAL);

    sim::Reset();
    Machine().tempPath = Temp();
    shows = 0;
    Key(1000, plat::VK_ESCAPE);
    ClickWhenShown(1600, "imgClose");
    EXPECT_EQ(Run(saver, {"/s"}, 10000), 0);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(Machine().shellOpens.empty());
}

TEST_F(ExitBanner, NothingShowsWithoutABannerOrWithOneThatIsNoPicture) {
    Put("banner.png", testing_support::Pattern(500, 7));
    for (const bool banner : {false, true}) {
        sim::Reset();
        Machine().tempPath = Temp();
        trace.clear();
        shows = 0;
        Key(1000, plat::VK_ESCAPE);
        ClickWhenShown(1001, "imgBanner");
        EXPECT_EQ(Run(Saver(Json::object(), Json::array(), banner), {"/s"}, 10000), 0) << banner;
        EXPECT_LE(sim::Now(), 1001u) << banner;
        EXPECT_EQ(shows, 0) << banner;
        EXPECT_EQ(Traced("Displaying exit banner"), banner);
        EXPECT_TRUE(Machine().messageBoxes.empty()) << banner;
    }
}

TEST_F(ExitBanner, AnEndDuringATransitionShowsItOnce) {
    Put("banner.png", testing_support::EncodePng(Banner()));
    Key(1100, plat::VK_ESCAPE);  // the first tick at 1000 started a slow crossfade
    ClickWhenShown(1100, "imgBanner");
    EXPECT_EQ(Run(Saver(Json::object(), {115}), {"/s"}, 10000), 0);
    EXPECT_TRUE(Traced("Effect 115"));
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(Count("Displaying exit banner"), 1);
    EXPECT_EQ(Count("Form CLose"), 1);
}

TEST_F(ExitBanner, ARejectedPasswordDuringATransitionLeavesTheSaverAsItWasWithoutTheBanner) {
    Put("banner.png", testing_support::EncodePng(Banner()));
    Put("song.wav", testing_support::SilentWav(60000));
    Machine().registry.SetString("Control Panel\\Desktop", "ScreenSaveUsePassword", "1");
    Machine().libraries[Machine().systemFolder + "/PASSWORD.CPL"] = {false, true, false, false};
    Key(1100, plat::VK_ESCAPE);  // the first tick at 1000 started a slow crossfade
    ClickWhenShown(1100, "imgBanner");
    Json manifest = {{"header", {{"ExitESC", true}, {"Seconds", 1}, {"EffectSpeed", 1}}},
                     {"strings", {{"SaverName", "Banner"}, {"Effect", {115}}}},
                     {"items", {{{"file", "a.png"}}, {{"file", "b.png"}}}},
                     {"music", {{{"file", "song.wav"}}}},
                     {"exitBanner", {{"file", "banner.png"}}}};
    Put("a.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF808080u)));
    Put("b.png", testing_support::EncodePng(gfx::TBitmap32(64, 48, 0xFF404040u)));
    bool busyAtEsc = false;
    gfx::Color32 afterRejection = 0;
    EXPECT_EQ(Run(Build(manifest), {"/s"}, 9000, [&](host::TSSWindow& w) {
                  sim::At(1100, [&] { busyAtEsc = core::Flags().TransBusy; });
                  // The password is asked within a frame of the key; then the item shows whole.
                  sim::At(1200, [&] { afterRejection = sim::AsSim(w.Image32()).Canvas().Pixel(512, 384); });
              }),
              -1)
        << "still running";
    EXPECT_TRUE(busyAtEsc);
    EXPECT_EQ(Count("Password rejected"), 1) << "the later ticks do not ask again";
    EXPECT_EQ(Machine().libraryCalls.size(), 1u);
    EXPECT_EQ(shows, 0);
    EXPECT_FALSE(Traced("Displaying exit banner"));
    EXPECT_FALSE(Traced("Form CLose"));
    EXPECT_FALSE(core::Flags().TransAbort);
    EXPECT_GE(Count("Effect 115"), 3) << "the slideshow goes on";
    EXPECT_TRUE(Events("SndPlay", "close").empty()) << "the music played on";
    EXPECT_EQ(afterRejection, 0xFF404040u);
}

// A plain close message, as Alt+F4 makes it, while an animated GIF plays: the GIF stops before the
// banner's loop runs, and nothing draws on the slideshow's surface meanwhile.
TEST_F(ExitBanner, AClosedWindowStopsTheGifBeforeTheBanner) {
    Put("banner.png", testing_support::EncodePng(Banner()));
    Put("a.gif", testing_support::EncodeGif(testing_support::SolidFramesGif(8, 6, {0xFFFF0000u, 0xFF00FF00u}, 5)));
    const std::string saver = Build({{"header", {{"ExitESC", true}, {"Seconds", 60}}},
                                     {"strings", {{"SaverName", "Banner"}}},
                                     {"items", {{{"file", "a.gif"}}}},
                                     {"exitBanner", {{"file", "banner.png"}}}});
    bool gifRunningAtBanner = true;
    int draws = 0;
    int drawsDuringBanner = -1;
    ClickWhenShown(2600, "imgBanner");
    Run(saver, {"/s"}, 10000, [&](host::TSSWindow& w) {
        sim::AsSim(w.Image32()).SetOnCanvasChange([&draws](const gfx::IntRect&) { ++draws; });
        sim::At(1000, [&w] { sim::PostMessage({w.Window().Handle(), plat::WM_CLOSE, 0, 0}); });
        sim::At(1500, [&, &w = w] {
            if (ShownBanner() != 0) {
                gifRunningAtBanner = w.Gif().GifTimer().Enabled();
                draws = 0;
            }
        });
        sim::At(2500, [&] { drawsDuringBanner = draws; });
    });
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(gifRunningAtBanner);
    EXPECT_EQ(drawsDuringBanner, 0);
}

}  // namespace
