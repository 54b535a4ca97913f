// make_tiled_heic PICTURE.png OUT.heic [TILE [SCALE]]: a HEIC in tiles as phones write them, for
// the tests of the real program, which have no encoder of their own for it. With SCALE, each pixel
// of the PNG becomes a square of SCALE pixels a side: a photograph's size from a small file. A PNG
// with transparent pixels gives a HEIC with its alpha in tiles too.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "gfx/io/ImageFiles.h"
#include "tests/support/TiledHeic.h"

namespace {

gfx::TBitmap32 Enlarged(const gfx::TBitmap32& small, int scale) {
    gfx::TBitmap32 large(small.Width() * scale, small.Height() * scale);
    for (int y = 0; y < large.Height(); ++y) {
        const gfx::Color32* in = small.Row(y / scale);
        gfx::Color32* out = large.Row(y);
        for (int x = 0; x < large.Width(); ++x) {
            out[x] = in[x / scale];
        }
    }
    return large;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: make_tiled_heic PICTURE.png OUT.heic [TILE [SCALE]]\n");
        return 2;
    }
    try {
        const int tile = argc >= 4 ? std::stoi(argv[3]) : 512;
        const int scale = argc == 5 ? std::stoi(argv[4]) : 1;
        const gfx::TBitmap32 picture = gfx::io::ReadPng(argv[1]);
        const auto pixels = static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Height());
        const bool alpha = std::any_of(picture.Bits(), picture.Bits() + pixels,
                                       [](gfx::Color32 c) { return gfx::AlphaOf(c) != 255; });
        const auto bytes = testing_support::EncodeTiledHeic(scale > 1 ? Enlarged(picture, scale) : picture, tile, 80,
                                                            {}, alpha);
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return out ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_tiled_heic: %s\n", e.what());
        return 1;
    }
}
