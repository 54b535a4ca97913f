// Above the platform seam (unlike the rest of gfx): the Windows formats go to the platform.

#include "gfx/decode/PictureFile.h"

#include <new>
#include <vector>

#include "common/Trace.h"
#include "gfx/decode/Limits.h"
#include "gfx/decode/PictureFormats.h"
#include "platform/Files.h"
#include "platform/Pictures.h"

namespace gfx {

namespace {

std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path, std::string& why) {
    try {
        plat::File file = plat::File::OpenRead(path);
        const std::int64_t size = file.Size();
        if (size < 0 || size > kMaxPictureFileBytes) {
            why = "the file is larger than 128 MiB";
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.ReadExact(bytes.data(), bytes.size());
        return bytes;
    } catch (const plat::FileError&) {
        why = "the file cannot be read";
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return std::nullopt;
    }
}

std::optional<TPicture> Load(const std::string& path, std::string& why, const TDrawnSize& drawnSize) {
    const TPictureFormat format = PictureFormatOf(path);
    if (format == TPictureFormat::System) {
        auto bitmap = plat::LoadSystemPicture(path);
        if (!bitmap) {
            why = "the picture services cannot read it";
            return std::nullopt;
        }
        if (drawnSize) {
            drawnSize({bitmap->Width(), bitmap->Height()});
        }
        return StillPicture(std::move(*bitmap));
    }
    if (format == TPictureFormat::Unknown) {
        why = "not a picture format";
        return std::nullopt;
    }
    const auto bytes = ReadWhole(path, why);
    return bytes ? DecodePicture(format, *bytes, &why, drawnSize) : std::nullopt;
}

}  // namespace

std::optional<TPicture> LoadPictureFile(const std::string& path, std::string* why, const TDrawnSize& drawnSize) {
    std::string reason;
    auto picture = Load(path, reason, drawnSize);
    if (!picture && why != nullptr) {
        *why = reason;
    }
    if (picture && !reason.empty()) {
        core::Trace("Picture shown without its colour profile: " + reason);
    }
    return picture;
}

}  // namespace gfx
