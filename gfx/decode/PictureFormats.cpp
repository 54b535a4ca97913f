#include "gfx/decode/PictureFormats.h"

#include <array>
#include <string>
#include <utility>

#include "gfx/decode/ColorProfile.h"
#include "gfx/decode/GifDecoder.h"
#include "gfx/decode/HeifDecoder.h"
#include "gfx/decode/JpegDecoder.h"
#include "gfx/decode/PngDecoder.h"
#include "gfx/decode/TiffDecoder.h"
#include "gfx/decode/WebpDecoder.h"

namespace gfx {

namespace {

constexpr std::array<std::pair<std::string_view, TPictureFormat>, 20> kExtensions = {{
    {"jpg", TPictureFormat::Jpeg},
    {"jpeg", TPictureFormat::Jpeg},
    {"jpe", TPictureFormat::Jpeg},
    {"jfif", TPictureFormat::Jpeg},
    {"png", TPictureFormat::Png},
    {"tif", TPictureFormat::Tiff},
    {"tiff", TPictureFormat::Tiff},
    {"fax", TPictureFormat::Tiff},
    {"gif", TPictureFormat::Gif},
    {"heic", TPictureFormat::Heif},
    {"heif", TPictureFormat::Heif},
    {"hif", TPictureFormat::Heif},
    {"avif", TPictureFormat::Heif},
    {"webp", TPictureFormat::Webp},
    {"bmp", TPictureFormat::System},
    {"rle", TPictureFormat::System},
    {"dib", TPictureFormat::System},
    {"ico", TPictureFormat::System},
    {"wmf", TPictureFormat::System},
    {"emf", TPictureFormat::System},
}};

// The text after the last dot of the last path component; the whole name when it has no dot.
std::string LowerExtension(std::string_view name) {
    const auto cut = name.find_last_of(".\\/");
    std::string ext(cut != std::string_view::npos && name[cut] == '.' ? name.substr(cut + 1)
                    : cut == std::string_view::npos                  ? name
                                                                     : std::string_view());
    for (char& c : ext) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ext;
}

}  // namespace

TPictureFormat PictureFormatOf(std::string_view name) {
    const std::string ext = LowerExtension(name);
    for (const auto& [known, format] : kExtensions) {
        if (ext == known) {
            return format;
        }
    }
    return TPictureFormat::Unknown;
}

std::unique_ptr<TPictureDecoder> MakeDecoder(TPictureFormat format) {
    switch (format) {
        case TPictureFormat::Jpeg: return std::make_unique<TJpegDecoder>();
        case TPictureFormat::Png: return std::make_unique<TPngDecoder>();
        case TPictureFormat::Tiff: return std::make_unique<TTiffDecoder>();
        case TPictureFormat::Gif: return std::make_unique<TGifDecoder>();
        case TPictureFormat::Heif: return std::make_unique<THeifDecoder>();
        case TPictureFormat::Webp: return std::make_unique<TWebpDecoder>();
        case TPictureFormat::System:
        case TPictureFormat::Unknown: break;
    }
    return nullptr;
}

std::optional<TPicture> DecodePicture(TPictureFormat format, std::span<const std::uint8_t> bytes,
                                      std::string* why, const TDrawnSize& drawnSize) {
    const auto decoder = MakeDecoder(format);
    if (!decoder) {
        if (why != nullptr) {
            *why = "no decoder of ours for the format";
        }
        return std::nullopt;
    }
    std::optional<TPicture> picture;
    if (decoder->Open(bytes)) {
        if (drawnSize) {
            decoder->ReduceFor(drawnSize(decoder->Size()));
        }
        const TSrgbConversion toSrgb(decoder->IccProfile());
        const bool byRows = toSrgb.Converts() && decoder->ConvertRowsWith(toSrgb);
        picture = decoder->Frames();
        if (picture && toSrgb.Converts() && !byRows) {
            for (TPictureFrame& frame : picture->frames) {
                toSrgb.Convert(frame.bitmap);
            }
        }
        if (picture && why != nullptr) {
            *why = toSrgb.Refusal();
        }
    }
    if (!picture && why != nullptr) {
        *why = decoder->Failure();
    }
    return picture;
}

}  // namespace gfx
