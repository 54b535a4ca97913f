#include "package/PackageCodec.h"

#include <cstring>

#include "package/ByteIo.h"

namespace pkg {

namespace {

// Header offsets.
enum : std::size_t {
    kPackageSize = 0,
    kFileSizeSlot = 4,
    kItemCount = 8,
    kSoundCount = 12,
    kMaskCount = 16,
    kSeconds = 20,
    kDisplayOrder = 24,
    kItemTableSize = 28,
    kBackgroundStoredSize = 32,
    kBackgroundSize = 36,
    kMaskTableSize = 40,
    kPreviewImageSize = 44,
    kSoundTableSize = 48,
    kBannerImageSize = 56,
    kFlashPlayerSize = 60,
    kExitBannerStoredSize = 64,
    kExitBannerSize = 68,
    kLogoSize = 72,
    kLogoStoredSize = 76,
    kEntrySoundTableSize = 80,
    kEntrySoundCount = 84,
    kBackgroundColor = 88,
    kBackgroundColor2 = 92,
    kGradientStyle = 96,
    kBackgroundImageMode = 100,
    kDesktopBackground = 104,
    kRandomColors = 105,
    kRandomGradientStyle = 106,
    kRepaintBackgroundPerItem = 107,
    kStretch = 108,
    kLoop = 112,
    kMute = 113,
    kShuffleMelody = 114,
    kDesktopStart = 115,
    kIntroFirstItem = 116,
    kMuteVideo = 117,
    kAllowCustomPlaylist = 118,
    kPlayOneRandom = 119,
    kExitMouseMove = 120,
    kExitMouseButton = 121,
    kExitKeyboard = 122,
    kExitESC = 123,
    kDisableTwoMonitors = 124,
    kAllowWallpaperKey = 125,
    kHideGeneralTab = 126,
    kHidePositionTab = 127,
    kHideEffectsTab = 128,
    kHideSoundTab = 129,
    kHideBehaviorTab = 130,
    kEffectSpeed = 132,
    kBackgroundExt = 136,
    kExitBannerExt = 141,
    kLogoExt = 146,
    kLogoPosition = 200,
    kLogoOffsetX = 204,
    kLogoOffsetY = 208,
    kLogoTransparentColor = 212,
    kAllowRunAsProgram = 216,
};

// Item record offsets.
enum : std::size_t {
    kBlobOffset = 0,
    kBlobSize = 4,
    kBlobStoredSize = 8,
    kItemExt = 12,
    kCaptionPosition = 20,
    kCaptionColor = 24,
    kCaptionOffsetX = 28,
    kCaptionOffsetY = 32,
    kCaptionBoxColor = 36,
    kCaptionFontName = 40,
    kCaptionFontStyle = 292,
    kCaptionFontSize = 296,
    kCaptionText = 300,
    kCaptionNoBox = 552,
    kCaptionSplitLines = 556,
    kCaptionShadow = 560,
    kItemDuration = 564,
    kItemSizeMode = 568,
    kItemMaskIndex = 572,
    kItemEnterSound = 576,
    kItemFilters = 580,
    kItemEffects = 584,
    kItemEffectSpeed = 836,
};

// Mask and entry-sound record offsets after the three blob fields.
enum : std::size_t {
    kMaskKind = 12,
    kEntrySoundExt = 12,
};

}  // namespace

PackageHeader DecodeHeader(const std::uint8_t* b) {
    PackageHeader h;
    h.PackageSize = GetInt32(b, kPackageSize);
    h.FileSizeSlot = GetInt32(b, kFileSizeSlot);
    h.ItemCount = GetInt32(b, kItemCount);
    h.SoundCount = GetInt32(b, kSoundCount);
    h.MaskCount = GetInt32(b, kMaskCount);
    h.Seconds = GetInt32(b, kSeconds);
    h.DisplayOrder = GetInt32(b, kDisplayOrder);
    h.ItemTableSize = GetInt32(b, kItemTableSize);
    h.BackgroundStoredSize = GetInt32(b, kBackgroundStoredSize);
    h.BackgroundSize = GetInt32(b, kBackgroundSize);
    h.MaskTableSize = GetInt32(b, kMaskTableSize);
    h.PreviewImageSize = GetInt32(b, kPreviewImageSize);
    h.SoundTableSize = GetInt32(b, kSoundTableSize);
    h.BannerImageSize = GetInt32(b, kBannerImageSize);
    h.FlashPlayerSize = GetInt32(b, kFlashPlayerSize);
    h.ExitBannerStoredSize = GetInt32(b, kExitBannerStoredSize);
    h.ExitBannerSize = GetInt32(b, kExitBannerSize);
    h.LogoSize = GetInt32(b, kLogoSize);
    h.LogoStoredSize = GetInt32(b, kLogoStoredSize);
    h.EntrySoundTableSize = GetInt32(b, kEntrySoundTableSize);
    h.EntrySoundCount = GetInt32(b, kEntrySoundCount);
    h.BackgroundColor = GetInt32(b, kBackgroundColor);
    h.BackgroundColor2 = GetInt32(b, kBackgroundColor2);
    h.GradientStyle = GetInt32(b, kGradientStyle);
    h.BackgroundImageMode = GetInt32(b, kBackgroundImageMode);
    h.DesktopBackground = GetFlag(b, kDesktopBackground);
    h.RandomColors = GetFlag(b, kRandomColors);
    h.RandomGradientStyle = GetFlag(b, kRandomGradientStyle);
    h.RepaintBackgroundPerItem = GetFlag(b, kRepaintBackgroundPerItem);
    h.Stretch = GetInt32(b, kStretch);
    h.Loop = GetFlag(b, kLoop);
    h.Mute = GetFlag(b, kMute);
    h.ShuffleMelody = GetFlag(b, kShuffleMelody);
    h.DesktopStart = GetFlag(b, kDesktopStart);
    h.IntroFirstItem = GetFlag(b, kIntroFirstItem);
    h.MuteVideo = GetFlag(b, kMuteVideo);
    h.AllowCustomPlaylist = GetFlag(b, kAllowCustomPlaylist);
    h.PlayOneRandom = GetFlag(b, kPlayOneRandom);
    h.ExitMouseMove = GetFlag(b, kExitMouseMove);
    h.ExitMouseButton = GetFlag(b, kExitMouseButton);
    h.ExitKeyboard = GetFlag(b, kExitKeyboard);
    h.ExitESC = GetFlag(b, kExitESC);
    h.DisableTwoMonitors = GetFlag(b, kDisableTwoMonitors);
    h.AllowWallpaperKey = GetFlag(b, kAllowWallpaperKey);
    h.HideGeneralTab = GetFlag(b, kHideGeneralTab);
    h.HidePositionTab = GetFlag(b, kHidePositionTab);
    h.HideEffectsTab = GetFlag(b, kHideEffectsTab);
    h.HideSoundTab = GetFlag(b, kHideSoundTab);
    h.HideBehaviorTab = GetFlag(b, kHideBehaviorTab);
    h.EffectSpeed = GetInt32(b, kEffectSpeed);
    h.BackgroundExt = GetChars(b, kBackgroundExt, kExtWidth);
    h.ExitBannerExt = GetChars(b, kExitBannerExt, kExtWidth);
    h.LogoExt = GetChars(b, kLogoExt, kExtWidth);
    h.LogoPosition = GetInt32(b, kLogoPosition);
    h.LogoOffsetX = GetInt32(b, kLogoOffsetX);
    h.LogoOffsetY = GetInt32(b, kLogoOffsetY);
    h.LogoTransparentColor = GetInt32(b, kLogoTransparentColor);
    h.AllowRunAsProgram = GetFlag(b, kAllowRunAsProgram);
    return h;
}

void EncodeHeader(const PackageHeader& h, std::uint8_t* b) {
    std::memset(b, 0, kHeaderSize);
    PutInt32(b, kPackageSize, h.PackageSize);
    PutInt32(b, kFileSizeSlot, h.FileSizeSlot);
    PutInt32(b, kItemCount, h.ItemCount);
    PutInt32(b, kSoundCount, h.SoundCount);
    PutInt32(b, kMaskCount, h.MaskCount);
    PutInt32(b, kSeconds, h.Seconds);
    PutInt32(b, kDisplayOrder, h.DisplayOrder);
    PutInt32(b, kItemTableSize, h.ItemTableSize);
    PutInt32(b, kBackgroundStoredSize, h.BackgroundStoredSize);
    PutInt32(b, kBackgroundSize, h.BackgroundSize);
    PutInt32(b, kMaskTableSize, h.MaskTableSize);
    PutInt32(b, kPreviewImageSize, h.PreviewImageSize);
    PutInt32(b, kSoundTableSize, h.SoundTableSize);
    PutInt32(b, kBannerImageSize, h.BannerImageSize);
    PutInt32(b, kFlashPlayerSize, h.FlashPlayerSize);
    PutInt32(b, kExitBannerStoredSize, h.ExitBannerStoredSize);
    PutInt32(b, kExitBannerSize, h.ExitBannerSize);
    PutInt32(b, kLogoSize, h.LogoSize);
    PutInt32(b, kLogoStoredSize, h.LogoStoredSize);
    PutInt32(b, kEntrySoundTableSize, h.EntrySoundTableSize);
    PutInt32(b, kEntrySoundCount, h.EntrySoundCount);
    PutInt32(b, kBackgroundColor, h.BackgroundColor);
    PutInt32(b, kBackgroundColor2, h.BackgroundColor2);
    PutInt32(b, kGradientStyle, h.GradientStyle);
    PutInt32(b, kBackgroundImageMode, h.BackgroundImageMode);
    PutFlag(b, kDesktopBackground, h.DesktopBackground);
    PutFlag(b, kRandomColors, h.RandomColors);
    PutFlag(b, kRandomGradientStyle, h.RandomGradientStyle);
    PutFlag(b, kRepaintBackgroundPerItem, h.RepaintBackgroundPerItem);
    PutInt32(b, kStretch, h.Stretch);
    PutFlag(b, kLoop, h.Loop);
    PutFlag(b, kMute, h.Mute);
    PutFlag(b, kShuffleMelody, h.ShuffleMelody);
    PutFlag(b, kDesktopStart, h.DesktopStart);
    PutFlag(b, kIntroFirstItem, h.IntroFirstItem);
    PutFlag(b, kMuteVideo, h.MuteVideo);
    PutFlag(b, kAllowCustomPlaylist, h.AllowCustomPlaylist);
    PutFlag(b, kPlayOneRandom, h.PlayOneRandom);
    PutFlag(b, kExitMouseMove, h.ExitMouseMove);
    PutFlag(b, kExitMouseButton, h.ExitMouseButton);
    PutFlag(b, kExitKeyboard, h.ExitKeyboard);
    PutFlag(b, kExitESC, h.ExitESC);
    PutFlag(b, kDisableTwoMonitors, h.DisableTwoMonitors);
    PutFlag(b, kAllowWallpaperKey, h.AllowWallpaperKey);
    PutFlag(b, kHideGeneralTab, h.HideGeneralTab);
    PutFlag(b, kHidePositionTab, h.HidePositionTab);
    PutFlag(b, kHideEffectsTab, h.HideEffectsTab);
    PutFlag(b, kHideSoundTab, h.HideSoundTab);
    PutFlag(b, kHideBehaviorTab, h.HideBehaviorTab);
    PutInt32(b, kEffectSpeed, h.EffectSpeed);
    PutChars(b, kBackgroundExt, kExtWidth, h.BackgroundExt);
    PutChars(b, kExitBannerExt, kExtWidth, h.ExitBannerExt);
    PutChars(b, kLogoExt, kExtWidth, h.LogoExt);
    PutInt32(b, kLogoPosition, h.LogoPosition);
    PutInt32(b, kLogoOffsetX, h.LogoOffsetX);
    PutInt32(b, kLogoOffsetY, h.LogoOffsetY);
    PutInt32(b, kLogoTransparentColor, h.LogoTransparentColor);
    PutFlag(b, kAllowRunAsProgram, h.AllowRunAsProgram);
}

ItemRecord DecodeItem(const std::uint8_t* b) {
    ItemRecord r;
    r.BlobOffset = GetInt32(b, kBlobOffset);
    r.BlobSize = GetInt32(b, kBlobSize);
    r.BlobStoredSize = GetInt32(b, kBlobStoredSize);
    r.ItemExt = GetChars(b, kItemExt, kExtWidth);
    r.CaptionPosition = GetInt32(b, kCaptionPosition);
    r.CaptionColor = GetInt32(b, kCaptionColor);
    r.CaptionOffsetX = GetInt32(b, kCaptionOffsetX);
    r.CaptionOffsetY = GetInt32(b, kCaptionOffsetY);
    r.CaptionBoxColor = GetInt32(b, kCaptionBoxColor);
    r.CaptionFontName = GetCounted(b, kCaptionFontName, kCountedWidth);
    r.CaptionFontStyle = GetInt32(b, kCaptionFontStyle);
    r.CaptionFontSize = GetInt32(b, kCaptionFontSize);
    r.CaptionText = GetCounted(b, kCaptionText, kCountedWidth);
    r.CaptionNoBox = GetInt32(b, kCaptionNoBox);
    r.CaptionSplitLines = GetInt32(b, kCaptionSplitLines);
    r.CaptionShadow = GetInt32(b, kCaptionShadow);
    r.ItemDuration = GetInt32(b, kItemDuration);
    r.ItemSizeMode = GetInt32(b, kItemSizeMode);
    r.ItemMaskIndex = GetInt32(b, kItemMaskIndex);
    r.ItemEnterSound = GetInt32(b, kItemEnterSound);
    r.ItemFilters = GetInt32(b, kItemFilters);
    r.ItemEffects = GetCounted(b, kItemEffects, kCountedWidth);
    r.ItemEffectSpeed = GetInt32(b, kItemEffectSpeed);
    return r;
}

void EncodeItem(const ItemRecord& r, std::uint8_t* b) {
    std::memset(b, 0, kItemRecordSize);
    PutInt32(b, kBlobOffset, r.BlobOffset);
    PutInt32(b, kBlobSize, r.BlobSize);
    PutInt32(b, kBlobStoredSize, r.BlobStoredSize);
    PutChars(b, kItemExt, kExtWidth, r.ItemExt);
    PutInt32(b, kCaptionPosition, r.CaptionPosition);
    PutInt32(b, kCaptionColor, r.CaptionColor);
    PutInt32(b, kCaptionOffsetX, r.CaptionOffsetX);
    PutInt32(b, kCaptionOffsetY, r.CaptionOffsetY);
    PutInt32(b, kCaptionBoxColor, r.CaptionBoxColor);
    PutCounted(b, kCaptionFontName, kCountedWidth, r.CaptionFontName);
    PutInt32(b, kCaptionFontStyle, r.CaptionFontStyle);
    PutInt32(b, kCaptionFontSize, r.CaptionFontSize);
    PutCounted(b, kCaptionText, kCountedWidth, r.CaptionText);
    PutInt32(b, kCaptionNoBox, r.CaptionNoBox);
    PutInt32(b, kCaptionSplitLines, r.CaptionSplitLines);
    PutInt32(b, kCaptionShadow, r.CaptionShadow);
    PutInt32(b, kItemDuration, r.ItemDuration);
    PutInt32(b, kItemSizeMode, r.ItemSizeMode);
    PutInt32(b, kItemMaskIndex, r.ItemMaskIndex);
    PutInt32(b, kItemEnterSound, r.ItemEnterSound);
    PutInt32(b, kItemFilters, r.ItemFilters);
    PutCounted(b, kItemEffects, kCountedWidth, r.ItemEffects);
    PutInt32(b, kItemEffectSpeed, r.ItemEffectSpeed);
}

MaskRecord DecodeMask(const std::uint8_t* b) {
    MaskRecord r;
    r.BlobOffset = GetInt32(b, kBlobOffset);
    r.BlobSize = GetInt32(b, kBlobSize);
    r.BlobStoredSize = GetInt32(b, kBlobStoredSize);
    r.Kind = b[kMaskKind];
    return r;
}

void EncodeMask(const MaskRecord& r, std::uint8_t* b) {
    std::memset(b, 0, kMaskRecordSize);
    PutInt32(b, kBlobOffset, r.BlobOffset);
    PutInt32(b, kBlobSize, r.BlobSize);
    PutInt32(b, kBlobStoredSize, r.BlobStoredSize);
    b[kMaskKind] = r.Kind;
}

EntrySoundRecord DecodeEntrySound(const std::uint8_t* b) {
    EntrySoundRecord r;
    r.BlobOffset = GetInt32(b, kBlobOffset);
    r.BlobSize = GetInt32(b, kBlobSize);
    r.BlobStoredSize = GetInt32(b, kBlobStoredSize);
    r.Ext = GetCounted(b, kEntrySoundExt, kEntrySoundExtWidth);
    return r;
}

void EncodeEntrySound(const EntrySoundRecord& r, std::uint8_t* b) {
    std::memset(b, 0, kEntrySoundRecordSize);
    PutInt32(b, kBlobOffset, r.BlobOffset);
    PutInt32(b, kBlobSize, r.BlobSize);
    PutInt32(b, kBlobStoredSize, r.BlobStoredSize);
    PutCounted(b, kEntrySoundExt, kEntrySoundExtWidth, r.Ext);
}

}  // namespace pkg
