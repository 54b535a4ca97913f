#include "gfx/decode/GifDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
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

std::string ErrorText(int code) {
    const char* text = GifErrorString(code);
    return text != nullptr ? text : "damaged";
}

// Opens the bytes and reads the logical screen, whose size goes to `stated`; nothing, with why,
// when the screen is empty or beyond the cap.
GifFile OpenGif(Source& source, std::string& why, IntSize* stated = nullptr) {
    int error = 0;
    GifFile gif(DGifOpen(&source, ReadBytes, &error));
    if (!gif) {
        why = ErrorText(error);
        return nullptr;
    }
    if (stated != nullptr) {
        *stated = {gif->SWidth, gif->SHeight};
    }
    if (gif->SWidth <= 0 || gif->SHeight <= 0) {
        why = "the logical screen is empty";
        return nullptr;
    }
    if (!PictureSizeAllowed(gif->SWidth, gif->SHeight)) {
        why = BeyondCap(gif->SWidth, gif->SHeight);
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

// A GIF without any colour table shows its indices as greys, from black to white over as many
// entries as the screen's colour resolution gives, as browsers do.
Palette GreyRamp(int bits) {
    Palette palette;
    palette.fill(0xFFFFFFFFu);
    const int count = 1 << std::clamp(bits, 1, 8);
    for (int i = 0; i < count; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (count - 1));
        palette[static_cast<std::size_t>(i)] = MakeColor32(grey, grey, grey);
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

// A frame as read: complete, or cut off by damage after `rows` of its rows.
struct ReadResult {
    TPictureFrame frame;
    std::int32_t rows = 0;
};

// A frame at `visible` with what its control extension says, every pixel transparent so far.
TPictureFrame EmptyFrame(const Palette& palette, const Control& control, const IntRect& visible) {
    TPictureFrame frame;
    frame.bitmap.SetSize(visible.Width(), visible.Height(), 0);
    frame.position = {visible.left, visible.top};
    frame.delayMs = control.delayMs;
    frame.disposal = control.disposal;
    frame.transparentIndex = control.transparentIndex;
    if (control.transparentIndex >= 0) {
        frame.transparentColor = palette[static_cast<std::size_t>(control.transparentIndex & 0xFF)];
    }
    return frame;
}

// The pixels of the image just described, kept where they fall inside `visible` (the frame's
// rectangle clipped to the logical screen); rows the data does not reach stay transparent.
ReadResult ReadFrame(GifFileType* gif, const Palette& palette, const Control& control, const IntRect& visible) {
    const GifImageDesc& desc = gif->Image;
    ReadResult result{EmptyFrame(palette, control, visible)};
    TPictureFrame& frame = result.frame;
    frame.complete = false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    for (const std::int32_t y : RowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) {
            return result;
        }
        ++result.rows;
        const std::int32_t screenY = desc.Top + y;
        if (screenY < visible.top || screenY >= visible.bottom) {
            continue;
        }
        Color32* row = frame.bitmap.Row(screenY - visible.top);
        for (std::int32_t x = visible.left; x < visible.right; ++x) {
            const GifPixelType index = line[static_cast<std::size_t>(x - desc.Left)];
            row[x - visible.left] = index == control.transparentIndex ? palette[index] & 0x00FFFFFFu : palette[index];
        }
    }
    frame.complete = true;
    return result;
}

// An image without pixels still carries its (empty) data blocks; they are passed over.
bool SkipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) {
        return false;
    }
    while (block != nullptr) {
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) {
            return false;
        }
    }
    return true;
}

// The records of the file one at a time, into the picture: extensions, then the frames they lead.
class Records {
public:
    enum class Step { More, Done, Damaged };

    Records(GifFileType* gif, TPicture& picture, const TGifDecoder::Limits& limits)
        : gif_(gif), picture_(picture), limits_(limits), ramp_(GreyRamp(gif->SColorResolution)) {}

    Step Next() {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif_, &type) == GIF_ERROR) {
            return Damaged(ErrorText(gif_->Error));
        }
        if (type == TERMINATE_RECORD_TYPE) {
            return Step::Done;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            return ReadExtension(gif_, control_, picture_) ? Step::More : Damaged(ErrorText(gif_->Error));
        }
        if (type != IMAGE_DESC_RECORD_TYPE) {
            return Damaged("an unknown record");
        }
        if (DGifGetImageDesc(gif_) == GIF_ERROR) {
            return Damaged(ErrorText(gif_->Error));
        }
        return NextFrame();
    }

    const std::string& Why() const { return why_; }

private:
    Step Damaged(std::string why) {
        why_ = std::move(why);
        return Step::Damaged;
    }

    Step NextFrame() {
        const GifImageDesc& desc = gif_->Image;
        const std::int64_t declared = std::int64_t{desc.Width} * desc.Height;
        if (declared > kMaxPicturePixels) {
            return Damaged("a frame of " + BeyondCap(desc.Width, desc.Height));
        }
        // A frame reaching out of the logical screen shows the part inside it.
        const IntRect screen{0, 0, picture_.size.width, picture_.size.height};
        const IntRect visible = IntRect::FromSize(desc.Left, desc.Top, desc.Width, desc.Height).Intersect(screen);
        const std::int64_t cost = std::int64_t{visible.Width()} * visible.Height();
        if (picture_.frames.size() >= static_cast<std::size_t>(limits_.frames) || pixels_ + cost > limits_.pixels) {
            return Step::Done;
        }
        const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif_->SColorMap;
        const Palette palette = map != nullptr ? PaletteOf(*map) : ramp_;
        ReadResult read;
        if (declared == 0) {
            if (!SkipImageData(gif_)) {
                return Damaged(ErrorText(gif_->Error));
            }
            read.frame = EmptyFrame(palette, control_, IntRect{});
        } else {
            read = ReadFrame(gif_, palette, control_, visible);
            if (read.rows == 0) {
                return Damaged(ErrorText(gif_->Error));
            }
        }
        const bool complete = read.frame.complete;
        picture_.frames.push_back(std::move(read.frame));
        pixels_ += cost;
        control_ = {};
        // A frame cut off by damage shows the rows read so far and is the last.
        return complete ? Step::More : Step::Done;
    }

    GifFileType* gif_;
    TPicture& picture_;
    const TGifDecoder::Limits& limits_;
    const Palette ramp_;
    Control control_;
    std::int64_t pixels_ = 0;
    std::string why_;
};

}  // namespace

bool TGifDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    Source source{bytes};
    std::string why;
    stated_ = {};
    const GifFile gif = OpenGif(source, why, &stated_);
    opened_ = gif != nullptr;
    size_ = opened_ ? IntSize{gif->SWidth, gif->SHeight} : IntSize{};
    SetFailure(why);
    return opened_;
}

std::optional<TPicture> TGifDecoder::Frames() {
    if (!opened_) {
        return std::nullopt;
    }
    return Guarded([this] { return Decode(); });
}

std::optional<TPicture> TGifDecoder::Decode() {
    Source source{bytes_};
    std::string why;
    const GifFile gif = OpenGif(source, why);
    if (!gif) {
        SetFailure(why);
        return std::nullopt;
    }
    TPicture picture;
    picture.size = size_;
    const ColorMapObject* global = gif->SColorMap;
    if (global != nullptr && gif->SBackGroundColor < global->ColorCount) {
        picture.backgroundColor = PaletteOf(*global)[static_cast<std::size_t>(gif->SBackGroundColor & 0xFF)];
    }
    Records records(gif.get(), picture, limits_);
    Records::Step step = Records::Step::More;
    while (step == Records::Step::More) {
        step = records.Next();
    }
    // Damage after a frame ends the animation there; only a first frame that cannot be read at
    // all fails the picture.
    if (picture.frames.empty()) {
        SetFailure(step == Records::Step::Damaged ? records.Why() : "no frame");
        return std::nullopt;
    }
    return picture;
}

}  // namespace gfx
