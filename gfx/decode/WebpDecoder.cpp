#include "gfx/decode/WebpDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include <webp/decode.h>
#include <webp/demux.h>

namespace gfx {

namespace {

// libwebp's own names for its status codes, as its tools print them.
std::string StatusText(VP8StatusCode status) {
    constexpr std::array<const char*, 8> kNames = {"OK",        "OUT_OF_MEMORY", "INVALID_PARAM",
                                                   "BITSTREAM_ERROR", "UNSUPPORTED_FEATURE", "SUSPENDED",
                                                   "USER_ABORT", "NOT_ENOUGH_DATA"};
    const auto index = static_cast<std::size_t>(status);
    return index < kNames.size() ? kNames[index] : "status " + std::to_string(index);
}

struct DemuxFree {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
using Demuxer = std::unique_ptr<WebPDemuxer, DemuxFree>;

struct AnimFree {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};
using AnimDecoder = std::unique_ptr<WebPAnimDecoder, AnimFree>;

WebPData DataOf(std::span<const std::uint8_t> bytes) { return {bytes.data(), bytes.size()}; }

// Why the demuxer (and with it the animation decoder) refuses the bytes.
std::string DemuxFailure(std::span<const std::uint8_t> bytes) {
    const WebPData data = DataOf(bytes);
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    const Demuxer partial(WebPDemuxPartial(&data, &state));
    return state == WEBP_DEMUX_PARSE_ERROR ? StatusText(VP8_STATUS_BITSTREAM_ERROR)
                                           : StatusText(VP8_STATUS_NOT_ENOUGH_DATA);
}

// Pixels come as B, G, R, A bytes with straight alpha: a 32-bit pixel of ours on the
// little-endian machines we run on.
constexpr WEBP_CSP_MODE kPixelMode = MODE_BGRA;
static_assert(sizeof(Color32) == 4);

}  // namespace

bool TWebpDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    opened_ = false;
    size_ = {};
    stated_ = {};
    iccProfile_.clear();
    WebPBitstreamFeatures features{};
    const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features);
    if (status != VP8_STATUS_OK) {
        SetFailure(StatusText(status));
        return false;
    }
    // An animation's features give its canvas.
    stated_ = {features.width, features.height};
    if (!PictureSizeAllowed(features.width, features.height)) {
        SetFailure(BeyondCap(features.width, features.height));
        return false;
    }
    size_ = stated_;
    decoded_ = size_;
    animated_ = features.has_animation != 0;
    ReadColorProfile();
    opened_ = true;
    ClearFailure();
    return true;
}

void TWebpDecoder::ReadColorProfile() {
    const WebPData data = DataOf(bytes_);
    const Demuxer demux(WebPDemux(&data));
    if (!demux || (WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG) == 0) {
        return;
    }
    WebPChunkIterator chunk{};
    if (WebPDemuxGetChunk(demux.get(), "ICCP", 1, &chunk) != 0) {
        iccProfile_.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
}

std::optional<TPicture> TWebpDecoder::Frames() {
    if (!opened_) {
        return std::nullopt;
    }
    return Guarded([this] { return animated_ ? DecodeAnimation() : DecodeStill(); });
}

void TWebpDecoder::ReduceFor(IntSize drawn) {
    if (!opened_ || animated_ || drawn.width <= 0 || drawn.height <= 0 || size_.width < 2 * drawn.width ||
        size_.height < 2 * drawn.height) {
        return;
    }
    // The larger of the two ratios, so that both sides still cover the place.
    const double scale = std::max(static_cast<double>(drawn.width) / size_.width,
                                  static_cast<double>(drawn.height) / size_.height);
    decoded_ = {std::max(drawn.width, static_cast<std::int32_t>(std::ceil(size_.width * scale))),
                std::max(drawn.height, static_cast<std::int32_t>(std::ceil(size_.height * scale)))};
}

std::optional<TPicture> TWebpDecoder::DecodeStill() {
    TBitmap32 bitmap(decoded_.width, decoded_.height);
    WebPDecoderConfig config;
    if (WebPInitDecoderConfig(&config) == 0) {
        SetFailure(StatusText(VP8_STATUS_INVALID_PARAM));
        return std::nullopt;
    }
    // Straight into the bitmap: no copy of the picture in between.
    config.output.colorspace = kPixelMode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<std::uint8_t*>(bitmap.Bits());
    config.output.u.RGBA.stride = decoded_.width * 4;
    config.output.u.RGBA.size =
        static_cast<std::size_t>(decoded_.width) * 4 * static_cast<std::size_t>(decoded_.height);
    if (decoded_ != size_) {
        config.options.use_scaling = 1;
        config.options.scaled_width = decoded_.width;
        config.options.scaled_height = decoded_.height;
    }
    const VP8StatusCode status = WebPDecode(bytes_.data(), bytes_.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        SetFailure(StatusText(status));
        return std::nullopt;
    }
    return StillPicture(std::move(bitmap));
}

std::optional<TPicture> TWebpDecoder::DecodeAnimation() {
    WebPAnimDecoderOptions options;
    if (WebPAnimDecoderOptionsInit(&options) == 0) {
        SetFailure(StatusText(VP8_STATUS_INVALID_PARAM));
        return std::nullopt;
    }
    options.color_mode = kPixelMode;
    options.use_threads = 0;
    const WebPData data = DataOf(bytes_);
    const AnimDecoder decoder(WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info{};
    if (!decoder || WebPAnimDecoderGetInfo(decoder.get(), &info) == 0) {
        SetFailure(DemuxFailure(bytes_));
        return std::nullopt;
    }
    TPicture picture;
    picture.size = size_;
    if (info.loop_count != 1) {
        picture.loopCount = static_cast<std::uint16_t>(std::min<std::uint32_t>(info.loop_count, 0xFFFF));
    }
    const std::int64_t framePixels = std::int64_t{size_.width} * size_.height;
    const std::size_t frameBytes = static_cast<std::size_t>(framePixels) * 4;
    std::int64_t pixels = 0;
    int previous = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder.get()) != 0) {
        if (picture.frames.size() >= static_cast<std::size_t>(limits_.frames) ||
            pixels + framePixels > limits_.pixels) {
            break;
        }
        std::uint8_t* canvas = nullptr;
        int timestamp = 0;
        if (WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp) == 0) {
            // Damage after a frame ends the animation there.
            if (picture.frames.empty()) {
                SetFailure(StatusText(VP8_STATUS_BITSTREAM_ERROR));
                return std::nullopt;
            }
            break;
        }
        TPictureFrame frame;
        frame.bitmap.SetSize(size_.width, size_.height, 0);
        std::memcpy(frame.bitmap.Bits(), canvas, frameBytes);
        // The timestamp is when the frame ends.
        frame.delayMs = timestamp - previous;
        previous = timestamp;
        frame.disposal = TDisposal::RestoreBackground;
        picture.frames.push_back(std::move(frame));
        pixels += framePixels;
    }
    if (picture.frames.empty()) {
        SetFailure("no frame");
        return std::nullopt;
    }
    return picture;
}

}  // namespace gfx
