// Writes the generated seed corpora: a few small files of every kind each picture decoder reads,
// made through the libraries' own encoders, Flash movie headers plain and compressed, translation
// tables, and registries for the settings target with the small saver that target runs (built by
// the package builder). Usage: make_fuzz_seeds FOLDER

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/SettingsInput.h"
#include "tests/support/MediaEncoders.h"
#include "tests/support/PictureEncoders.h"
#include "tests/support/Savers.h"
#include "tests/support/WebpEncoder.h"

namespace fs = std::filesystem;
namespace ts = testing_support;

namespace {

void Write(const fs::path& folder, const std::string& name, const ts::Bytes& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& folder, const std::string& name, const std::string& text) {
    Write(folder, name, ts::Bytes(text.begin(), text.end()));
}

gfx::TBitmap32 Pattern(std::int32_t w, std::int32_t h) {
    gfx::TBitmap32 b(w, h);
    for (std::int32_t i = 0; i < w * h; ++i) {
        b.Bits()[i] = static_cast<gfx::Color32>(i * 0x10305070u) | (i % 3 == 0 ? 0u : 0xFF000000u);
    }
    return b;
}

// The picture with every colour inverted: a frame that differs from it everywhere.
gfx::TBitmap32 Inverted(const gfx::TBitmap32& picture) {
    gfx::TBitmap32 b(picture.Width(), picture.Height());
    for (std::int32_t i = 0; i < picture.Width() * picture.Height(); ++i) {
        b.Bits()[i] = picture.Bits()[i] ^ 0x00FFFFFFu;
    }
    return b;
}

// The saver the settings target runs: an introduction, an animated GIF and two stills, a track of
// music, and room for the user's own playlist.
void WriteSettingsSaver(const fs::path& folder, const ts::Bytes& gif) {
    fs::create_directories(folder);
    Write(folder, "intro.png", ts::EncodePng(Pattern(24, 16)));
    Write(folder, "anim.gif", gif);
    Write(folder, "still.png", ts::EncodePng(Pattern(40, 30)));
    Write(folder, "music.wav", ts::SilentWav(1500));
    const ts::Json manifest = {
        {"header",
         {{"Seconds", 1}, {"EffectSpeed", 10}, {"IntroFirstItem", true}, {"AllowCustomPlaylist", true},
          {"DisplayOrder", 2}, {"ExitESC", true}}},
        {"strings", {{"SaverName", "Fuzz Settings"}, {"Effect", {1, 115}}}},
        {"items", {{{"file", "intro.png"}}, {{"file", "anim.gif"}}, {{"file", "still.png"}}, {{"file", "intro.png"}}}},
        {"music", {{{"file", "music.wav"}}}}};
    sspack::BuildPackageFile(sspack::ParseManifest(manifest, folder.string()), ts::FakeRuntime(),
                             (folder / "saver.scr").string());
}

// Registries for the settings target: none, every value with its own type, and every value of
// another type.
void WriteSettingsSeeds(const fs::path& folder) {
    fuzz::SettingsInputWriter none(0);
    WriteText(folder, "none", none.Bytes());

    for (const std::uint8_t mode : {std::uint8_t{0}, fuzz::kConfigMode}) {
        fuzz::SettingsInputWriter typed(mode);
        typed.Integer(2).Integer(3).Integer(2).Integer(1).Integer(1).Integer(0).Integer(1).String("\x01\x05\x73")
            .Integer(7).Integer(0).Integer(0).Integer(0).Integer(0).Integer(1).Integer(1).Integer(0);
        typed.Count(2).String("Z:\\music\\a.wav").String("missing.mp3").Integer(1);
        WriteText(folder, mode == 0 ? "typed" : "typed-panel", typed.Bytes());
    }

    fuzz::SettingsInputWriter wrong(0);
    for (std::size_t i = 0; i < fuzz::kSettingNames.size(); ++i) {
        if (i % 2 == 0) {
            wrong.String("1");
        } else {
            wrong.Other();
        }
    }
    wrong.Count(1).Integer(5).String("1");
    WriteText(folder, "wrong-types", wrong.Bytes());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const fs::path root = argv[1];
    const gfx::TBitmap32 small = Pattern(8, 8);
    const gfx::TBitmap32 blocks = Pattern(16, 16);

    Write(root / "png", "rgba.png", ts::EncodePng(small));
    Write(root / "png", "palette-interlaced.png",
          ts::EncodePng(ts::PngImage{5, 5, 3, 2, true, {{0x1B, 0}, {0xE4, 0}, {0x55, 0}, {0xAA, 0}, {0xFF, 0}},
                                     {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF}}));
    Write(root / "png", "grey16.png", ts::EncodePng(ts::PngImage{2, 2, 0, 16, false, {{1, 2, 3, 4}, {5, 6, 7, 8}}}));
    Write(root / "png", "grey-alpha.png", ts::EncodePng(ts::PngImage{2, 1, 4, 8, false, {{9, 200, 90, 20}}}));

    Write(root / "jpeg", "baseline.jpg", ts::EncodeJpeg(blocks, 80));
    Write(root / "jpeg", "progressive.jpg", ts::EncodeJpeg(blocks, 80, false, true));
    Write(root / "jpeg", "grey.jpg", ts::EncodeJpeg(small, 80, true));
    Write(root / "jpeg", "cmyk.jpg", ts::EncodeCmykJpeg(8, 8, ts::Bytes(256, 0x7F)));

    Write(root / "tiff", "rgb.tif", ts::EncodeTiff(small, ts::TiffKind::Rgb));
    Write(root / "tiff", "lzw.tif", ts::EncodeTiff(small, ts::TiffKind::RgbLzw));
    Write(root / "tiff", "grey.tif", ts::EncodeTiff(small, ts::TiffKind::GreyDeflate));
    Write(root / "tiff", "palette.tif", ts::EncodeTiff(small, ts::TiffKind::Palette));
    Write(root / "tiff", "fax.tif", ts::EncodeTiff(blocks, ts::TiffKind::Fax));

    ts::GifLayout animation{8, 8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, 1, 0};
    animation.frames.push_back({0, 0, 8, 8, ts::Bytes(64, 2)});
    animation.frames.push_back({2, 2, 4, 4, ts::Bytes(16, 1), {0xFF000000, 0xFFFFFFFF}, true, true, 10, 2, 0});
    animation.frames.push_back({1, 1, 3, 3, ts::Bytes(9, 0), {}, false, true, 5, 3, -1});
    const ts::Bytes gif = ts::EncodeGif(animation);
    Write(root / "gif", "animation.gif", gif);
    Write(root / "gif", "still.gif", ts::EncodeGif(ts::GifLayout{4, 4, {0xFF000000, 0xFFFFFFFF}, 0, std::nullopt,
                                                               {{0, 0, 4, 4, ts::Bytes(16, 1)}}}));

    Write(root / "webp", "lossy-alpha.webp", ts::EncodeWebp(small, false, 50));
    Write(root / "webp", "lossless.webp", ts::EncodeWebp(blocks));
    Write(root / "webp", "animation-icc.webp",
          ts::WithIccChunk(ts::EncodeAnimatedWebp({{small, 40}, {Inverted(small), 60}}, 2), ts::Bytes(128, 0)));

    Write(root / "bmp", "rgb.bmp", ts::EncodeBmp(small));

    Write(root / "ico", "bitmaps.ico",
          ts::EncodeIco({{8, 8, 24, ts::IconBitmapImage(small, 24)}, {16, 16, 32, ts::IconBitmapImage(blocks, 32)}}));
    Write(root / "ico", "png.ico", ts::EncodeIco({{8, 8, 32, ts::EncodePng(small)}}));
    Write(root / "flash", "plain.swf", ts::FlashMovie({550, 400, 12 * 256, 3, 0x336699}));
    Write(root / "flash", "compressed.swf", ts::FlashMovie({1, 200, 256, 2, std::nullopt, true}));

    WriteText(root / "translation", "table.txt",
              "Screen Saver\r\nClose=Fermer\r\n&Resize to fit screen *=&Ajuster#13*\r\nOther\r\nClose=Zu\r\n");
    WriteText(root / "translation", "bare.txt", "Close=Schliessen\nHelp=\n=x\n");

    WriteSettingsSaver(root / "settings-saver", gif);
    WriteSettingsSeeds(root / "settings");
    return 0;
}
