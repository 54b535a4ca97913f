#include "gfx/decode/GifDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <gif_lib.h>

#include "gfx/decode/Limits.h"

namespace gfx {

namespace {

struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;

    bool AtEnd() const { return at >= bytes.size(); }
};

int ReadBytes(GifFileType* gif, GifByteType* out, int count) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(count, 0)), source->bytes.size() - source->at);
    if (n > 0) {
        std::memcpy(out, source->bytes.data() + source->at, n);
        source->at += n;
    }
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

// Opens the bytes and reads the logical screen, whose size goes to `stated`; nothing when the
// screen is beyond the cap.
GifFile OpenGif(Source& source, IntSize* stated = nullptr) {
    int error = 0;
    GifFile gif(DGifOpen(&source, ReadBytes, &error));
    if (gif && stated != nullptr) {
        *stated = {gif->SWidth, gif->SHeight};
    }
    if (!gif || !PictureSizeAllowed(gif->SWidth, gif->SHeight)) {
        return nullptr;
    }
    return gif;
}

// What the graphic control extension says about the next frame.
struct Control {
    std::int32_t delayMs = 0;
    TDisposal disposal = TDisposal::Unspecified;
    std::int32_t transparentIndex = -1;
};

Control ReadControl(const GifByteType* block) {
    GraphicsControlBlock gcb{};
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) != GIF_OK) {
        return {};  // a malformed control block is left out
    }
    Control control;
    control.delayMs = gcb.DelayTime * 10;
    control.disposal = gcb.DisposalMode >= 0 && gcb.DisposalMode <= 3 ? static_cast<TDisposal>(gcb.DisposalMode)
                                                                         : TDisposal::Unspecified;
    control.transparentIndex = gcb.TransparentColor;
    return control;
}

bool IsLoopingApplication(const GifByteType* block) {
    return block[0] == 11 && (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                              std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
}

// One extension: a graphic control block sets `control`, the looping block sets the loop count;
// others are skipped.
bool ReadExtension(GifFileType* gif, Control& control, TPicture& picture) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
        return false;
    }
    bool first = true;
    bool looping = false;
    while (block != nullptr) {
        if (code == GRAPHICS_EXT_FUNC_CODE && first) {
            control = ReadControl(block);
        } else if (code == APPLICATION_EXT_FUNC_CODE && first) {
            looping = IsLoopingApplication(block);
        } else if (looping && block[0] >= 3 && block[1] == 1) {
            picture.loopCount = static_cast<std::uint16_t>(block[2] | (block[3] << 8));
        }
        first = false;
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
            return false;
        }
    }
    return true;
}

using Palette = std::array<Color32, 256>;

Palette PaletteOf(const ColorMapObject& map) {
    Palette palette;
    palette.fill(kOpaqueBlack);  // indices past the map's end show black
    const int count = std::clamp(map.ColorCount, 0, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = map.Colors[i];
        palette[static_cast<std::size_t>(i)] = MakeColor32(c.Red, c.Green, c.Blue);
    }
    return palette;
}

// The rows of a frame in the order the file stores them.
std::vector<std::int32_t> RowOrder(std::int32_t height, bool interlaced) {
    std::vector<std::int32_t> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (std::int32_t y = 0; y < height; ++y) {
            rows.push_back(y);
        }
        return rows;
    }
    constexpr std::array<std::int32_t, 4> kStart = {0, 4, 2, 1};
    constexpr std::array<std::int32_t, 4> kStep = {8, 8, 4, 2};
    for (std::size_t pass = 0; pass < 4; ++pass) {
        for (std::int32_t y = kStart[pass]; y < height; y += kStep[pass]) {
            rows.push_back(y);
        }
    }
    return rows;
}

// The pixels of the image just described; its rectangle has been checked against the screen.
std::optional<TPictureFrame> ReadFrame(GifFileType* gif, const ColorMapObject& map, const Control& control) {
    const GifImageDesc& desc = gif->Image;
    const Palette palette = PaletteOf(map);
    TPictureFrame frame;
    frame.bitmap.SetSize(desc.Width, desc.Height);
    frame.position = {desc.Left, desc.Top};
    frame.delayMs = control.delayMs;
    frame.disposal = control.disposal;
    frame.transparentIndex = control.transparentIndex;
    if (control.transparentIndex >= 0) {
        frame.transparentColor = palette[static_cast<std::size_t>(control.transparentIndex & 0xFF)];
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    for (const std::int32_t y : RowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) {
            return std::nullopt;
        }
        Color32* row = frame.bitmap.Row(y);
        for (std::int32_t x = 0; x < desc.Width; ++x) {
            const GifPixelType index = line[static_cast<std::size_t>(x)];
            row[x] = index == control.transparentIndex ? palette[index] & 0x00FFFFFFu : palette[index];
        }
    }
    return frame;
}

bool InsideScreen(const GifImageDesc& desc, IntSize screen) {
    return desc.Width > 0 && desc.Height > 0 && desc.Left >= 0 && desc.Top >= 0 &&
           desc.Left + desc.Width <= screen.width && desc.Top + desc.Height <= screen.height;
}

}  // namespace

bool TGifDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    Source source{bytes};
    stated_ = {};
    const GifFile gif = OpenGif(source, &stated_);
    opened_ = gif != nullptr;
    size_ = opened_ ? IntSize{gif->SWidth, gif->SHeight} : IntSize{};
    return opened_;
}

std::optional<TPicture> TGifDecoder::Frames() {
    if (!opened_) {
        return std::nullopt;
    }
    try {
        Source source{bytes_};
        const GifFile gif = OpenGif(source);
        if (!gif) {
            return std::nullopt;
        }
        TPicture picture;
        picture.size = size_;
        const ColorMapObject* global = gif->SColorMap;
        if (global != nullptr && gif->SBackGroundColor < global->ColorCount) {
            picture.backgroundColor = PaletteOf(*global)[static_cast<std::size_t>(gif->SBackGroundColor & 0xFF)];
        }
        Control control;
        std::int64_t pixels = 0;
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
                // The trailer missing after a whole frame is common; anything else is damage.
                if (source.AtEnd() && !picture.frames.empty()) {
                    break;
                }
                return std::nullopt;
            }
            if (type == TERMINATE_RECORD_TYPE) {
                break;
            }
            if (type == EXTENSION_RECORD_TYPE) {
                if (!ReadExtension(gif.get(), control, picture)) {
                    return std::nullopt;
                }
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif.get()) == GIF_ERROR ||
                !InsideScreen(gif->Image, size_)) {
                return std::nullopt;
            }
            const std::int64_t cost = std::int64_t{gif->Image.Width} * gif->Image.Height;
            if (picture.frames.size() >= static_cast<std::size_t>(limits_.frames) || pixels + cost > limits_.pixels) {
                break;
            }
            const ColorMapObject* map = gif->Image.ColorMap != nullptr ? gif->Image.ColorMap : global;
            if (map == nullptr) {
                return std::nullopt;
            }
            auto frame = ReadFrame(gif.get(), *map, control);
            if (!frame) {
                return std::nullopt;
            }
            picture.frames.push_back(std::move(*frame));
            pixels += cost;
            control = {};
        }
        if (picture.frames.empty()) {
            return std::nullopt;
        }
        return picture;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace gfx
