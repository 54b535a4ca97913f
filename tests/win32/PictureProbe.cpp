// Prints what the Windows picture and text services make of things, for the end-to-end tests:
//   picture_probe picture FILE X,Y...   the picture's size, then its pixels at the points
//   picture_probe metafiles FOLDER      writes t.emf and t.wmf there, drawn through GDI
//   picture_probe text                  measurements, and what rendering changed

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Pictures.h"
#include "platform/Text.h"

namespace {

int Picture(int argc, char** argv) {
    const auto picture = plat::LoadSystemPicture(argv[2]);
    if (!picture) {
        std::printf("nothing\n");
        return 0;
    }
    std::printf("%d %d", picture->Width(), picture->Height());
    for (int i = 3; i < argc; ++i) {
        int x = 0;
        int y = 0;
        std::sscanf(argv[i], "%d,%d", &x, &y);
        std::printf(" %08X", picture->Pixel(x, y));
    }
    std::printf("\n");
    return 0;
}

// An enhanced metafile one inch by half an inch with a red square at its left; a placeable
// Windows metafile of the same size, 1440 units an inch, whose left half is blue.
int Metafiles(const std::string& folder) {
    const RECT frame{0, 0, 2540, 1270};
    HDC emf = ::CreateEnhMetaFileA(nullptr, (folder + "\\t.emf").c_str(), &frame, nullptr);
    ::SetMapMode(emf, MM_ANISOTROPIC);
    ::SetWindowExtEx(emf, 100, 50, nullptr);
    ::SetViewportExtEx(emf, ::GetDeviceCaps(emf, LOGPIXELSX), ::GetDeviceCaps(emf, LOGPIXELSY) / 2, nullptr);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    const RECT square{0, 0, 50, 50};
    ::FillRect(emf, &square, red);
    ::DeleteEnhMetaFile(::CloseEnhMetaFile(emf));
    ::DeleteObject(red);

    HDC wmf = ::CreateMetaFileA(nullptr);
    ::SetWindowOrgEx(wmf, 0, 0, nullptr);
    ::SetWindowExtEx(wmf, 1440, 720, nullptr);
    HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
    ::SelectObject(wmf, blue);
    ::SelectObject(wmf, ::GetStockObject(NULL_PEN));
    ::Rectangle(wmf, 0, 0, 721, 721);
    HMETAFILE metafile = ::CloseMetaFile(wmf);
    ::DeleteObject(blue);
    std::vector<unsigned char> bits(::GetMetaFileBitsEx(metafile, 0, nullptr));
    ::GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
    ::DeleteMetaFile(metafile);
    const WORD header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 1440, 720, 1440, 0, 0, 0};
    WORD sum = 0;
    for (int i = 0; i < 10; ++i) {
        sum ^= header[i];
    }
    std::ofstream out(folder + "\\t.wmf", std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), 20);
    out.write(reinterpret_cast<const char*>(&sum), 2);
    out.write(reinterpret_cast<const char*>(bits.data()), static_cast<std::streamsize>(bits.size()));
    return 0;
}

// Renders into a half-transparent bitmap and counts the pixels that changed, took the colour
// exactly, lie outside the measured block (give or take two pixels) or kept a partial alpha.
void Render(const plat::Font& font, const char* label) {
    constexpr gfx::Color32 kBackground = 0x80204060;
    const gfx::IntSize size = plat::MeasureText(font, "Title");
    gfx::TBitmap32 target(200, 80, kBackground);
    plat::RenderText(target, {10, 10}, font, "Title");
    int changed = 0, exact = 0, outside = 0, partial = 0, solidRows = 0;
    for (int y = 0; y < target.Height(); ++y) {
        int colourInRow = 0;
        for (int x = 0; x < target.Width(); ++x) {
            const gfx::Color32 c = target.Pixel(x, y);
            colourInRow += c == font.color;
            if (c == kBackground) {
                continue;
            }
            ++changed;
            exact += c == font.color;
            outside += x < 8 || x >= 12 + size.width || y < 10 || y >= 10 + size.height;
            partial += gfx::AlphaOf(c) < gfx::AlphaOf(kBackground);
        }
        solidRows += colourInRow >= size.width - 2;
    }
    std::printf("%s %d %d %d %d %d\n", label, changed, exact, outside, partial, solidRows);
}

int Text() {
    const plat::Font font{"Arial", 20, 0, 0xFFE01010, true};
    const gfx::IntSize one = plat::MeasureText(font, "Title");
    const gfx::IntSize two = plat::MeasureText(font, "Title\r\nA wider line");
    const gfx::IntSize big = plat::MeasureText(plat::Font{"Arial", 40}, "Title");
    std::printf("measure %d %d %d %d %d %d\n", one.width, one.height, two.width, two.height, big.width, big.height);
    Render(font, "smooth");
    Render(plat::Font{"Arial", 20, 0, 0xFFE01010, false}, "sharp");
    Render(plat::Font{"Arial", 20, plat::kFontUnderline, 0xFFE01010, false}, "underlined");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "picture" && argc > 2) {
        return Picture(argc, argv);
    }
    if (command == "metafiles" && argc > 2) {
        return Metafiles(argv[2]);
    }
    if (command == "text") {
        return Text();
    }
    std::fprintf(stderr, "usage: picture_probe picture FILE X,Y... | metafiles FOLDER | text\n");
    return 2;
}
