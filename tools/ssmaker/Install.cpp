#include "tools/ssmaker/Install.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace maker {

namespace {

constexpr char kFolderName[] = "Screen Savers";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";

bool Forbidden(char c) {
    return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

// Names Windows keeps for its devices, whatever the extension.
bool DeviceName(const std::string& name) {
    static constexpr std::array<std::string_view, 22> kDevices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
    };
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end();
}


// "SCRNSAVE.EXE" is read by a system that may not take long names or spaces.
void MakeCurrentSaver(const std::string& copy) {
    const auto key = plat::RegistryKey::Open(kDesktopKey, true);
    if (!key) {
        throw std::runtime_error("The desktop settings cannot be changed, so the screen saver was copied to " + copy +
                                 " but not made the current one.");
    }
    try {
        key->WriteString("SCRNSAVE.EXE", plat::ShortPathName(copy));
        key->WriteString("ScreenSaveActive", "1");
    } catch (const plat::RegistryError& e) {
        throw std::runtime_error("The desktop settings cannot be changed (" + std::string(e.what()) +
                                 "), so the screen saver was copied to " + copy + " but not made the current one.");
    }
    plat::SetScreenSaverActive(true);
}

}  // namespace

std::string InstalledFileName(const std::string& saverName) {
    std::string name = saverName;
    std::replace_if(name.begin(), name.end(), Forbidden, '_');
    // Windows drops trailing dots and spaces from a file name.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.pop_back();
    }
    if (name.empty()) {
        name = "Screen Saver";
    } else if (DeviceName(name)) {
        name += '_';
    }
    return name + ".scr";
}

std::string InstallSaver(const std::string& builtSaver, const std::string& saverName) {
    const auto localAppData = plat::LocalAppDataFolder();
    if (!localAppData || !plat::DirectoryExists(*localAppData)) {
        throw std::runtime_error("There is no local application data folder to install the screen saver in.");
    }
    const std::string folder = plat::JoinPath(*localAppData, kFolderName);
    if (!plat::CreateFolder(folder)) {
        throw std::runtime_error("The folder " + folder + " cannot be made.");
    }
    const std::string copy = plat::JoinPath(folder, InstalledFileName(saverName));
    if (copy != builtSaver) {
        try {
            plat::CopyFileReplacing(builtSaver, copy);
        } catch (const plat::FileError& e) {
            throw std::runtime_error("The screen saver cannot be copied to " + copy + ": " + e.what());
        }
    }
    MakeCurrentSaver(copy);
    return copy;
}

}  // namespace maker
