#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pkg {

// The package trailer is the 220-byte header followed by the 10-byte magic: the last 230 bytes of the file.
inline constexpr std::size_t kHeaderSize = 220;
inline constexpr std::string_view kMagic = "Pelmarinox";
inline constexpr std::size_t kTrailerSize = kHeaderSize + 10;

inline constexpr std::size_t kItemRecordSize = 840;
inline constexpr std::size_t kSoundRecordSize = 840;
inline constexpr std::size_t kMaskRecordSize = 16;
inline constexpr std::size_t kEntrySoundRecordSize = 20;

inline constexpr std::size_t kStringCount = 18;
inline constexpr std::size_t kExtWidth = 5;           // header and item extensions: char[5]
inline constexpr std::size_t kCountedWidth = 252;     // length byte + 251 characters
inline constexpr std::size_t kEntrySoundExtWidth = 8; // length byte + 7 characters

// Stored pieces are copied in chunks of this size.
inline constexpr std::size_t kCopyChunk = 0x80000;

struct PackageHeader {
    std::int32_t PackageSize = 0;
    std::int32_t FileSizeSlot = 0;
    std::int32_t ItemCount = 0;
    std::int32_t SoundCount = 0;
    std::int32_t MaskCount = 0;
    std::int32_t Seconds = 0;
    std::int32_t DisplayOrder = 0;
    std::int32_t ItemTableSize = 0;
    std::int32_t BackgroundStoredSize = 0;
    std::int32_t BackgroundSize = 0;
    std::int32_t MaskTableSize = 0;
    std::int32_t PreviewImageSize = 0;
    std::int32_t SoundTableSize = 0;
    std::int32_t BannerImageSize = 0;
    std::int32_t FlashPlayerSize = 0;
    std::int32_t ExitBannerStoredSize = 0;
    std::int32_t ExitBannerSize = 0;
    std::int32_t LogoSize = 0;
    std::int32_t LogoStoredSize = 0;
    std::int32_t EntrySoundTableSize = 0;
    std::int32_t EntrySoundCount = 0;
    std::int32_t BackgroundColor = 0;
    std::int32_t BackgroundColor2 = 0;
    std::int32_t GradientStyle = 0;
    std::int32_t BackgroundImageMode = 0;
    bool DesktopBackground = false;
    bool RandomColors = false;
    bool RandomGradientStyle = false;
    bool RepaintBackgroundPerItem = false;
    std::int32_t Stretch = 0;
    bool Loop = false;
    bool Mute = false;
    bool ShuffleMelody = false;
    bool DesktopStart = false;
    bool IntroFirstItem = false;
    bool MuteVideo = false;
    bool AllowCustomPlaylist = false;
    bool PlayOneRandom = false;
    bool ExitMouseMove = false;
    bool ExitMouseButton = false;
    bool ExitKeyboard = false;
    bool ExitESC = false;
    bool DisableTwoMonitors = false;
    bool AllowWallpaperKey = false;
    bool HideGeneralTab = false;
    bool HidePositionTab = false;
    bool HideEffectsTab = false;
    bool HideSoundTab = false;
    bool HideBehaviorTab = false;
    std::int32_t EffectSpeed = 0;
    std::string BackgroundExt;
    std::string ExitBannerExt;
    std::string LogoExt;
    std::int32_t LogoPosition = 0;
    std::int32_t LogoOffsetX = 0;
    std::int32_t LogoOffsetY = 0;
    std::int32_t LogoTransparentColor = 0x1FFFFFFF;
    bool AllowRunAsProgram = false;

    friend bool operator==(const PackageHeader&, const PackageHeader&) = default;
};

// The 18 package strings in file order; the reserved ones are read and kept.
enum class PackageString : std::size_t {
    SaverName = 0,
    AboutText = 1,
    WebsiteURL = 2,
    HelpKeyLink = 10,
    ExitLink = 11,
    BannerLink = 12,
    ExitBannerLink = 13,
    Effect = 16,
    TranslationText = 17,
};

struct PackageStrings {
    std::array<std::string, kStringCount> values;

    std::string& operator[](PackageString s) { return values[static_cast<std::size_t>(s)]; }
    const std::string& operator[](PackageString s) const { return values[static_cast<std::size_t>(s)]; }

    friend bool operator==(const PackageStrings&, const PackageStrings&) = default;
};

// One slide item; built-in music tracks use the same 840-byte layout.
struct ItemRecord {
    std::int32_t BlobOffset = 0;
    std::int32_t BlobSize = 0;
    std::int32_t BlobStoredSize = 0;
    std::string ItemExt;
    std::int32_t CaptionPosition = 0;
    std::int32_t CaptionColor = 0;
    std::int32_t CaptionOffsetX = 0;
    std::int32_t CaptionOffsetY = 0;
    std::int32_t CaptionBoxColor = 0;
    std::string CaptionFontName;
    std::int32_t CaptionFontStyle = 0;
    std::int32_t CaptionFontSize = 0;
    std::string CaptionText;
    std::int32_t CaptionNoBox = 0;
    std::int32_t CaptionSplitLines = 0;
    std::int32_t CaptionShadow = 0;
    std::int32_t ItemDuration = 0;
    std::int32_t ItemSizeMode = -1;
    std::int32_t ItemMaskIndex = -1;
    std::int32_t ItemEnterSound = -1;
    std::int32_t ItemFilters = 0;
    std::string ItemEffects;
    std::int32_t ItemEffectSpeed = -1;

    friend bool operator==(const ItemRecord&, const ItemRecord&) = default;
};

using SoundRecord = ItemRecord;

struct MaskRecord {
    std::int32_t BlobOffset = 0;
    std::int32_t BlobSize = 0;
    std::int32_t BlobStoredSize = 0;
    std::uint8_t Kind = 0;  // 0 bitmap, 1 PNG, anything else GIF

    friend bool operator==(const MaskRecord&, const MaskRecord&) = default;
};

struct EntrySoundRecord {
    std::int32_t BlobOffset = 0;
    std::int32_t BlobSize = 0;
    std::int32_t BlobStoredSize = 0;
    std::string Ext;

    friend bool operator==(const EntrySoundRecord&, const EntrySoundRecord&) = default;
};

// Everything the reader takes from the package once at start-up.
struct Package {
    PackageHeader header;
    PackageStrings strings;
    std::vector<ItemRecord> items;
    std::vector<MaskRecord> masks;
    std::vector<EntrySoundRecord> entrySounds;
    std::vector<SoundRecord> sounds;

    friend bool operator==(const Package&, const Package&) = default;
};

}  // namespace pkg
