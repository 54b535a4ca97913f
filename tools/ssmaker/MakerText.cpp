#include "tools/ssmaker/MakerText.h"

#include <algorithm>
#include <filesystem>

#include "common/Paths.h"
#include "common/Trace.h"
#include "platform/Dialogs.h"
#include "platform/WinConst.h"

namespace maker {

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string Ext(const std::string& path) { return core::UpperCase(core::ExtractFileExt(path)); }

void Say(const std::string& text, std::uint32_t icon) {
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    core::Trace("Message box: " + line);
    plat::ShowMessageBox(text, kTitle, icon);
}

void SayRefused(const std::vector<std::string>& lines, const std::string& what) {
    if (lines.empty()) {
        return;
    }
    std::string text = "Not added: the screen saver could not " + what + " these.\n";
    for (const auto& line : lines) {
        text += "\n" + line;
    }
    Say(text, plat::MB_ICONWARNING);
}

}  // namespace maker
