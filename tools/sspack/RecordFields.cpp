#include "tools/sspack/RecordFields.h"

#include <array>
#include <type_traits>

#include "tools/sspack/Ansi.h"

namespace sspack {

namespace {

using H = pkg::PackageHeader;
using I = pkg::ItemRecord;
using M = pkg::MaskRecord;
using E = pkg::EntrySoundRecord;
using S = FieldShape;

constexpr std::size_t kCountedChars = pkg::kCountedWidth - 1;
constexpr std::size_t kEntrySoundExtChars = pkg::kEntrySoundExtWidth - 1;

const std::array kHeaderFields = {
    Field<H>{"PackageSize", &H::PackageSize},
    Field<H>{"FileSizeSlot", &H::FileSizeSlot},
    Field<H>{"ItemCount", &H::ItemCount},
    Field<H>{"SoundCount", &H::SoundCount},
    Field<H>{"MaskCount", &H::MaskCount},
    Field<H>{"Seconds", &H::Seconds},
    Field<H>{"DisplayOrder", &H::DisplayOrder},
    Field<H>{"ItemTableSize", &H::ItemTableSize},
    Field<H>{"BackgroundStoredSize", &H::BackgroundStoredSize},
    Field<H>{"BackgroundSize", &H::BackgroundSize},
    Field<H>{"MaskTableSize", &H::MaskTableSize},
    Field<H>{"PreviewImageSize", &H::PreviewImageSize},
    Field<H>{"SoundTableSize", &H::SoundTableSize},
    Field<H>{"BannerImageSize", &H::BannerImageSize},
    Field<H>{"FlashPlayerSize", &H::FlashPlayerSize},
    Field<H>{"ExitBannerStoredSize", &H::ExitBannerStoredSize},
    Field<H>{"ExitBannerSize", &H::ExitBannerSize},
    Field<H>{"LogoSize", &H::LogoSize},
    Field<H>{"LogoStoredSize", &H::LogoStoredSize},
    Field<H>{"EntrySoundTableSize", &H::EntrySoundTableSize},
    Field<H>{"EntrySoundCount", &H::EntrySoundCount},
    Field<H>{"BackgroundColor", &H::BackgroundColor, S::Color},
    Field<H>{"BackgroundColor2", &H::BackgroundColor2, S::Color},
    Field<H>{"GradientStyle", &H::GradientStyle},
    Field<H>{"BackgroundImageMode", &H::BackgroundImageMode},
    Field<H>{"DesktopBackground", &H::DesktopBackground, S::Flag},
    Field<H>{"RandomColors", &H::RandomColors, S::Flag},
    Field<H>{"RandomGradientStyle", &H::RandomGradientStyle, S::Flag},
    Field<H>{"RepaintBackgroundPerItem", &H::RepaintBackgroundPerItem, S::Flag},
    Field<H>{"Stretch", &H::Stretch},
    Field<H>{"Loop", &H::Loop, S::Flag},
    Field<H>{"Mute", &H::Mute, S::Flag},
    Field<H>{"ShuffleMelody", &H::ShuffleMelody, S::Flag},
    Field<H>{"DesktopStart", &H::DesktopStart, S::Flag},
    Field<H>{"IntroFirstItem", &H::IntroFirstItem, S::Flag},
    Field<H>{"MuteVideo", &H::MuteVideo, S::Flag},
    Field<H>{"AllowCustomPlaylist", &H::AllowCustomPlaylist, S::Flag},
    Field<H>{"PlayOneRandom", &H::PlayOneRandom, S::Flag},
    Field<H>{"ExitMouseMove", &H::ExitMouseMove, S::Flag},
    Field<H>{"ExitMouseButton", &H::ExitMouseButton, S::Flag},
    Field<H>{"ExitKeyboard", &H::ExitKeyboard, S::Flag},
    Field<H>{"ExitESC", &H::ExitESC, S::Flag},
    Field<H>{"DisableTwoMonitors", &H::DisableTwoMonitors, S::Flag},
    Field<H>{"AllowWallpaperKey", &H::AllowWallpaperKey, S::Flag},
    Field<H>{"HideGeneralTab", &H::HideGeneralTab, S::Flag},
    Field<H>{"HidePositionTab", &H::HidePositionTab, S::Flag},
    Field<H>{"HideEffectsTab", &H::HideEffectsTab, S::Flag},
    Field<H>{"HideSoundTab", &H::HideSoundTab, S::Flag},
    Field<H>{"HideBehaviorTab", &H::HideBehaviorTab, S::Flag},
    Field<H>{"EffectSpeed", &H::EffectSpeed},
    Field<H>{"BackgroundExt", &H::BackgroundExt, S::Text, pkg::kExtWidth},
    Field<H>{"ExitBannerExt", &H::ExitBannerExt, S::Text, pkg::kExtWidth},
    Field<H>{"LogoExt", &H::LogoExt, S::Text, pkg::kExtWidth},
    Field<H>{"LogoPosition", &H::LogoPosition},
    Field<H>{"LogoOffsetX", &H::LogoOffsetX},
    Field<H>{"LogoOffsetY", &H::LogoOffsetY},
    Field<H>{"LogoTransparentColor", &H::LogoTransparentColor, S::Color},
    Field<H>{"AllowRunAsProgram", &H::AllowRunAsProgram, S::Flag},
};

const std::array kItemFields = {
    Field<I>{"BlobOffset", &I::BlobOffset},
    Field<I>{"BlobSize", &I::BlobSize},
    Field<I>{"BlobStoredSize", &I::BlobStoredSize},
    Field<I>{"ItemExt", &I::ItemExt, S::Text, pkg::kExtWidth},
    Field<I>{"CaptionPosition", &I::CaptionPosition},
    Field<I>{"CaptionColor", &I::CaptionColor, S::Color},
    Field<I>{"CaptionOffsetX", &I::CaptionOffsetX},
    Field<I>{"CaptionOffsetY", &I::CaptionOffsetY},
    Field<I>{"CaptionBoxColor", &I::CaptionBoxColor, S::Color},
    Field<I>{"CaptionFontName", &I::CaptionFontName, S::Text, kCountedChars},
    Field<I>{"CaptionFontStyle", &I::CaptionFontStyle},
    Field<I>{"CaptionFontSize", &I::CaptionFontSize},
    Field<I>{"CaptionText", &I::CaptionText, S::Text, kCountedChars},
    Field<I>{"CaptionNoBox", &I::CaptionNoBox},
    Field<I>{"CaptionSplitLines", &I::CaptionSplitLines},
    Field<I>{"CaptionShadow", &I::CaptionShadow},
    Field<I>{"ItemDuration", &I::ItemDuration},
    Field<I>{"ItemSizeMode", &I::ItemSizeMode},
    Field<I>{"ItemMaskIndex", &I::ItemMaskIndex},
    Field<I>{"ItemEnterSound", &I::ItemEnterSound},
    Field<I>{"ItemFilters", &I::ItemFilters},
    Field<I>{"ItemEffects", &I::ItemEffects, S::Effects, kCountedChars},
    Field<I>{"ItemEffectSpeed", &I::ItemEffectSpeed},
};

const std::array kMaskFields = {
    Field<M>{"BlobOffset", &M::BlobOffset},
    Field<M>{"BlobSize", &M::BlobSize},
    Field<M>{"BlobStoredSize", &M::BlobStoredSize},
    Field<M>{"Kind", &M::Kind, S::Byte},
};

const std::array kEntrySoundFields = {
    Field<E>{"BlobOffset", &E::BlobOffset},
    Field<E>{"BlobSize", &E::BlobSize},
    Field<E>{"BlobStoredSize", &E::BlobStoredSize},
    Field<E>{"Ext", &E::Ext, S::Text, kEntrySoundExtChars},
};

std::string ReadRawText(const Json& value, const std::string& path, std::size_t width, bool effects) {
    if (effects && value.is_array()) {
        std::string selection;
        for (std::size_t i = 0; i < value.size(); ++i) {
            selection += static_cast<char>(ReadInt32(value[i], Element(path, i), 1, 255));
        }
        if (selection.size() > width) {
            Reject(path, Shown(value) + " does not fit the field's " + std::to_string(width) + " characters");
        }
        return selection;
    }
    return ReadAnsi(value, path, width);
}

}  // namespace

std::span<const Field<H>> HeaderFields() { return kHeaderFields; }
std::span<const Field<I>> ItemFields() { return kItemFields; }
std::span<const Field<M>> MaskFields() { return kMaskFields; }
std::span<const Field<E>> EntrySoundFields() { return kEntrySoundFields; }

Json EffectNumbers(const std::string& selection) {
    Json numbers = Json::array();
    for (const char c : selection) {
        numbers.push_back(static_cast<unsigned char>(c));
    }
    return numbers;
}

template <typename Record>
Json FieldValue(const Record& record, const Field<Record>& field) {
    return std::visit(
        [&](auto member) -> Json {
            const auto& value = record.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return field.shape == S::Effects ? EffectNumbers(value) : Json(AnsiToUtf8(value));
            } else {
                return value;
            }
        },
        field.member);
}

template <typename Record>
void SetField(Record& record, const Field<Record>& field, const Json& value, const std::string& path) {
    std::visit(
        [&](auto member) {
            auto& target = record.*member;
            using T = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::string>) {
                target = ReadRawText(value, path, field.width, field.shape == S::Effects);
            } else if constexpr (std::is_same_v<T, bool>) {
                target = ReadBool(value, path);
            } else if constexpr (std::is_same_v<T, std::uint8_t>) {
                target = static_cast<std::uint8_t>(ReadInteger(value, path, 0, 255));
            } else {
                // Unsigned spellings such as 0xFFFFFFFF are accepted and kept as their bit pattern.
                const std::int64_t v = ReadInteger(value, path, INT32_MIN, UINT32_MAX);
                target = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
            }
        },
        field.member);
}

template <typename Record>
void SetFields(Record& record, std::span<const Field<Record>> fields, const Json& object, const std::string& path) {
    if (!object.is_object()) {
        Reject(path, Shown(object) + " is not an object");
    }
    for (const auto& [key, value] : object.items()) {
        const Field<Record>* field = FindField(fields, key);
        if (field == nullptr) {
            Reject(Member(path, key), "unknown field (value " + Shown(value) + ")");
        }
        SetField(record, *field, value, Member(path, key));
    }
}

#define SSPACK_FIELDS_FOR(Record)                                                                                   \
    template Json FieldValue<Record>(const Record&, const Field<Record>&);                                          \
    template void SetField<Record>(Record&, const Field<Record>&, const Json&, const std::string&);                 \
    template void SetFields<Record>(Record&, std::span<const Field<Record>>, const Json&, const std::string&);

SSPACK_FIELDS_FOR(pkg::PackageHeader)
SSPACK_FIELDS_FOR(pkg::ItemRecord)
SSPACK_FIELDS_FOR(pkg::MaskRecord)
SSPACK_FIELDS_FOR(pkg::EntrySoundRecord)

#undef SSPACK_FIELDS_FOR

}  // namespace sspack
