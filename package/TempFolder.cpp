#include "package/TempFolder.h"

#include "platform/Files.h"
#include "platform/System.h"

namespace pkg {

namespace {

bool HasHistoryFolder(const plat::SystemVersion& v) {
    return v.nt && ((v.major == 5 && (v.minor == 0 || v.minor == 1)) || v.major == 6);
}

std::string WithDelimiter(std::string folder) {
    if (folder.empty() || folder.back() != plat::PathDelimiter()) {
        folder += plat::PathDelimiter();
    }
    return folder;
}

}  // namespace

std::string TempFolder() {
    if (HasHistoryFolder(plat::GetSystemVersion())) {
        if (const auto history = plat::HistoryFolder()) {
            const auto cut = history->find_last_of(plat::PathDelimiter());
            if (cut != std::string::npos) {
                const std::string folder = history->substr(0, cut + 1) + "Temp";
                if (plat::DirectoryExists(folder)) {
                    return folder + plat::PathDelimiter();
                }
            }
        }
    }
    return WithDelimiter(plat::TempPath());
}

}  // namespace pkg
