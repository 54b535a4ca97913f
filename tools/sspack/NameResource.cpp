#include "tools/sspack/NameResource.h"

#include "tools/sspack/Ansi.h"
#include "tools/sspack/PeImage.h"

namespace sspack {

namespace {

constexpr std::uint32_t kRtString = 6;
constexpr std::uint32_t kLangNeutral = 0;
constexpr std::uint32_t kStringId = 1;
// Strings come in blocks of 16: block n + 1 holds the identifiers 16n .. 16n + 15.
constexpr std::uint32_t kBlock = kStringId / 16 + 1;
constexpr std::uint32_t kIndexInBlock = kStringId % 16;

}  // namespace

std::optional<std::size_t> FindNameField(std::span<const std::uint8_t> image) {
    const auto pe = PeImage::Parse(image);
    if (!pe) {
        return std::nullopt;
    }
    const auto block = pe->FindResource(kRtString, kBlock, kLangNeutral);
    if (!block) {
        return std::nullopt;
    }
    // Each string of the block: a 16-bit count of UTF-16 units, then the units.
    std::size_t at = block->offset;
    const std::size_t end = block->offset + block->size;
    for (std::uint32_t i = 0;; ++i) {
        if (at + 2 > end) {
            return std::nullopt;
        }
        const std::size_t count = image[at] | (image[at + 1] << 8);
        if (at + 2 + count * 2 > end) {
            return std::nullopt;
        }
        if (i == kIndexInBlock) {
            return count == kNameFieldLength ? std::optional<std::size_t>(at + 2) : std::nullopt;
        }
        at += 2 + count * 2;
    }
}

std::optional<std::string> ReadNameResource(std::span<const std::uint8_t> image) {
    const auto field = FindNameField(image);
    if (!field) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 0; i < kNameFieldLength; ++i) {
        const std::size_t at = *field + i * 2;
        const char32_t unit = image[at] | (image[at + 1] << 8);
        // Surrogates cannot be told apart one unit at a time; the name never needs them.
        AppendUtf8(text, unit >= 0xD800 && unit < 0xE000 ? U'?' : unit);
    }
    return text;
}

bool PatchNameResource(std::vector<std::uint8_t>& image, const std::string& ansiName) {
    const auto field = FindNameField(image);
    if (!field) {
        return false;
    }
    for (std::size_t i = 0; i < kNameFieldLength; ++i) {
        const char32_t c = i < ansiName.size() ? AnsiToCodePoint(static_cast<unsigned char>(ansiName[i])) : U' ';
        image[*field + i * 2] = static_cast<std::uint8_t>(c & 0xFF);
        image[*field + i * 2 + 1] = static_cast<std::uint8_t>(c >> 8);
    }
    return true;
}

}  // namespace sspack
