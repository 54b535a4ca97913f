#include "bench/BenchPictures.h"

#include <benchmark/benchmark.h>
#include <libheif/heif.h>
#include <webp/decode.h>

#include <fstream>
#include <iterator>

#if SAVER_BENCH_ENCODERS
#include <webp/encode.h>

#include "tests/support/TiledHeic.h"
#endif

namespace bench {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

gfx::TBitmap32 PhotoLike(int width, int height) {
    gfx::TBitmap32 picture(width, height);
    for (int y = 0; y < height; ++y) {
        gfx::Color32* row = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            row[x] = gfx::MakeColor32(static_cast<std::uint8_t>(x * 255 / width),
                                      static_cast<std::uint8_t>(y * 255 / height),
                                      static_cast<std::uint8_t>(((x / 40) ^ (y / 40)) & 1 ? 200 : 60));
        }
    }
    return picture;
}

void PlainHeifDecode(const std::vector<std::uint8_t>& bytes) {
    heif_context* context = heif_context_alloc();
    heif_context_read_from_memory_without_copy(context, bytes.data(), bytes.size(), nullptr);
    heif_image_handle* handle = nullptr;
    heif_context_get_primary_image_handle(context, &handle);
    heif_image* image = nullptr;
    heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr);
    int stride = 0;
    benchmark::DoNotOptimize(heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride));
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
}

void PlainWebpDecode(const std::vector<std::uint8_t>& bytes) {
    int width = 0;
    int height = 0;
    std::uint8_t* pixels = WebPDecodeBGRA(bytes.data(), bytes.size(), &width, &height);
    benchmark::DoNotOptimize(pixels);
    WebPFree(pixels);
}

#if SAVER_BENCH_ENCODERS
std::vector<std::uint8_t> PhoneHeic() {
    return testing_support::EncodeTiledHeic(PhotoLike(kPhoneWidth, kPhoneHeight));
}

std::vector<std::uint8_t> PhoneWebp() {
    const gfx::TBitmap32 picture = PhotoLike(kPhoneWidth, kPhoneHeight);
    std::uint8_t* out = nullptr;
    const std::size_t size = WebPEncodeBGRA(reinterpret_cast<const std::uint8_t*>(picture.Row(0)), picture.Width(),
                                            picture.Height(), picture.Width() * 4, 80, &out);
    std::vector<std::uint8_t> bytes(out, out + size);
    WebPFree(out);
    return bytes;
}
#endif

}  // namespace bench
