// make_tiled_heic PICTURE.png OUT.heic [TILE]: a HEIC in tiles as phones write them, for the tests
// of the real program, which have no encoder of their own for it.

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "gfx/io/ImageFiles.h"
#include "tests/support/TiledHeic.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: make_tiled_heic PICTURE.png OUT.heic [TILE]\n");
        return 2;
    }
    try {
        const auto bytes =
            testing_support::EncodeTiledHeic(gfx::io::ReadPng(argv[1]), argc == 4 ? std::stoi(argv[3]) : 512);
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return out ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_tiled_heic: %s\n", e.what());
        return 1;
    }
}
