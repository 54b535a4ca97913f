// ssrender: frames and contact sheets of transitions run through the engine on the simulated machine.

#include <gtest/gtest.h>

#include "gfx/io/ImageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/unit/TransitionPictures.h"
#include "tools/ssrender/Render.h"

namespace {

using testing_support::SamePicture;

TEST(Ssrender, WritesTheOldPictureEveryFrameAndTheNewPicture) {
    testing_support::TempDir dir;
    const gfx::TBitmap32 from = testing_support::OldPicture(16, 16);
    const gfx::TBitmap32 to = testing_support::NewPicture(16, 16);
    gfx::io::WritePng(dir.File("a.png"), from);
    gfx::io::WritePng(dir.File("b.png"), to);
    ssrender::EffectOptions o;
    o.effect = 5;  // "Slide From Left"
    o.from = dir.File("a.png");
    o.to = dir.File("b.png");
    o.frames = 4;
    o.outDir = dir.File("frames");
    // The old picture, four frames and the final frame.
    EXPECT_EQ(ssrender::RenderEffect(o), 6);
    EXPECT_EQ(testing_support::ListFiles(o.outDir),
              (std::vector<std::string>{"frame-0001.png", "frame-0002.png", "frame-0003.png", "frame-0004.png",
                                        "frame-0005.png", "frame-0006.png"}));
    EXPECT_TRUE(SamePicture(gfx::io::ReadPng(dir.File("frames/frame-0001.png")), from));
    gfx::TBitmap32 halfway = from;
    halfway.CopyRect({0, 0}, to, {8, 0, 16, 16});
    EXPECT_TRUE(SamePicture(gfx::io::ReadPng(dir.File("frames/frame-0003.png")), halfway));
    EXPECT_TRUE(SamePicture(gfx::io::ReadPng(dir.File("frames/frame-0006.png")), to));

    o.outDir.clear();
    o.gifFile = dir.File("t.gif");
    EXPECT_EQ(ssrender::RenderEffect(o), 6);
    EXPECT_TRUE(SamePicture(gfx::io::ReadGif(o.gifFile), from));  // 256 colours: exact

    // Without pictures it uses the built-in ones.
    o.from.clear();
    o.to.clear();
    o.size = gfx::IntSize{24, 18};
    o.gifFile.clear();
    o.outDir = dir.File("sample");
    EXPECT_EQ(ssrender::RenderEffect(o), 6);
    EXPECT_TRUE(SamePicture(gfx::io::ReadPng(dir.File("sample/frame-0006.png")), ssrender::SamplePicture(1, {24, 18})));
}

TEST(Ssrender, TheSheetShowsEachEffectAtTheFractionOfItsFrames) {
    testing_support::TempDir dir;
    ssrender::SheetOptions o;
    o.out = dir.File("sheet.png");
    o.size = {40, 30};
    o.frames = 4;
    o.effects = {1, 23, 64};
    o.columns = 2;
    o.at = 1.0;
    ssrender::RenderSheet(o);
    const gfx::TBitmap32 sheet = gfx::io::ReadPng(o.out);
    // Two columns and two rows of cells: the picture with a margin of 6 and two label lines of 10.
    EXPECT_EQ(sheet.Width(), 2 * 52);
    EXPECT_EQ(sheet.Height(), 2 * 62);
    // At the end of its frames "Slide From Up Left" has the new picture in place.
    gfx::TBitmap32 first(40, 30);
    first.CopyRect({0, 0}, sheet, {6, 6, 46, 36});
    EXPECT_TRUE(SamePicture(first, ssrender::SamplePicture(1, {40, 30})));

    o.at = 0;
    ssrender::RenderSheet(o);
    first.CopyRect({0, 0}, gfx::io::ReadPng(o.out), {6, 6, 46, 36});
    EXPECT_TRUE(SamePicture(first, ssrender::SamplePicture(0, {40, 30})));
}

TEST(Ssrender, FramesAreOpaqueAsTheScreenShowsThem) {
    // "Fade To Black" composes over transparent black; the screen, and so every frame, has no
    // transparency.
    ssrender::Transition t{ssrender::SamplePicture(0, {24, 16}), ssrender::SamplePicture(1, {24, 16}), 116, 8, 10};
    int frames = 0;
    bool opaque = true;
    ssrender::RunTransition(t, [&](const gfx::TBitmap32& canvas, std::uint64_t) {
        ++frames;
        for (std::int32_t y = 0; y < canvas.Height(); ++y) {
            for (std::int32_t x = 0; x < canvas.Width(); ++x) {
                opaque = opaque && gfx::AlphaOf(canvas.Pixel(x, y)) == 255;
            }
        }
    });
    EXPECT_EQ(frames, 4);  // the old picture, blends at v = 95 and 190, the final frame
    EXPECT_TRUE(opaque);
}

TEST(Ssrender, ReadsSizesAndEffectLists) {
    EXPECT_EQ(ssrender::ParseSize("800x600"), (gfx::IntSize{800, 600}));
    EXPECT_FALSE(ssrender::ParseSize("800"));
    EXPECT_FALSE(ssrender::ParseSize("0x600"));
    EXPECT_FALSE(ssrender::ParseSize("800x600px"));
    EXPECT_EQ(ssrender::ParseEffects("1-3,64"), (std::vector<std::int32_t>{1, 2, 3, 64}));
    EXPECT_FALSE(ssrender::ParseEffects("0-3"));
    EXPECT_FALSE(ssrender::ParseEffects("5-2"));
    EXPECT_FALSE(ssrender::ParseEffects("121"));
}

}  // namespace
