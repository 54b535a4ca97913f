#include "tests/support/Savers.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testing_support {

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(x >> 16);
    }
    return b;
}

Bytes Text(std::size_t n, char seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(seed + static_cast<char>(i % 7));
    }
    return b;
}

Bytes SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    Bytes bmp(54 + stride * static_cast<std::size_t>(height), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
            bmp[at] = b;
            bmp[at + 1] = g;
            bmp[at + 2] = r;
        }
    }
    return bmp;
}

Bytes FakeRuntime() { return Pattern(4096, 200); }

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int SaverTest::Run(const std::string& program, const std::string& args) {
    const std::string command = "cd '" + Dir().Path() + "' && '" + program + "' " + args + " >'" + Path("out.txt") +
                                "' 2>'" + Path("err.txt") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SaverTest::Out() { return ReadText(Path("out.txt")); }

std::string SaverTest::Err() { return ReadText(Path("err.txt")); }

}  // namespace testing_support
