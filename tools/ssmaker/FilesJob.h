#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "tools/ssmaker/Job.h"

namespace maker {

// A file as the window takes it in: why the screen saver could not show it, or its thumbnail (null
// when none could be made).
struct FileOutcome {
    std::optional<std::string> problem;
    std::shared_ptr<const gfx::TBitmap32> thumbnail;
};

struct FilesOutcome {
    std::vector<FileOutcome> files;  // one a file, in the order given; empty when cancelled or failed
    bool cancelled = false;
    std::string error;

    static FilesOutcome Failed(std::string error);
};

// The work of taking files in, on every core: each one checked as the screen saver would take it
// as an item (when `check`), and the thumbnail of each it would show made, `side` pixels square.
TJob<FilesOutcome>::Work TakeFilesIn(std::vector<std::string> files, bool check, int side);

}  // namespace maker
