#include "tests/support/WebpEncoder.h"

#include <memory>
#include <stdexcept>

#include <webp/encode.h>
#include <webp/mux.h>

namespace testing_support {

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t* BgraOf(const gfx::TBitmap32& bitmap) {
    return reinterpret_cast<const std::uint8_t*>(bitmap.Bits());
}

Bytes Taken(WebPData& data) {
    Bytes bytes(data.bytes, data.bytes + data.size);
    WebPDataClear(&data);
    return bytes;
}

struct PictureFree {
    void operator()(WebPPicture* picture) const { WebPPictureFree(picture); }
};

}  // namespace

Bytes EncodeWebp(const gfx::TBitmap32& bitmap, bool lossless, int quality) {
    std::uint8_t* out = nullptr;
    const int stride = bitmap.Width() * 4;
    const std::size_t size = lossless
                                 ? WebPEncodeLosslessBGRA(BgraOf(bitmap), bitmap.Width(), bitmap.Height(), stride, &out)
                                 : WebPEncodeBGRA(BgraOf(bitmap), bitmap.Width(), bitmap.Height(), stride,
                                                  static_cast<float>(quality), &out);
    if (size == 0) {
        throw std::runtime_error("WebP encoding failed");
    }
    Bytes bytes(out, out + size);
    WebPFree(out);
    return bytes;
}

Bytes EncodeAnimatedWebp(const std::vector<WebpFrame>& frames, int loopCount) {
    if (frames.empty()) {
        throw std::runtime_error("no frames");
    }
    const int width = frames.front().bitmap.Width();
    const int height = frames.front().bitmap.Height();
    WebPAnimEncoderOptions options;
    WebPConfig config;
    if (WebPAnimEncoderOptionsInit(&options) == 0 || WebPConfigInit(&config) == 0) {
        throw std::runtime_error("libwebp version mismatch");
    }
    options.anim_params.loop_count = loopCount;
    config.lossless = 1;
    const std::unique_ptr<WebPAnimEncoder, void (*)(WebPAnimEncoder*)> encoder(
        WebPAnimEncoderNew(width, height, &options), WebPAnimEncoderDelete);
    int timestamp = 0;
    for (const WebpFrame& frame : frames) {
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.use_argb = 1;
        picture.width = width;
        picture.height = height;
        const std::unique_ptr<WebPPicture, PictureFree> owned(&picture);
        if (WebPPictureImportBGRA(&picture, BgraOf(frame.bitmap), width * 4) == 0 ||
            WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config) == 0) {
            throw std::runtime_error("WebP animation encoding failed");
        }
        timestamp += frame.delayMs;
    }
    WebPData data;
    WebPDataInit(&data);
    if (WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr) == 0 ||
        WebPAnimEncoderAssemble(encoder.get(), &data) == 0) {
        throw std::runtime_error("WebP animation assembly failed");
    }
    return Taken(data);
}

Bytes WithIccChunk(const Bytes& webp, const Bytes& icc) {
    const WebPData in{webp.data(), webp.size()};
    const std::unique_ptr<WebPMux, void (*)(WebPMux*)> mux(WebPMuxCreate(&in, 1), WebPMuxDelete);
    const WebPData profile{icc.data(), icc.size()};
    WebPData out;
    WebPDataInit(&out);
    if (!mux || WebPMuxSetChunk(mux.get(), "ICCP", &profile, 1) != WEBP_MUX_OK ||
        WebPMuxAssemble(mux.get(), &out) != WEBP_MUX_OK) {
        throw std::runtime_error("WebP mux failed");
    }
    return Taken(out);
}

}  // namespace testing_support
