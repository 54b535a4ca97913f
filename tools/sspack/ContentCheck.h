#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/sspack/CheckPool.h"
#include "tools/sspack/Manifest.h"

namespace sspack {

// What the screen saver would skip, checked before a build and again in a built saver: each piece
// is taken as the runtime takes it, by what it is and its extension.

// An item: a Flash movie, a video or a picture.
std::optional<std::string> ItemProblem(const std::string& path, const std::string& ext);

// A mask, which the runtime decodes by its kind: 0 bitmap, 1 PNG, anything else GIF.
std::optional<std::string> MaskProblem(const std::string& path, std::uint8_t kind);

// The preview picture, which is always a Windows bitmap.
std::optional<std::string> PreviewProblem(const std::string& path);

// An item list without items, which would show nothing.
extern const char* const kNoItems;

// Every such problem of a manifest's pieces, one line each, "file: reason"; and kNoItems. The
// pieces are checked on `workers` threads (RunChecks); the lines come in the manifest's order all
// the same: items, masks, entry sounds, music, logo, background, exit banner, preview picture.
// Once stop is requested the checks not yet started are skipped, and what they would find is missing.
std::vector<std::string> ManifestProblems(const Manifest& manifest, unsigned workers = 1,
                                          const CheckProgress& progress = {}, std::stop_token stop = {});

}  // namespace sspack
