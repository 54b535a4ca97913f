#include "tests/support/ReferenceTools.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

std::filesystem::path ReferenceToolTest::Put(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::filesystem::path path = Folder() / name;
    WriteBytes(path.string(), bytes);
    return path;
}

std::string RunTool(const std::string& command, const std::string& folder) {
    const std::string log = folder + "/tool.log";
    std::system((command + " > '" + log + "' 2>&1").c_str());
    const std::vector<std::uint8_t> text = ReadBytes(log);
    return {text.begin(), text.end()};
}

gfx::TBitmap32 ReadNetpbm(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadBytes(path);
    std::size_t at = 0;
    const auto line = [&] {
        std::string text;
        while (at < b.size() && b[at] != '\n') {
            text += static_cast<char>(b[at++]);
        }
        ++at;
        return text;
    };
    const std::string magic = line();
    int width = 0;
    int height = 0;
    int depth = 3;
    if (magic == "P7") {
        for (std::string l = line(); l != "ENDHDR"; l = line()) {
            std::sscanf(l.c_str(), "WIDTH %d", &width);
            std::sscanf(l.c_str(), "HEIGHT %d", &height);
            std::sscanf(l.c_str(), "DEPTH %d", &depth);
        }
    } else {
        std::string size = line();
        while (size.starts_with("#")) {
            size = line();
        }
        std::sscanf(size.c_str(), "%d %d", &width, &height);
        line();  // the largest sample value: 255
    }
    gfx::TBitmap32 bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, at += static_cast<std::size_t>(depth)) {
            bitmap.SetPixel(x, y, gfx::MakeColor32(b[at], b[at + 1], b[at + 2], depth == 4 ? b[at + 3] : 255));
        }
    }
    return bitmap;
}

DecodedPicture DecodeWithReason(gfx::TPictureFormat format, const std::vector<std::uint8_t>& bytes) {
    DecodedPicture d;
    d.picture = gfx::DecodePicture(format, bytes, &d.why);
    return d;
}

std::optional<gfx::TPicture> OpenAndDecode(gfx::TPictureDecoder& decoder, const std::vector<std::uint8_t>& bytes) {
    if (!decoder.Open(bytes)) {
        return std::nullopt;
    }
    return decoder.Frames();
}

int MaxDifference(const gfx::TBitmap32& a, const gfx::TBitmap32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return 256;
    }
    int worst = 0;
    for (std::int32_t y = 0; y < a.Height(); ++y) {
        for (std::int32_t x = 0; x < a.Width(); ++x) {
            for (int shift = 0; shift < 32; shift += 8) {
                const int p = static_cast<int>((a.Pixel(x, y) >> shift) & 0xFF);
                const int q = static_cast<int>((b.Pixel(x, y) >> shift) & 0xFF);
                worst = std::max(worst, std::abs(p - q));
            }
        }
    }
    return worst;
}

}  // namespace testing_support
