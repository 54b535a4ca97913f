// The maker's pictures on the simulated machine: the thumbnails of its lists, made with the
// runtime's own decoders from real picture files, the pictures fitted for the effect preview, and
// the preview playing between those pictures rather than the samples.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <libheif/heif.h>

#include "common/Flags.h"
#include "platform/Controls.h"
#include "platform/MessageLoop.h"
#include "platform/Surface.h"
#include "platform/Window.h"
#include "platform/sim/SimControls.h"
#include "platform/sim/SimSurface.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/SimFixture.h"
#include "tools/ssmaker/Thumbnail.h"
#include "transitions/EffectPreview.h"
#include "transitions/SamplePictures.h"

namespace {

using gfx::Color32;
using gfx::TBitmap32;
using testing_support::Bytes;

constexpr Color32 kRed = 0xFFE02010;
constexpr Color32 kBlue = 0xFF1030D0;
constexpr Color32 kBlack = 0xFF000000;

std::string Hex(Color32 c) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(c));
    return text;
}

// Each channel within `tolerance` of the expected one (lossy files, averaged pixels).
::testing::AssertionResult Near(Color32 actual, Color32 expected, int tolerance = 12) {
    for (const int shift : {24, 16, 8, 0}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            return ::testing::AssertionFailure() << Hex(actual) << " is not near " << Hex(expected);
        }
    }
    return ::testing::AssertionSuccess();
}

gfx::IntSize SizeOf(const TBitmap32& b) { return {b.Width(), b.Height()}; }

// The left part of the picture in one colour, the rest in another.
TBitmap32 Halves(int width, int height, Color32 left, Color32 right) {
    TBitmap32 b(width, height, right);
    b.FillRect({0, 0, width / 2, height}, left);
    return b;
}

class MakerPictures : public testing_support::SimTest {
protected:
    std::string Put(const std::string& name, const Bytes& bytes) {
        const std::string path = Dir().File(name);
        testing_support::WriteBytes(path, bytes);
        return path;
    }
};

// ---- Thumbnails ----

using MakerThumbnails = MakerPictures;

TEST_F(MakerThumbnails, AJpegIsTurnedUprightByItsExifOrientationWithItsProportions) {
    // Stored 80 x 40, red on the left: a quarter turn clockwise puts the red at the top.
    const Bytes jpeg = testing_support::EncodeJpeg(Halves(80, 40, kRed, kBlue));
    const auto thumbnail = maker::MakeThumbnail(Put("turned.jpg", testing_support::WithExifOrientation(jpeg, 6)), 64);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(SizeOf(*thumbnail), (gfx::IntSize{32, 64}));
    EXPECT_TRUE(Near(thumbnail->Pixel(16, 8), kRed));
    EXPECT_TRUE(Near(thumbnail->Pixel(16, 56), kBlue));

    const auto upright = maker::MakeThumbnail(Put("upright.jpg", jpeg), 64);
    ASSERT_NE(upright, nullptr);
    EXPECT_EQ(SizeOf(*upright), (gfx::IntSize{64, 32}));
    EXPECT_TRUE(Near(upright->Pixel(8, 16), kRed));
}

TEST_F(MakerThumbnails, ALargePictureIsReducedToTheSideAndASmallOneKeepsItsSize) {
    // A phone-sized photograph.
    const auto photo = maker::MakeThumbnail(Put("photo.jpg", testing_support::EncodeFlatGreyJpeg(4000, 3000, 90)), 96);
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(SizeOf(*photo), (gfx::IntSize{96, 72}));
    EXPECT_TRUE(Near(photo->Pixel(48, 36), 0xFF5A5A5A, 3));

    // A white line every fourth column averages to a dark grey: each thumbnail pixel is the area
    // it covers, not a sample of it.
    TBitmap32 lines(200, 100, kBlack);
    for (int x = 0; x < 200; x += 4) {
        lines.FillRect({x, 0, x + 1, 100}, 0xFFFFFFFF);
    }
    const auto lined = maker::MakeThumbnail(Put("lines.png", testing_support::EncodePng(lines)), 50);
    ASSERT_NE(lined, nullptr);
    EXPECT_EQ(SizeOf(*lined), (gfx::IntSize{50, 25}));
    for (const int x : {0, 13, 25, 49}) {
        EXPECT_TRUE(Near(lined->Pixel(x, 12), 0xFF404040, 2)) << x;
    }

    const TBitmap32 small = Halves(20, 10, kRed, kBlue);
    const auto kept = maker::MakeThumbnail(Put("small.png", testing_support::EncodePng(small)), 96);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, small) << "never enlarged, and pixel for pixel";
}

TEST_F(MakerThumbnails, APngWithAlphaShowsOpaqueAsTheScreenSaverShowsIt) {
    // The right half is fully transparent but stores green: the slideshow shows stills opaque.
    const TBitmap32 picture = Halves(200, 100, kRed, 0x0000C000);
    for (const int side : {400, 64}) {
        SCOPED_TRACE(side);
        const auto thumbnail = maker::MakeThumbnail(Put("alpha.png", testing_support::EncodePng(picture)), side);
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_EQ(thumbnail->Width(), std::min(side, 200));
        const int w = thumbnail->Width();
        const int h = thumbnail->Height();
        EXPECT_TRUE(Near(thumbnail->Pixel(w / 4, h / 2), kRed, 1));
        EXPECT_TRUE(Near(thumbnail->Pixel(w * 3 / 4, h / 2), 0xFF00C000, 1));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(thumbnail->Pixel(x, y) >> 24, 0xFFu) << x << "," << y;
            }
        }
    }
}

TEST_F(MakerThumbnails, FilesThatCannotBeShownGiveNone) {
    const Bytes png = testing_support::EncodePng(Halves(40, 40, kRed, kBlue));
    EXPECT_EQ(maker::MakeThumbnail(Put("noise.jpg", testing_support::Bytes(500, 0x5A)), 64), nullptr);
    EXPECT_EQ(maker::MakeThumbnail(Put("noise.heic", testing_support::Bytes(500, 0x5A)), 64), nullptr);
    EXPECT_EQ(maker::MakeThumbnail(Put("cut.png", Bytes(png.begin(), png.begin() + 40)), 64), nullptr);
    EXPECT_EQ(maker::MakeThumbnail(Put("empty.gif", {}), 64), nullptr);
    EXPECT_EQ(maker::MakeThumbnail(Put("notes.txt", png), 64), nullptr) << "not a picture format";
    EXPECT_EQ(maker::MakeThumbnail(Dir().File("missing.png"), 64), nullptr);
    EXPECT_EQ(maker::MakeThumbnail(Put("fine.png", png), 0), nullptr);
    EXPECT_NE(maker::MakeThumbnail(Put("fine.png", png), 64), nullptr);
}

TEST_F(MakerThumbnails, VideosAndFlashMoviesGetADrawnSignOnAGreySquare) {
    // Their contents are never read: a video the maker cannot decode still gets its sign.
    const auto video = maker::MakeThumbnail(Put("clip.MP4", Bytes(100, 1)), 48);
    const auto avi = maker::MakeThumbnail(Dir().File("absent.avi"), 48);
    const auto flash = maker::MakeThumbnail(Put("movie.swf", Bytes(100, 1)), 48);
    ASSERT_NE(video, nullptr);
    ASSERT_NE(avi, nullptr);
    ASSERT_NE(flash, nullptr);
    for (const auto* sign : {video.get(), flash.get()}) {
        EXPECT_EQ(SizeOf(*sign), (gfx::IntSize{48, 48}));
        EXPECT_EQ(sign->Pixel(0, 0), 0xFF808080u);
        EXPECT_EQ(sign->Pixel(47, 47), 0xFF808080u);
        EXPECT_NE(sign->Pixel(24, 24), 0xFF808080u) << "something is drawn in the middle";
    }
    EXPECT_EQ(*avi, *video) << "one sign for every video";
    EXPECT_FALSE(*flash == *video);
}

// ---- A HEIF with a thumbnail of its own ----

struct HeifFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
    void operator()(heif_image* i) const { heif_image_release(i); }
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};

void Check(heif_error error) {
    if (error.code != heif_error_Ok) {
        throw std::runtime_error(error.message);
    }
}

heif_error AppendTo(heif_context*, const void* data, size_t size, void* bytes) {
    const auto* from = static_cast<const std::uint8_t*>(data);
    static_cast<Bytes*>(bytes)->insert(static_cast<Bytes*>(bytes)->end(), from, from + size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

std::unique_ptr<heif_image, HeifFree> SolidImage(int width, int height, Color32 colour) {
    heif_image* raw = nullptr;
    Check(heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &raw));
    std::unique_ptr<heif_image, HeifFree> image(raw);
    Check(heif_image_add_plane(raw, heif_channel_interleaved, width, height, 8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = plane + y * stride + x * 3;
            p[0] = static_cast<std::uint8_t>(colour >> 16);
            p[1] = static_cast<std::uint8_t>(colour >> 8);
            p[2] = static_cast<std::uint8_t>(colour);
        }
    }
    return image;
}

// A red primary picture whose thumbnail (of `thumbnailSide` on its longer side) is blue, so that a
// thumbnail of ours shows which one was decoded.
Bytes HeicWithThumbnail(int width, int height, int thumbnailSide) {
    const std::unique_ptr<heif_context, HeifFree> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    Check(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder));
    const std::unique_ptr<heif_encoder, HeifFree> encoder(rawEncoder);
    Check(heif_encoder_set_lossy_quality(rawEncoder, 90));
    heif_image_handle* rawPrimary = nullptr;
    Check(heif_context_encode_image(context.get(), SolidImage(width, height, kRed).get(), rawEncoder, nullptr,
                                    &rawPrimary));
    const std::unique_ptr<heif_image_handle, HeifFree> primary(rawPrimary);
    // The thumbnail is made from the picture it is given, here another one of the same proportions.
    heif_image_handle* rawThumbnail = nullptr;
    Check(heif_context_encode_thumbnail(context.get(), SolidImage(width, height, kBlue).get(), primary.get(),
                                        rawEncoder, nullptr, thumbnailSide, &rawThumbnail));
    const std::unique_ptr<heif_image_handle, HeifFree> thumbnail(rawThumbnail);
    Bytes file;
    heif_writer writer{1, AppendTo};
    Check(heif_context_write(context.get(), &writer, &file));
    return file;
}

TEST_F(MakerThumbnails, AHeifGivesItsOwnThumbnailWhenThatIsLargeEnough) {
    const std::string path = Put("phone.heic", HeicWithThumbnail(512, 384, 128));
    const auto small = maker::MakeThumbnail(path, 64);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(SizeOf(*small), (gfx::IntSize{64, 48}));
    EXPECT_TRUE(Near(small->Pixel(32, 24), kBlue, 16)) << "from the file's thumbnail";

    const auto large = maker::MakeThumbnail(path, 256);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(SizeOf(*large), (gfx::IntSize{256, 192}));
    EXPECT_TRUE(Near(large->Pixel(128, 96), kRed, 16)) << "the thumbnail is too small: the picture itself";

    // The preview's pictures likewise.
    const TBitmap32 fitted = maker::FittedPicture(path, {120, 120});
    ASSERT_EQ(SizeOf(fitted), (gfx::IntSize{120, 120}));
    EXPECT_TRUE(Near(fitted.Pixel(60, 60), kBlue, 16));
    EXPECT_EQ(fitted.Pixel(60, 10), kBlack);
    EXPECT_TRUE(Near(maker::FittedPicture(path, {200, 150}).Pixel(100, 75), kRed, 16));
}

// ---- Pictures fitted for the preview ----

using MakerFittedPicture = MakerPictures;

// Rows [from, to) of the bitmap are all `colour` (within the tolerance).
::testing::AssertionResult Rows(const TBitmap32& b, int from, int to, Color32 colour, int tolerance = 0) {
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            if (const auto near = Near(b.Pixel(x, y), colour, tolerance); !near) {
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << near.message();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Columns(const TBitmap32& b, int from, int to, Color32 colour, int tolerance = 0) {
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < b.Height(); ++y) {
            if (const auto near = Near(b.Pixel(x, y), colour, tolerance); !near) {
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << near.message();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(MakerFittedPicture, AWidePictureGetsBarsAboveAndBelowATallOneBesideAndBothAreCentred) {
    constexpr Color32 kTeal = 0xFF3080C0;
    // 200 x 100 into 120 x 90: reduced to 120 x 60, 15 rows of black above and below.
    const TBitmap32 wide =
        maker::FittedPicture(Put("wide.png", testing_support::EncodePng(TBitmap32(200, 100, kTeal))), {120, 90});
    ASSERT_EQ(SizeOf(wide), (gfx::IntSize{120, 90}));
    EXPECT_TRUE(Rows(wide, 0, 15, kBlack));
    EXPECT_TRUE(Rows(wide, 15, 75, kTeal, 1));
    EXPECT_TRUE(Rows(wide, 75, 90, kBlack));

    // 50 x 100 into 120 x 90: enlarged to 45 x 90, 37 columns of black on the left and 38 on the right.
    const TBitmap32 tall =
        maker::FittedPicture(Put("tall.png", testing_support::EncodePng(TBitmap32(50, 100, kTeal))), {120, 90});
    ASSERT_EQ(SizeOf(tall), (gfx::IntSize{120, 90}));
    EXPECT_TRUE(Columns(tall, 0, 37, kBlack));
    EXPECT_TRUE(Columns(tall, 37, 82, kTeal, 1));
    EXPECT_TRUE(Columns(tall, 82, 120, kBlack));

    // Turned upright first: stored 80 x 40 with orientation 6 is 40 x 80, so 45 x 90 in 90 x 90.
    const Bytes jpeg = testing_support::EncodeJpeg(Halves(80, 40, kRed, kBlue));
    const TBitmap32 turned =
        maker::FittedPicture(Put("turned.jpg", testing_support::WithExifOrientation(jpeg, 6)), {90, 90});
    ASSERT_EQ(SizeOf(turned), (gfx::IntSize{90, 90}));
    EXPECT_TRUE(Columns(turned, 0, 22, kBlack));
    EXPECT_TRUE(Columns(turned, 67, 90, kBlack));
    EXPECT_TRUE(Near(turned.Pixel(45, 20), kRed));
    EXPECT_TRUE(Near(turned.Pixel(45, 70), kBlue));
}

TEST_F(MakerFittedPicture, ItemsThatAreNotPicturesAndBrokenFilesGiveNothing) {
    EXPECT_TRUE(maker::FittedPicture(Put("clip.avi", Bytes(100, 1)), {120, 90}).Empty());
    EXPECT_TRUE(maker::FittedPicture(Put("movie.swf", Bytes(100, 1)), {120, 90}).Empty());
    EXPECT_TRUE(maker::FittedPicture(Put("noise.png", Bytes(100, 1)), {120, 90}).Empty());
    EXPECT_TRUE(maker::FittedPicture(Dir().File("missing.jpg"), {120, 90}).Empty());
}

// ---- The list's controls on the simulated machine ----

TEST_F(MakerPictures, FilesDropOnlyOnAControlThatAcceptsThemAndTypedTextShowsAtOnce) {
    plat::Control pictures{.name = "lvPictures", .kind = plat::ControlKind::PictureList, .acceptsFiles = true};
    plat::Control music{.name = "lbMusic", .kind = plat::ControlKind::List};
    plat::Control title{.name = "edTitle", .caption = "Old", .kind = plat::ControlKind::Edit};
    std::vector<plat::ControlEvent> heard;
    const auto window = plat::Window::Create({}, {});
    const auto controls = plat::ControlSet::Create(*window, {&pictures, &music, &title},
                                                   [&](const plat::ControlEvent& e) { heard.push_back(e); });
    using Kind = plat::ControlEvent::Kind;
    const std::vector<std::string> files = {"/photos/a.jpg", "/photos/b.heic"};
    sim::Act(window->Handle(), {Kind::Drop, "lbMusic", 0, "", files});
    EXPECT_TRUE(heard.empty()) << "the shell does not drop on a window that does not accept files";
    sim::Act(window->Handle(), {Kind::Drop, "lvPictures", 0, "", files});
    sim::Act(window->Handle(), {Kind::Edited, "edTitle", 0, "New title", {}});
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].kind, Kind::Drop);
    EXPECT_EQ(heard[0].files, files);
    EXPECT_EQ(heard[1].text, "New title");
    EXPECT_EQ(sim::ShownControl(window->Handle(), "edTitle")->caption, "New title");
}

// ---- The effect preview between the show's own pictures ----

constexpr gfx::IntRect kPreviewArea{0, 0, 120, 90};
constexpr int kSlideFromLeft = 4;  // the effect list's line

class MakerPreview : public MakerPictures {
protected:
    MakerPreview() {
        plat::Window::Options options;
        options.bounds = kPreviewArea;
        options.border = plat::BorderStyle::None;
        window_ = plat::Window::Create(options, {});
        surface_ = plat::Surface::Create(*window_, kPreviewArea);
        preview_.Prepare(*surface_);
    }

    const TBitmap32& Canvas() { return sim::AsSim(*surface_).Canvas(); }

    // What the canvas shows: "first" or "second" for a whole picture, "between" for anything else.
    std::string Showing(const TBitmap32& first, const TBitmap32& second) {
        return Canvas() == first ? "first" : Canvas() == second ? "second" : "between";
    }

    void RunUntil(std::uint64_t time) {
        sim::SetRunLimit(time);
        plat::RunMessageLoop();
    }

    // Two of the show's pictures as the maker fits them for the preview.
    void MakePictures() {
        first_ =
            maker::FittedPicture(Put("a.png", testing_support::EncodePng(Halves(160, 90, kRed, kBlue))), {120, 90});
        second_ = maker::FittedPicture(Put("b.jpg", testing_support::EncodeJpeg(Halves(60, 90, 0xFF20C020, kBlack))),
                                       {120, 90});
        ASSERT_FALSE(first_.Empty());
        ASSERT_FALSE(second_.Empty());
    }

    int item_ = kSlideFromLeft;
    trans::TEffectPreview preview_{[this] { return item_; }};
    std::unique_ptr<plat::Window> window_;
    std::unique_ptr<plat::Surface> surface_;
    TBitmap32 first_;
    TBitmap32 second_;
};

TEST_F(MakerPreview, PlaysBetweenTheGivenPicturesAndEndsOnEachInTurn) {
    MakePictures();
    ASSERT_EQ(Canvas(), trans::SamplePicture(2, {120, 90})) << "the samples until the maker gives its own";
    preview_.SetPictures(first_, second_);
    EXPECT_EQ(Showing(first_, second_), "second") << "at once, as Prepare shows it";

    std::vector<std::pair<std::uint64_t, std::string>> seen;
    for (const std::uint64_t t : {150, 250, 700, 950, 1400}) {
        sim::At(t, [&, t] { seen.emplace_back(t, Showing(first_, second_)); });
    }
    sim::At(100, [&] { preview_.lbEffectsClick(); });
    sim::At(750, [&] { preview_.lbEffectsClick(); });
    RunUntil(1500);
    // The tick at 200 starts the first preview, towards the first picture; the one at 800 goes back.
    EXPECT_EQ(seen, (std::vector<std::pair<std::uint64_t, std::string>>{
                        {150, "second"}, {250, "between"}, {700, "first"}, {950, "between"}, {1400, "second"}}));
}

TEST_F(MakerPreview, PicturesGivenDuringAPreviewShowOnceItHasStopped) {
    MakePictures();
    std::string atGiving;
    std::string afterStop;
    sim::At(100, [&] { preview_.lbEffectsClick(); });
    sim::At(300, [&] {
        ASSERT_TRUE(core::Flags().TransBusy);
        preview_.SetPictures(first_, second_);
        atGiving = Showing(first_, second_);
    });
    sim::At(450, [&] { afterStop = Showing(first_, second_); });
    RunUntil(500);
    EXPECT_EQ(atGiving, "between") << "the running preview still owns the canvas";
    EXPECT_EQ(afterStop, "second") << "the tick after the stop shows the new second picture";

    // And the next preview goes from there to the new first picture.
    sim::At(550, [&] { preview_.lbEffectsClick(); });
    RunUntil(1200);
    EXPECT_EQ(Showing(first_, second_), "first");
}

TEST_F(MakerPreview, EmptyPicturesBringTheSamplesBackAndOtherSizesAreStretched) {
    MakePictures();
    preview_.SetPictures(first_, second_);
    preview_.SetPictures({}, {});
    EXPECT_EQ(Canvas(), trans::SamplePicture(2, {120, 90}));

    preview_.SetPictures(TBitmap32(30, 20, kRed), TBitmap32(60, 45, kBlue));
    EXPECT_EQ(Canvas(), TBitmap32(120, 90, kBlue));
}

}  // namespace
