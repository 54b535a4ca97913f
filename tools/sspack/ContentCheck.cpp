#include "tools/sspack/ContentCheck.h"

#include <utility>

#include "package/ItemKind.h"
#include "tools/sspack/MediaCheck.h"
#include "tools/sspack/PictureCheck.h"

namespace sspack {

const char* const kNoItems = "items: the item list is empty, so the screen saver would show nothing";

namespace {

// The checks of a manifest's pieces, and beside each the file its refusal names.
struct PieceChecks {
    std::vector<std::string> files;
    std::vector<PieceCheck> checks;

    void Add(const std::string& file, PieceCheck check) {
        files.push_back(file);
        checks.push_back(std::move(check));
    }
};

// Every piece of the manifest, in the order its refusals are listed.
PieceChecks ManifestChecks(const Manifest& m) {
    PieceChecks c;
    for (const auto& item : m.items) {
        c.Add(item.file, [&item] { return ItemProblem(item.file, item.record.ItemExt); });
    }
    for (const auto& mask : m.masks) {
        c.Add(mask.file, [&mask] { return MaskProblem(mask.file, mask.record.Kind); });
    }
    for (const auto& sound : m.entrySounds) {
        c.Add(sound.file, [&sound] { return SoundProblem(sound.file); });
    }
    for (const auto& track : m.music) {
        c.Add(track.file, [&track] { return SoundProblem(track.file); });
    }
    const std::pair<const std::string*, const std::string*> pictures[] = {
        {&m.logo, &m.header.LogoExt},
        {&m.background, &m.header.BackgroundExt},
        {&m.exitBanner, &m.header.ExitBannerExt},
    };
    for (const auto& picture : pictures) {
        if (!picture.first->empty()) {
            c.Add(*picture.first, [picture] { return PictureProblem(*picture.first, *picture.second); });
        }
    }
    if (!m.previewImage.empty()) {
        c.Add(m.previewImage, [&m] { return PreviewProblem(m.previewImage); });
    }
    return c;
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

std::vector<std::string> ManifestProblems(const Manifest& m, unsigned workers, const CheckProgress& progress,
                                          std::stop_token stop) {
    std::vector<std::string> problems;
    if (m.items.empty()) {
        problems.emplace_back(kNoItems);
    }
    const PieceChecks pieces = ManifestChecks(m);
    const auto answers = RunChecks(pieces.checks, workers, progress, std::move(stop));
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (answers[i]) {
            problems.push_back(pieces.files[i] + ": " + *answers[i]);
        }
    }
    return problems;
}

}  // namespace sspack
