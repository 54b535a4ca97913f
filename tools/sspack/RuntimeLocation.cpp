#include "tools/sspack/RuntimeLocation.h"

#include <filesystem>

#include "platform/System.h"

namespace fs = std::filesystem;

namespace sspack {

namespace {

// This program's own file. The Linux build links the simulated platform, whose own file is the
// simulated saver's, so it asks the kernel.
fs::path ThisProgram() {
#if defined(_WIN32)
    return fs::path(plat::OwnFileName());
#else
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec);
#endif
}

}  // namespace

std::vector<std::string> RuntimeCandidates() {
    const fs::path folder = ThisProgram().parent_path();
    if (folder.empty()) {
        return {};
    }
    return {(folder / "saver.scr").string(),
            (folder.parent_path().parent_path() / "win32" / "bin" / "saver.scr").lexically_normal().string()};
}

}  // namespace sspack
