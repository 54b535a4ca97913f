// The system's own picture services: bitmaps through the loader of the user library, icons drawn
// by the system, metafiles played by GDI.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/decode/IcoDecoder.h"
#include "gfx/decode/Limits.h"
#include "platform/PictureFiles.h"
#include "platform/Pictures.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr int kDpi = 96;
constexpr int kHimetricPerInch = 2540;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeader = 22;

// Lets `draw` paint into a fresh 32-bit DIB of the size, first filled with `fill`, and copies
// the result out.
template <typename Draw>
std::optional<gfx::TBitmap32> Capture(gfx::IntSize size, gfx::Color32 fill, Draw draw) {
    if (!gfx::PictureSizeAllowed(size.width, size.height)) {
        return std::nullopt;
    }
    win32::WindowDC screen(nullptr);
    win32::Dib dib = win32::CreateDib(screen.get(), size.width, size.height);
    win32::MemoryDC dc(screen.get());
    if (!dib.bitmap || dib.bits == nullptr || dc.get() == nullptr) {
        return std::nullopt;
    }
    const win32::SelectGuard select(dc.get(), dib.bitmap.get());
    const std::size_t count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
    std::fill_n(dib.bits, count, fill);
    if (!draw(dc.get())) {
        return std::nullopt;
    }
    ::GdiFlush();
    gfx::TBitmap32 picture(size.width, size.height);
    std::copy_n(dib.bits, count, picture.Bits());
    return picture;
}

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

// A pixel's alpha and colour from the same drawing over black and over white: what shows the
// background is transparent, in proportion.
gfx::Color32 Unblend(gfx::Color32 onBlack, gfx::Color32 onWhite) {
    const int through = (gfx::RedOf(onWhite) - gfx::RedOf(onBlack) + gfx::GreenOf(onWhite) - gfx::GreenOf(onBlack) +
                         gfx::BlueOf(onWhite) - gfx::BlueOf(onBlack)) / 3;
    const int alpha = std::clamp(255 - through, 0, 255);
    if (alpha == 0) {
        return 0;
    }
    const auto colour = [alpha](std::uint8_t c) { return static_cast<std::uint8_t>(std::min(255, c * 255 / alpha)); };
    return gfx::MakeColor32(colour(gfx::RedOf(onBlack)), colour(gfx::GreenOf(onBlack)), colour(gfx::BlueOf(onBlack)),
                            static_cast<std::uint8_t>(alpha));
}

// The icon file's largest image, drawn by the system over black and over white to recover its
// transparency, whether the image has an AND mask or an alpha channel.
std::optional<gfx::TBitmap32> LoadIconFile(const std::string& path) {
    const auto bytes = ReadPictureBytes(path);
    const auto size = bytes ? gfx::LargestIconSize(*bytes) : std::nullopt;
    if (!size) {
        return std::nullopt;
    }
    const win32::Icon icon(static_cast<HICON>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size->width, size->height, LR_LOADFROMFILE)));
    if (!icon) {
        return std::nullopt;
    }
    const auto draw = [&](HDC dc) {
        return ::DrawIconEx(dc, 0, 0, icon.get(), size->width, size->height, 0, nullptr, DI_NORMAL) != FALSE;
    };
    const auto onBlack = Capture(*size, 0xFF000000u, draw);
    auto onWhite = Capture(*size, 0xFFFFFFFFu, draw);
    if (!onBlack || !onWhite) {
        return std::nullopt;
    }
    const std::size_t count = static_cast<std::size_t>(size->width) * static_cast<std::size_t>(size->height);
    for (std::size_t i = 0; i < count; ++i) {
        onWhite->Bits()[i] = Unblend(onBlack->Bits()[i], onWhite->Bits()[i]);
    }
    return onWhite;
}

// A metafile frame in hundredths of a millimetre, as pixels at 96 dots an inch.
gfx::IntSize FrameSize(const RECTL& frame) {
    return {::MulDiv(std::abs(frame.right - frame.left), kDpi, kHimetricPerInch),
            ::MulDiv(std::abs(frame.bottom - frame.top), kDpi, kHimetricPerInch)};
}

// Plays the metafile over white into a picture of the size.
std::optional<gfx::TBitmap32> Play(HENHMETAFILE metafile, gfx::IntSize size) {
    auto picture = Capture(size, 0xFFFFFFFFu, [&](HDC dc) {
        const RECT area{0, 0, size.width, size.height};
        return ::PlayEnhMetaFile(dc, metafile, &area) != FALSE;
    });
    if (picture) {
        const std::size_t count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
        std::for_each_n(picture->Bits(), count, [](gfx::Color32& c) { c |= 0xFF000000u; });
    }
    return picture;
}

std::optional<gfx::TBitmap32> LoadEnhancedMetafile(const std::string& path) {
    const win32::EnhMetaFile metafile(::GetEnhMetaFileA(path.c_str()));
    ENHMETAHEADER header{};
    if (!metafile || ::GetEnhMetaFileHeader(metafile.get(), sizeof header, &header) == 0) {
        return std::nullopt;
    }
    return Play(metafile.get(), FrameSize(header.rclFrame));
}

// A Windows metafile, usually with the placeable header that gives its bounds in units of an inch
// of its own; without it, the size the system's conversion finds.
std::optional<gfx::TBitmap32> LoadWindowsMetafile(const std::string& path) {
    const auto bytes = ReadPictureBytes(path);
    if (!bytes || bytes->size() <= kPlaceableHeader) {
        return std::nullopt;
    }
    const auto& b = *bytes;
    const auto u16 = [&b](std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); };
    const auto i16 = [&u16](std::size_t at) { return static_cast<std::int16_t>(u16(at)); };
    const bool placeable = (u16(0) | (std::uint32_t{u16(2)} << 16)) == kPlaceableKey;
    if (!placeable) {
        const win32::EnhMetaFile metafile(
            ::SetWinMetaFileBits(static_cast<UINT>(b.size()), b.data(), nullptr, nullptr));
        ENHMETAHEADER header{};
        if (!metafile || ::GetEnhMetaFileHeader(metafile.get(), sizeof header, &header) == 0) {
            return std::nullopt;
        }
        return Play(metafile.get(), FrameSize(header.rclFrame));
    }
    const int inch = u16(14);
    const int width = std::abs(i16(10) - i16(6));
    const int height = std::abs(i16(12) - i16(8));
    if (inch == 0) {
        return std::nullopt;
    }
    const METAFILEPICT picture{MM_ANISOTROPIC, ::MulDiv(width, kHimetricPerInch, inch),
                               ::MulDiv(height, kHimetricPerInch, inch), nullptr};
    const win32::EnhMetaFile metafile(::SetWinMetaFileBits(static_cast<UINT>(b.size() - kPlaceableHeader),
                                                           b.data() + kPlaceableHeader, nullptr, &picture));
    if (!metafile) {
        return std::nullopt;
    }
    return Play(metafile.get(), {::MulDiv(width, kDpi, inch), ::MulDiv(height, kDpi, inch)});
}

}  // namespace

std::optional<gfx::TBitmap32> LoadSystemPicture(const std::string& path) {
    const std::string ext = UpperExtension(path);
    if (ext == ".BMP" || ext == ".RLE" || ext == ".DIB") {
        return LoadBitmapFile(path);
    }
    if (ext == ".ICO") {
        return LoadIconFile(path);
    }
    if (ext == ".WMF") {
        return LoadWindowsMetafile(path);
    }
    if (ext == ".EMF") {
        return LoadEnhancedMetafile(path);
    }
    return std::nullopt;
}

}  // namespace plat
