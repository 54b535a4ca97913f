// The system's own picture services: bitmaps through the loader of the user library.

#include <windows.h>

#include "gfx/decode/Limits.h"
#include "platform/Pictures.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

// The file's extension with its dot, upper-cased.
std::string UpperExtension(const std::string& path) {
    const auto dot = path.find_last_of(".\\/");
    std::string ext = dot != std::string::npos && path[dot] == '.' ? path.substr(dot) : std::string();
    for (char& c : ext) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return ext;
}

}  // namespace

namespace {

std::optional<gfx::TBitmap32> LoadBitmapFile(const std::string& path) {
    win32::GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!loaded) {
        return std::nullopt;
    }
    BITMAP info{};
    if (::GetObjectA(loaded.get(), sizeof info, &info) == 0 || !gfx::PictureSizeAllowed(info.bmWidth, info.bmHeight)) {
        return std::nullopt;
    }
    gfx::TBitmap32 picture(info.bmWidth, info.bmHeight);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;  // top-down rows, as TBitmap32 keeps them
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    win32::WindowDC screen(nullptr);
    if (::GetDIBits(screen.get(), loaded.get(), 0, static_cast<UINT>(info.bmHeight), picture.Bits(), &request,
                    DIB_RGB_COLORS) == 0) {
        return std::nullopt;
    }
    const std::size_t count = static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight);
    for (std::size_t i = 0; i < count; ++i) {
        picture.Bits()[i] |= 0xFF000000u;
    }
    return picture;
}

}  // namespace

std::optional<gfx::TBitmap32> LoadSystemPicture(const std::string& path) {
    const std::string ext = UpperExtension(path);
    if (ext == ".BMP" || ext == ".RLE" || ext == ".DIB") {
        return LoadBitmapFile(path);
    }
    return std::nullopt;
}

}  // namespace plat
