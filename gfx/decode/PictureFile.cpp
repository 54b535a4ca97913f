// Above the platform seam (unlike the rest of gfx): the Windows formats go to the platform.

#include "gfx/decode/PictureFile.h"

#include <new>
#include <vector>

#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureFormats.h"
#include "platform/Files.h"
#include "platform/Pictures.h"

namespace gfx {

namespace {

std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path) {
    try {
        plat::File file = plat::File::OpenRead(path);
        const std::int64_t size = file.Size();
        if (size < 0 || size > kMaxPictureFileBytes) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.ReadExact(bytes.data(), bytes.size());
        return bytes;
    } catch (const plat::FileError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<TPicture> LoadPictureFile(const std::string& path) {
    const TPictureFormat format = PictureFormatOf(path);
    if (format == TPictureFormat::System) {
        auto bitmap = plat::LoadSystemPicture(path);
        return bitmap ? std::optional<TPicture>(StillPicture(std::move(*bitmap))) : std::nullopt;
    }
    if (format == TPictureFormat::Unknown) {
        return std::nullopt;
    }
    const auto bytes = ReadWhole(path);
    return bytes ? DecodePicture(format, *bytes) : std::nullopt;
}

}  // namespace gfx
