#include "tools/sspack/FolderManifest.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/Paths.h"
#include "gfx/decode/PictureFormats.h"
#include "package/ItemKind.h"
#include "tools/sspack/HeaderSettings.h"
#include "tools/sspack/PictureCheck.h"

namespace fs = std::filesystem;

namespace sspack {

namespace {

// One effect of each kind: "Crossfade", "Zoom In", "Slide From Left", "Unfold From Right",
// "Ellipse Out", "Clock", "Box Out", "Blinds Slide Right", "Diamond Out", "Fade Unfold From Left".
constexpr char kVariedEffects[] = {115, 103, 5, 24, 71, 83, 69, 21, 93, 117};

constexpr std::size_t kStringMax = 0xFFFF;

bool NameBefore(const fs::path& a, const fs::path& b) {
    const std::string x = core::UpperCase(a.filename().string());
    const std::string y = core::UpperCase(b.filename().string());
    return x != y ? x < y : a.filename() < b.filename();
}

std::vector<fs::path> FilesOf(const std::string& folder, const std::string& what) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        Reject(what, Shown(Json(folder)) + " is not a folder");
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && !name.starts_with(".")) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end(), NameBefore);
    return files;
}

}  // namespace

bool IsSlide(const std::string& ext) {
    return pkg::ItemKindOf(ext) == pkg::ItemKind::Video || gfx::PictureFormatOf(ext) != gfx::TPictureFormat::Unknown;
}

FolderFiles SlidesOfFolder(const std::string& folder, const std::string& what) {
    FolderFiles files;
    for (const auto& file : FilesOf(folder, what)) {
        const bool slide = IsSlide(core::UpperCase(core::ExtractFileExt(file.string())));
        (slide ? files.slides : files.others).push_back(file.string());
    }
    return files;
}

FolderManifestResult FolderManifest(const FolderSaver& folder) {
    FolderManifestResult result;
    Manifest& m = result.manifest;
    m.header = DefaultHeader();
    m.header.Loop = !folder.music.empty();
    m.strings[pkg::PackageString::SaverName] = ReadAnsi(Json(folder.name), "--name", kStringMax);
    m.strings[pkg::PackageString::Effect].assign(std::begin(kVariedEffects), std::end(kVariedEffects));

    const FolderFiles files = SlidesOfFolder(folder.pictures, "--pictures");
    for (const auto& file : files.slides) {
        TableEntry<pkg::ItemRecord> item;
        item.file = file;
        item.record.ItemExt = core::UpperCase(core::ExtractFileExt(file));
        m.items.push_back(std::move(item));
    }
    for (const auto& file : files.others) {
        result.leftOut.push_back(file + ": " + kNotAPictureFormat);
    }
    if (m.items.empty()) {
        Reject("--pictures", Shown(Json(folder.pictures)) +
                                 " holds no pictures or videos (JPEG, PNG, GIF, TIFF, BMP, ICO, WMF, EMF, HEIC, HEIF, "
                                 "AVIF, WebP; AVI, ASF, WMV, MPEG, MP4, M4V, MOV)");
    }
    for (std::size_t i = 0; i < folder.music.size(); ++i) {
        const std::string& file = folder.music[i];
        std::error_code ec;
        if (!fs::is_regular_file(file, ec) || !std::ifstream(file, std::ios::binary)) {
            Reject("--music", Shown(Json(file)) + " is not a readable file");
        }
        const std::string ext = core::UpperCase(core::ExtractFileExt(file));
        CheckExtension(ext, "--music", pkg::kExtWidth, " (from the file name " + Shown(Json(file)) + ")");
        TableEntry<pkg::SoundRecord> track;
        track.file = file;
        track.record.ItemExt = ext;
        m.music.push_back(std::move(track));
    }
    return result;
}

}  // namespace sspack
