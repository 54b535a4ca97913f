#include "slideshow/BitmapFile.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Files.h"

namespace show {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

void Write(plat::File& file, const gfx::TBitmap32& picture) {
    const auto width = static_cast<std::uint32_t>(picture.Width());
    const auto height = static_cast<std::uint32_t>(picture.Height());
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint64_t size = kFileHeader + kInfoHeader + std::uint64_t{stride} * height;
    if (size > 0xFFFFFFFFu) {
        throw plat::FileError("too large for a bitmap file");
    }
    std::array<std::uint8_t, kFileHeader + kInfoHeader> header{};
    std::uint8_t* h = header.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(size));
    Put32(h + 10, kFileHeader + kInfoHeader);
    std::uint8_t* info = h + kFileHeader;
    Put32(info, kInfoHeader);
    Put32(info + 4, width);
    Put32(info + 8, height);
    Put16(info + 12, 1);   // planes
    Put16(info + 14, 24);  // bits a pixel; the compression BI_RGB and the rest stay 0
    Put32(info + 20, stride * height);
    Put32(info + 24, 3780);  // 96 pixels an inch, in pixels a metre
    Put32(info + 28, 3780);
    file.Write(header.data(), header.size());

    std::vector<std::uint8_t> row(stride, 0);
    for (std::int32_t y = picture.Height() - 1; y >= 0; --y) {
        const gfx::Color32* in = picture.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            row[x * 3] = gfx::BlueOf(in[x]);
            row[x * 3 + 1] = gfx::GreenOf(in[x]);
            row[x * 3 + 2] = gfx::RedOf(in[x]);
        }
        file.Write(row.data(), row.size());
    }
}

}  // namespace

void WriteBitmapFile(const std::string& path, const gfx::TBitmap32& picture) {
    plat::File file = plat::File::Create(path);
    try {
        Write(file, picture);
        file.Close();
    } catch (const plat::FileError&) {
        file.Close();
        plat::RemoveFile(path);
        throw;
    }
}

}  // namespace show
