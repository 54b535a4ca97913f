#include "tools/sspack/ContentCheck.h"

#include "package/ItemKind.h"
#include "tools/sspack/MediaCheck.h"
#include "tools/sspack/PictureCheck.h"

namespace sspack {

const char* const kNoItems = "items: the item list is empty, so the screen saver would show nothing";

namespace {

void Add(std::vector<std::string>& problems, const std::string& file, const std::optional<std::string>& problem) {
    if (problem) {
        problems.push_back(file + ": " + *problem);
    }
}

}  // namespace

std::optional<std::string> ItemProblem(const std::string& path, const std::string& ext) {
    switch (pkg::ItemKindOf(ext)) {
        case pkg::ItemKind::Flash: return MovieProblem(path);
        case pkg::ItemKind::Video: return VideoProblem(path, ext);
        case pkg::ItemKind::Still: break;
    }
    return PictureProblem(path, ext);
}

std::optional<std::string> MaskProblem(const std::string& path, std::uint8_t kind) {
    return PictureProblem(path, kind == 0 ? ".bmp" : kind == 1 ? ".png" : ".gif");
}

std::optional<std::string> PreviewProblem(const std::string& path) { return PictureProblem(path, ".BMP"); }

std::vector<std::string> ManifestProblems(const Manifest& m) {
    std::vector<std::string> problems;
    if (m.items.empty()) {
        problems.emplace_back(kNoItems);
    }
    for (const auto& item : m.items) {
        Add(problems, item.file, ItemProblem(item.file, item.record.ItemExt));
    }
    for (const auto& mask : m.masks) {
        Add(problems, mask.file, MaskProblem(mask.file, mask.record.Kind));
    }
    for (const auto& sound : m.entrySounds) {
        Add(problems, sound.file, SoundProblem(sound.file));
    }
    for (const auto& track : m.music) {
        Add(problems, track.file, SoundProblem(track.file));
    }
    const std::pair<const std::string&, const std::string&> pictures[] = {
        {m.logo, m.header.LogoExt},
        {m.background, m.header.BackgroundExt},
        {m.exitBanner, m.header.ExitBannerExt},
    };
    for (const auto& [file, ext] : pictures) {
        if (!file.empty()) {
            Add(problems, file, PictureProblem(file, ext));
        }
    }
    if (!m.previewImage.empty()) {
        Add(problems, m.previewImage, PreviewProblem(m.previewImage));
    }
    return problems;
}

}  // namespace sspack
