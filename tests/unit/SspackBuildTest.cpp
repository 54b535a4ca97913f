// The builder end to end through the reader: every manifest field comes back from the package,
// every piece comes out with its own bytes, the file has the trailer layout without gaps, and a
// bad manifest is refused with the field and the value named.

#include <algorithm>
#include <numeric>

#include "package/ExtractBlob.h"
#include "package/PackageCodec.h"
#include "package/PackageLayout.h"
#include "package/PackageReader.h"
#include "package/Pieces.h"
#include "tests/unit/SspackFixture.h"

namespace {

using namespace sspack_test;
using pkg::PackageString;
using testing_support::ReadBytes;

class SspackBuild : public SspackTest {
protected:
    // Every header setting away from its default, every string, and every table with options. The
    // pieces that are compressed compress well.
    void SetUp() override {
        Put("photo.jpg", Text(3000, 'p'));
        Put("movie.swf", Pattern(700, 2));
        Put("m.bmp", Pattern(64, 3));
        Put("m2.dat", Text(500, 'a'));
        Put("ding.wav", Text(900, 'k'));
        Put("x.snd", Pattern(33, 4));
        Put("song.mp3", Pattern(1200, 5));
        Put("tune.mid", Text(2000, 'A'));
        Put("logo.png", Text(400, '0'));
        Put("bg.jpeg", Pattern(800, 6));
        Put("eb.gif", Text(300, 'q'));
        Put("banner.bin", Pattern(120, 7));
        Put("preview.bmp", Pattern(150, 8));
        Put("flash.ocx", Pattern(260, 9));
        Put("table.txt", Bytes{'[', 'S', ']', '\r', '\n', 'a', '=', 0xE9});
        manifest = Json::parse(R"({
          "header": {
            "Seconds": 17, "DisplayOrder": 2, "BackgroundColor": "#102030", "BackgroundColor2": 11259375,
            "GradientStyle": 7, "BackgroundImageMode": 2, "DesktopBackground": true, "RandomColors": true,
            "RandomGradientStyle": true, "RepaintBackgroundPerItem": true, "Stretch": 3, "Loop": true,
            "Mute": true, "ShuffleMelody": true, "DesktopStart": true, "IntroFirstItem": true,
            "MuteVideo": true, "AllowCustomPlaylist": true, "PlayOneRandom": true, "ExitMouseMove": false,
            "ExitMouseButton": false, "ExitKeyboard": false, "ExitESC": false, "DisableTwoMonitors": true,
            "AllowWallpaperKey": true, "HideGeneralTab": true, "HidePositionTab": true, "HideEffectsTab": true,
            "HideSoundTab": true, "HideBehaviorTab": true, "EffectSpeed": 9, "LogoPosition": 4,
            "LogoOffsetX": -12, "LogoOffsetY": 34, "LogoTransparentColor": "#FF00FF", "AllowRunAsProgram": false
          },
          "strings": {
            "SaverName": "Round Trip", "AboutText": "Über café — 2€", "WebsiteURL": "http://w.example/",
            "HelpKeyLink": "http://help.example/", "ExitLink": "http://exit.example/",
            "BannerLink": "http://banner.example/", "ExitBannerLink": "http://eb.example/",
            "Effect": [1, 2, 10, 120], "TranslationFile": "table.txt",
            "reserved": {"4": "r4", "5": "r5", "6": "r6", "7": "r7", "8": "r8", "9": "r9", "10": "r10",
                         "15": "r15", "16": "r16"}
          },
          "masks": [{"file": "m.bmp"}, {"file": "m2.dat", "kind": 1, "compress": true}],
          "entrySounds": [{"file": "ding.wav", "compress": true}, {"file": "x.snd", "ext": ".SOUND1"}],
          "music": [{"file": "song.mp3"}, {"file": "tune.mid", "compress": true, "ext": ".MID"}],
          "items": [
            {"file": "photo.jpg", "duration": 12, "sizeMode": 4, "mask": 1, "enterSound": 0, "filters": 5,
             "effects": [3, 120], "effectSpeed": 7,
             "caption": {"text": "Hello", "position": 2, "color": "#FF0000", "offsetX": 3, "offsetY": -4,
                         "boxColor": 255, "font": "Arial", "style": 6, "size": 20, "noBox": true,
                         "splitLines": true, "shadow": true}},
            {"file": "photo.jpg", "compress": true, "ext": ".GIF"},
            {"file": "movie.swf", "duration": -2}
          ],
          "logo": {"file": "logo.png"}, "background": {"file": "bg.jpeg", "ext": ".JPG"},
          "exitBanner": {"file": "eb.gif"}, "configBanner": {"file": "banner.bin"},
          "previewImage": {"file": "preview.bmp"}, "flashPlayer": {"file": "flash.ocx"}
        })");
        runtime = Pattern(5000, 42);
        file = Build(manifest, runtime);
        package = pkg::ReadPackage(file);
    }

    Bytes Extract(const std::optional<pkg::Piece>& piece) {
        EXPECT_TRUE(piece.has_value());
        if (!piece) {
            return {};
        }
        const auto path = pkg::ExtractPiece(file, *piece);
        EXPECT_TRUE(path.has_value());
        return path ? ReadBytes(*path) : Bytes{};
    }

    Json manifest;
    Bytes runtime;
    std::string file;
    pkg::Package package;
};

TEST_F(SspackBuild, EveryManifestFieldReadsBack) {
    const pkg::PackageHeader& h = package.header;
    pkg::PackageHeader expected = h;  // the stream lengths are checked by extraction below
    expected.Seconds = 17;
    expected.DisplayOrder = 2;
    expected.BackgroundColor = 0x302010;
    expected.BackgroundColor2 = 11259375;
    expected.GradientStyle = 7;
    expected.BackgroundImageMode = 2;
    expected.DesktopBackground = expected.RandomColors = expected.RandomGradientStyle = true;
    expected.RepaintBackgroundPerItem = true;
    expected.Stretch = 3;
    expected.Loop = expected.Mute = expected.ShuffleMelody = expected.DesktopStart = true;
    expected.IntroFirstItem = expected.MuteVideo = expected.AllowCustomPlaylist = expected.PlayOneRandom = true;
    expected.ExitMouseMove = expected.ExitMouseButton = expected.ExitKeyboard = expected.ExitESC = false;
    expected.DisableTwoMonitors = expected.AllowWallpaperKey = true;
    expected.HideGeneralTab = expected.HidePositionTab = expected.HideEffectsTab = true;
    expected.HideSoundTab = expected.HideBehaviorTab = true;
    expected.EffectSpeed = 9;
    expected.BackgroundExt = ".JPG";
    expected.ExitBannerExt = ".GIF";
    expected.LogoExt = ".PNG";
    expected.LogoPosition = 4;
    expected.LogoOffsetX = -12;
    expected.LogoOffsetY = 34;
    expected.LogoTransparentColor = 0xFF00FF;
    expected.AllowRunAsProgram = false;
    expected.ItemCount = 3;
    expected.ItemTableSize = 3 * 840;
    expected.MaskCount = 2;
    expected.MaskTableSize = 2 * 16;
    expected.EntrySoundCount = 2;
    expected.EntrySoundTableSize = 2 * 20;
    expected.SoundCount = 2;
    expected.SoundTableSize = 2 * 840;
    expected.FlashPlayerSize = 260;
    expected.PreviewImageSize = 150;
    expected.BannerImageSize = 120;
    expected.LogoSize = 400;
    expected.BackgroundSize = 800;
    expected.ExitBannerSize = 300;
    expected.FileSizeSlot = static_cast<std::int32_t>(ReadBytes(file).size());
    expected.PackageSize = expected.FileSizeSlot - 5000;
    EXPECT_EQ(h, expected);
    EXPECT_GT(h.LogoStoredSize, 0);
    EXPECT_GT(h.BackgroundStoredSize, 0);
    EXPECT_GT(h.ExitBannerStoredSize, 0);

    const auto& s = package.strings;
    EXPECT_EQ(s[PackageString::SaverName], "Round Trip");
    EXPECT_EQ(s[PackageString::AboutText], "\xDC" "ber caf\xE9 \x97 2\x80");  // Windows-1252
    EXPECT_EQ(s[PackageString::WebsiteURL], "http://w.example/");
    EXPECT_EQ(s[PackageString::HelpKeyLink], "http://help.example/");
    EXPECT_EQ(s[PackageString::ExitLink], "http://exit.example/");
    EXPECT_EQ(s[PackageString::BannerLink], "http://banner.example/");
    EXPECT_EQ(s[PackageString::ExitBannerLink], "http://eb.example/");
    EXPECT_EQ(s[PackageString::Effect], std::string("\x01\x02\x0A\x78"));
    EXPECT_EQ(s[PackageString::TranslationText], "[S]\r\na=\xE9");
    for (const int n : {4, 5, 6, 7, 8, 9, 10, 15, 16}) {
        EXPECT_EQ(s.values[n - 1], "r" + std::to_string(n)) << "string " << n;
    }

    ASSERT_EQ(package.items.size(), 3u);
    pkg::ItemRecord item;
    item.BlobOffset = package.items[0].BlobOffset;
    item.BlobSize = 3000;
    item.BlobStoredSize = 0;
    item.ItemExt = ".JPG";
    item.CaptionPosition = 2;
    item.CaptionColor = 0x0000FF;
    item.CaptionOffsetX = 3;
    item.CaptionOffsetY = -4;
    item.CaptionBoxColor = 255;
    item.CaptionFontName = "Arial";
    item.CaptionFontStyle = 6;
    item.CaptionFontSize = 20;
    item.CaptionText = "Hello";
    item.CaptionNoBox = item.CaptionSplitLines = item.CaptionShadow = 1;
    item.ItemDuration = 12;
    item.ItemSizeMode = 4;
    item.ItemMaskIndex = 1;
    item.ItemEnterSound = 0;
    item.ItemFilters = 5;
    item.ItemEffects = "\x03\x78";
    item.ItemEffectSpeed = 7;
    EXPECT_EQ(package.items[0], item);
    EXPECT_EQ(package.items[1].ItemExt, ".GIF");
    EXPECT_GT(package.items[1].BlobStoredSize, 0);
    EXPECT_EQ(package.items[2].ItemDuration, -2);
    EXPECT_EQ(package.items[2].ItemExt, ".SWF");

    ASSERT_EQ(package.masks.size(), 2u);
    EXPECT_EQ(package.masks[0].Kind, 0);
    EXPECT_EQ(package.masks[0].BlobStoredSize, 0);
    EXPECT_EQ(package.masks[1].Kind, 1);
    EXPECT_GT(package.masks[1].BlobStoredSize, 0);
    ASSERT_EQ(package.entrySounds.size(), 2u);
    EXPECT_EQ(package.entrySounds[0].Ext, ".WAV");
    EXPECT_EQ(package.entrySounds[1].Ext, ".SOUND1");
    ASSERT_EQ(package.sounds.size(), 2u);
    EXPECT_EQ(package.sounds[0].ItemExt, ".MP3");
    EXPECT_EQ(package.sounds[1].ItemExt, ".MID");
}

TEST_F(SspackBuild, EveryPieceComesOutWithItsOwnBytes) {
    const Bytes photo = ReadBytes(Path("photo.jpg"));
    EXPECT_EQ(Extract(pkg::ItemPiece(package, 0)), photo);
    EXPECT_EQ(Extract(pkg::ItemPiece(package, 1)), photo);  // the compressed copy of the same file
    EXPECT_EQ(Extract(pkg::ItemPiece(package, 2)), ReadBytes(Path("movie.swf")));
    EXPECT_EQ(Extract(pkg::MaskPiece(package, 0)), ReadBytes(Path("m.bmp")));
    EXPECT_EQ(Extract(pkg::MaskPiece(package, 1)), ReadBytes(Path("m2.dat")));
    EXPECT_EQ(Extract(pkg::EntrySoundPiece(package, 0)), ReadBytes(Path("ding.wav")));
    EXPECT_EQ(Extract(pkg::EntrySoundPiece(package, 1)), ReadBytes(Path("x.snd")));
    EXPECT_EQ(Extract(pkg::TrackPiece(package, 0)), ReadBytes(Path("song.mp3")));
    EXPECT_EQ(Extract(pkg::TrackPiece(package, 1)), ReadBytes(Path("tune.mid")));
    EXPECT_EQ(Extract(pkg::LogoPiece(package.header)), ReadBytes(Path("logo.png")));
    EXPECT_EQ(Extract(pkg::BackgroundPiece(package.header)), ReadBytes(Path("bg.jpeg")));
    EXPECT_EQ(Extract(pkg::ExitBannerPiece(package.header)), ReadBytes(Path("eb.gif")));
    EXPECT_EQ(Extract(pkg::PreviewPiece(package.header)), ReadBytes(Path("preview.bmp")));

    const Bytes bytes = ReadBytes(file);
    const auto segment = [&](pkg::Segment s) {
        const auto start = static_cast<std::size_t>(pkg::SegmentStart(package.header, s));
        return Bytes(bytes.begin() + start, bytes.begin() + start + pkg::SegmentLength(package.header, s));
    };
    EXPECT_EQ(segment(pkg::Segment::FlashPlayer), ReadBytes(Path("flash.ocx")));
    EXPECT_EQ(segment(pkg::Segment::ConfigBanner), ReadBytes(Path("banner.bin")));
}

TEST_F(SspackBuild, MusicOffsetsCountFromTheSoundTable) {
    const Bytes song = ReadBytes(Path("song.mp3"));
    const Bytes bytes = ReadBytes(file);
    const auto found = std::search(bytes.begin(), bytes.end(), song.begin(), song.end()) - bytes.begin();
    EXPECT_EQ(found, pkg::SegmentStart(package.header, pkg::Segment::SoundTable) + package.sounds[0].BlobOffset);
    EXPECT_NE(found, pkg::PackageStart(package.header) + package.sounds[0].BlobOffset);
}

TEST_F(SspackBuild, TheFileIsRuntimeThenPackageWithoutGaps) {
    const Bytes bytes = ReadBytes(file);
    ASSERT_GT(bytes.size(), runtime.size());
    EXPECT_TRUE(std::equal(runtime.begin(), runtime.end(), bytes.begin()));
    EXPECT_EQ(pkg::PackageStart(package.header), 5000);

    // The trailer as stored: FileSizeSlot is the whole file, then the magic.
    const std::size_t trailer = bytes.size() - pkg::kTrailerSize;
    EXPECT_EQ(pkg::DecodeHeader(bytes.data() + trailer).FileSizeSlot, static_cast<std::int32_t>(bytes.size()));
    EXPECT_EQ(std::string(bytes.end() - 10, bytes.end()), "Pelmarinox");

    // Strings follow the sound table; the pieces of the tables follow the strings in table order and
    // end where the trailer begins.
    std::int64_t at = pkg::SegmentStart(package.header, pkg::Segment::Strings);
    for (const auto& s : package.strings.values) {
        at += 2 + static_cast<std::int64_t>(s.size());
    }
    const std::int64_t start = pkg::PackageStart(package.header);
    const auto stored = [](const auto& r) { return r.BlobStoredSize > 0 ? r.BlobStoredSize : r.BlobSize; };
    for (const auto& r : package.items) {
        EXPECT_EQ(start + r.BlobOffset, at);
        at += stored(r);
    }
    for (const auto& r : package.masks) {
        EXPECT_EQ(start + r.BlobOffset, at);
        at += stored(r);
    }
    for (const auto& r : package.entrySounds) {
        EXPECT_EQ(start + r.BlobOffset, at);
        at += stored(r);
    }
    for (const auto& r : package.sounds) {
        EXPECT_EQ(pkg::SegmentStart(package.header, pkg::Segment::SoundTable) + r.BlobOffset, at);
        at += stored(r);
    }
    EXPECT_EQ(at, pkg::TrailerStart(package.header));
}

class SspackManifest : public SspackTest {};

TEST_F(SspackManifest, AShortManifestGetsTheDefaults) {
    Put("a.jpg", Pattern(10, 1));
    const auto p = pkg::ReadPackage(
        Build(Json::parse(R"({"strings": {"SaverName": "Demo"}, "items": [{"file": "a.jpg"}]})"), Pattern(300, 2)));
    EXPECT_EQ(p.header.Seconds, 5);
    EXPECT_EQ(p.header.DisplayOrder, 0);
    EXPECT_EQ(p.header.EffectSpeed, 5);
    EXPECT_EQ(p.header.Stretch, 0);
    EXPECT_TRUE(p.header.ExitMouseMove && p.header.ExitMouseButton && p.header.ExitKeyboard && p.header.ExitESC);
    EXPECT_TRUE(p.header.AllowRunAsProgram);
    EXPECT_FALSE(p.header.Loop || p.header.Mute || p.header.IntroFirstItem || p.header.HideGeneralTab);
    EXPECT_EQ(p.header.LogoTransparentColor, 0x1FFFFFFF);
    EXPECT_EQ(p.header.LogoStoredSize, 0);
    EXPECT_EQ(p.header.BackgroundStoredSize, 0);
    EXPECT_EQ(p.strings[PackageString::SaverName], "Demo");
    EXPECT_EQ(p.strings[PackageString::Effect].size(), 120u);
    ASSERT_EQ(p.items.size(), 1u);
    EXPECT_EQ(p.items[0].ItemExt, ".JPG");
    EXPECT_EQ(p.items[0].BlobStoredSize, 0);
    EXPECT_EQ(p.items[0].ItemSizeMode, -1);
    EXPECT_EQ(p.items[0].ItemMaskIndex, -1);
    EXPECT_EQ(p.items[0].ItemEnterSound, -1);
    EXPECT_EQ(p.items[0].ItemEffectSpeed, -1);
}

TEST_F(SspackManifest, CodesAreReadByNameInAnyLetterCaseAsByNumber) {
    Put("a.jpg", Pattern(10, 1));
    Put("m.png", Pattern(10, 2));
    const auto header = [&](const Json& settings) { return Parse(Json{{"header", settings}}).header; };
    EXPECT_EQ(header({{"Stretch", "shrink-random"}}).Stretch, 5);
    EXPECT_EQ(header({{"Stretch", "FIT"}}).Stretch, 0);
    EXPECT_EQ(header({{"Stretch", 3}}).Stretch, 3);
    EXPECT_EQ(header({{"DisplayOrder", "Shuffle"}}).DisplayOrder, 2);
    EXPECT_EQ(header({{"GradientStyle", "diagonal"}}).GradientStyle, 8);
    EXPECT_EQ(header({{"BackgroundImageMode", "center"}}).BackgroundImageMode, 2);
    EXPECT_EQ(header({{"LogoPosition", "bottom-right"}}).LogoPosition, 4);

    const auto item = [&](const Json& fields) {
        Json i = fields;
        i["file"] = "a.jpg";
        return Parse(Json{{"masks", {{{"file", "m.png"}, {"kind", "GIF"}}}}, {"items", {i}}}).items[0].record;
    };
    EXPECT_EQ(item({{"sizeMode", "default"}}).ItemSizeMode, -1);
    EXPECT_EQ(item({{"sizeMode", "natural"}}).ItemSizeMode, 2);
    EXPECT_EQ(item({{"filters", {"mirror", "grey"}}}).ItemFilters, 5);
    EXPECT_EQ(item({{"filters", "flip"}}).ItemFilters, 2);
    EXPECT_EQ(item({{"filters", 7}}).ItemFilters, 7);
    EXPECT_EQ(item({{"caption", {{"position", "Center"}, {"style", {"bold", "italic"}}}}}).CaptionPosition, 6);
    EXPECT_EQ(item({{"caption", {{"style", {"bold", "italic"}}}}}).CaptionFontStyle, 6);
    EXPECT_EQ(item({{"effects", {"crossfade", "ZOOM IN", 5}}, {"effectSpeed", 4}}).ItemEffects, "\x73\x67\x05");
    EXPECT_EQ(Parse(Json{{"masks", {{{"file", "m.png"}, {"kind", "GIF"}}}}}).masks[0].record.Kind, 2);
    EXPECT_EQ(Parse(Json{{"strings", {{"Effect", {"Sliding Columns From Up & Bottom", 120}}}}})
                  .strings[PackageString::Effect],
              "\x14\x78");
}

TEST_F(SspackManifest, APieceIsCompressedOnlyWhenThatMakesItSmaller) {
    Put("noise.jpg", Pattern(2000, 1));
    Put("text.jpg", Text(2000, 't'));
    const std::string file = Build(
        Json::parse(R"({"items": [{"file": "noise.jpg", "compress": true}, {"file": "text.jpg", "compress": true}],
                              "logo": {"file": "noise.jpg"}})"));
    const auto p = pkg::ReadPackage(file);
    EXPECT_EQ(p.items[0].BlobStoredSize, 0);
    EXPECT_GT(p.items[1].BlobStoredSize, 0);
    EXPECT_LT(p.items[1].BlobStoredSize, 2000);
    // The runtime always inflates the logo, so it stays a zlib stream.
    EXPECT_GT(p.header.LogoStoredSize, 2000);
    for (std::int32_t i = 0; i < 2; ++i) {
        const auto extracted = pkg::ExtractPiece(file, *pkg::ItemPiece(p, i));
        ASSERT_TRUE(extracted.has_value());
        EXPECT_EQ(ReadBytes(*extracted), ReadBytes(Path(i == 0 ? "noise.jpg" : "text.jpg")));
    }
}

TEST_F(SspackManifest, ColoursAcceptEveryForm) {
    Put("a.jpg", Pattern(10, 1));
    const auto colour = [&](const Json& value) {
        return Parse(Json{{"header", {{"BackgroundColor", value}}}}).header.BackgroundColor;
    };
    EXPECT_EQ(colour("#102030"), 0x302010);
    EXPECT_EQ(colour("#a0B0c0"), 0xC0B0A0);
    EXPECT_EQ(colour("none"), 0x1FFFFFFF);
    EXPECT_EQ(colour(0x00FFFFFF), 0xFFFFFF);
    EXPECT_EQ(colour(0x80000005LL), static_cast<std::int32_t>(0x80000005u));  // a system colour
    EXPECT_EQ(colour(-2147483643), static_cast<std::int32_t>(0x80000005u));
}

TEST_F(SspackManifest, BadValuesAreRefusedNamingTheFieldAndTheValue) {
    Put("a.jpg", Pattern(10, 1));
    Put("m.bmp", Pattern(10, 2));
    Put("clip.mpeg4", Pattern(10, 3));
    Put("noise.xyz", Pattern(10, 4));
    const struct {
        std::string manifest;
        const char* message;
    } cases[] = {
        {R"({"items": [{"file": "a.jpg"}, {"file": "a.jpg"}, {"file": "a.jpg", "sizeMode": 9}]})",
         "items[2].sizeMode: 9 is not one of -1..5"},
        {R"({"items": [{"file": "nope.jpg"}]})", R"(items[0].file: "nope.jpg" is not a readable file)"},
        {R"({"items": [{"compress": true}]})", "items[0].file: missing"},
        {R"({"header": {"Seconds": "5"}})", R"(header.Seconds: "5" is not an integer)"},
        {R"({"header": {"Seconds": 61}})", "header.Seconds: 61 is not one of 1..60"},
        {R"({"header": {"ItemCount": 3}})", "header.ItemCount: 3 is not settable"},
        {R"({"header": {"Loop": 1}})", "header.Loop: 1 is not true or false"},
        {R"({"header": {"BackgroundColor": "#12345"}})", R"(header.BackgroundColor: "#12345" is not a colour)"},
        {R"({"header": {"BackgroundColor": 16777216}})", "header.BackgroundColor: 16777216 is not a colour"},
        {R"({"items": [{"file": "a.jpg", "colour": "red"}]})",
         "items[0]: unknown key colour (known: file, compress, ext, caption, duration, sizeMode, mask, enterSound, "
         "filters, effects, effectSpeed)"},
        {R"({"tems": []})", "manifest: unknown key tems; did you mean items?"},
        {R"({"header": {"Secconds": 5}})", "header: unknown header field Secconds; did you mean Seconds?"},
        {R"({"header": {"seconds": 5}})", "header: unknown header field seconds; did you mean Seconds?"},
        {R"({"header": {"Speed": 5}})", "header: unknown header field Speed (known: Seconds, DisplayOrder,"},
        {R"({"header": {"Stretch": "fitt"}})", R"(header.Stretch: "fitt" is not a size mode; did you mean "fit"?)"},
        {R"({"header": {"DisplayOrder": "any"}})",
         R"(header.DisplayOrder: "any" is not an order (known: "sequential", "random", "shuffle"))"},
        {R"({"header": {"GradientStyle": true}})",
         "header.GradientStyle: true is not a gradient style: give its name or its number 0..8"},
        {R"({"items": [{"file": "a.jpg", "sizeMode": "default2"}]})",
         R"(items[0].sizeMode: "default2" is not a size mode; did you mean "default"?)"},
        {R"({"items": [{"file": "a.jpg", "filters": ["mirror", "gray"]}]})",
         R"(items[0].filters[1]: "gray" is not a filter; did you mean "grey"?)"},
        {R"({"items": [{"file": "a.jpg", "filters": 8}]})", "items[0].filters: 8 is not one of 0..7"},
        {R"({"items": [{"file": "a.jpg", "caption": {"style": [2]}}]})",
         "items[0].caption.style[0]: 2 is not a font style name"},
        {R"({"masks": [{"file": "m.bmp", "kind": "jpeg"}]})",
         R"(masks[0].kind: "jpeg" is not a mask kind (known: "bitmap", "png", "gif"))"},
        {R"({"strings": {"Effect": ["Crossfade", "Zoom Inn"]}})",
         R"(strings.Effect[1]: "Zoom Inn" is not an effect; did you mean "Zoom In"?)"},
        {R"({"strings": {"Effect": ["Sparkle"]}})",
         R"(strings.Effect[0]: "Sparkle" is not an effect: give a name of the effect list, such as "Crossfade", )"
         "or a number 1..120"},
        {R"({"items": [{"file": "a.jpg", "effects": [3]}]})",
         "items[0]: effects given without effectSpeed, so the screen saver would ignore them; give effectSpeed "
         "1..10 too"},
        {R"({"items": [{"file": "a.jpg", "effectSpeed": 3}]})",
         "items[0]: effectSpeed given without effects; give the item's effects too ([] for none)"},
        {R"({"items": [{"file": "a.jpg", "ext": ".JPEG2"}]})",
         R"(items[0].ext: ".JPEG2" is longer than its 5-character field)"},
        {R"({"items": [{"file": "clip.mpeg4"}]})",
         R"(items[0].ext: ".MPEG4" (from the file name) is longer than its 5-character field)"},
        {R"({"entrySounds": [{"file": "a.jpg", "ext": "wav"}]})",
         R"(entrySounds[0].ext: "wav" is not a dot followed by 1-7 letters, digits or underscores)"},
        {R"({"logo": {"file": "a.jpg", "ext": ".\\x"}})", R"(logo.ext: ".\\x" is not a dot followed)"},
        {R"({"masks": [{"file": "m.bmp"}], "items": [{"file": "a.jpg", "mask": 1}]})",
         "items[0].mask: 1 points past the mask table (size 1)"},
        {R"({"items": [{"file": "a.jpg", "enterSound": 0}]})",
         "items[0].enterSound: 0 points past the entry-sound table (size 0)"},
        {R"({"masks": [{"file": "noise.xyz"}]})", R"(masks[0].kind: missing, and the file name "noise.xyz")"},
        {R"({"strings": {"Effect": [1, 121]}})", "strings.Effect[1]: 121 is not one of 1..120"},
        {R"({"items": [{"file": "a.jpg", "effects": [0], "effectSpeed": 1}]})",
         "items[0].effects[0]: 0 is not one of 1..120"},
        {R"({"items": [{"file": "a.jpg", "effectSpeed": 0}]})", "items[0].effectSpeed: 0 is not -1 or one of 1..10"},
        {R"({"items": [{"file": "a.jpg", "caption": {"text": "\u4e2d"}}]})",
         "items[0].caption.text: \"\xE4\xB8\xAD\" holds a character that Windows-1252 cannot carry"},
        {R"({"strings": {"reserved": {"11": "x"}}})",
         "strings.reserved: unknown key 11 (known: 4, 5, 6, 7, 8, 9, 10, 15, 16)"},
        {R"({"items": [{"file": "a.jpg", "caption": {"text": ")" + std::string(252, 'w') + R"("}}]})",
         "is 252 characters long, more than the field's 251"},
        {R"({"strings": {"TranslationFile": "a.jpg", "TranslationText": "x"}})",
         R"(strings.TranslationFile: "a.jpg" given together with TranslationText)"},
        {R"({"items": [{"file": "a.jpg"}], "overrides": {"items": {"1": {"BlobSize": 3}}}})",
         R"(overrides.items.1: "1" is not one of 0..0)"},
        {R"({"overrides": {"header": {"NoSuchField": 3}}})", "overrides.header.NoSuchField: unknown field"},
        {R"({"overrides": {"magic": "short"}})", R"(overrides.magic: "short" is not 10 characters long)"},
    };
    for (const auto& c : cases) {
        try {
            Parse(Json::parse(c.manifest));
            ADD_FAILURE() << "accepted: " << c.manifest;
        } catch (const sspack::ManifestError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << "manifest " << c.manifest << "\n  message  " << e.what() << "\n  expected " << c.message;
        }
    }
}

}  // namespace
