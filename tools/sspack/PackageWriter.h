#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

#include "tools/sspack/Manifest.h"

namespace sspack {

// A manifest that is fine but cannot be packed: a file that cannot be read, a package past 2 GiB.
class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The package for a runtime of the given size, byte for byte in the trailer format: segments 1 to
// 10 in table order, the 18 strings, the pieces of the tables (items, masks, entry sounds, music),
// the 220-byte header and the magic. Every size, count, table length and offset is computed here;
// item, mask and entry-sound offsets count from the package's start, music offsets from the start
// of the sound table. FileSizeSlot is the size of the whole built file. Overrides come last.
std::vector<std::uint8_t> BuildPackage(const Manifest& manifest, std::int64_t runtimeSize);

// A build stopped, as its caller asked, before anything was written.
class BuildCancelled : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Told on the building thread how many steps are done of how many.
using BuildProgress = std::function<void(std::size_t done, std::size_t total)>;

struct BuildOptions {
    bool patchNameResource = true;
    // Told after each piece is read (and compressed), and once the file is written: BuildSteps in all.
    BuildProgress progress;
    // Asked before each piece and before the file is written; once stop is requested the build
    // throws BuildCancelled and leaves no file behind.
    std::stop_token cancel;
};

// The steps BuildPackageFile reports: one a file the manifest names, and the writing of the saver.
std::size_t BuildSteps(const Manifest& manifest);

struct BuildResult {
    std::int64_t fileSize = 0;
    bool namePatched = false;  // false also when there was no name field to patch
};

// Writes the runtime (with the saver's name in its name resource, when asked and the runtime has
// that field) followed by the package. The file appears under outputPath only when complete.
BuildResult BuildPackageFile(const Manifest& manifest, std::span<const std::uint8_t> runtime,
                             const std::string& outputPath, const BuildOptions& options = {});

}  // namespace sspack
