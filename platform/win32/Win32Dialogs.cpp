#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

#include "platform/Dialogs.h"

namespace plat {

int ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

std::vector<std::string> ShowOpenFileDialog(const OpenFileRequest& request) {
    // The filter's '|' separators become the zero bytes the dialog expects.
    std::string filter = request.filter + "||";
    for (char& c : filter) {
        if (c == '|') {
            c = '\0';
        }
    }
    std::vector<char> buffer(64 * 1024, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ::GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
                (request.multiSelect ? OFN_ALLOWMULTISELECT : 0);
    if (!::GetOpenFileNameA(&ofn)) {
        return {};
    }
    // One file: its full path. Several: the folder, then each name, each ending in a zero byte.
    std::vector<std::string> parts;
    for (const char* p = buffer.data(); *p != '\0'; p += std::strlen(p) + 1) {
        parts.emplace_back(p);
    }
    if (parts.size() <= 1) {
        return parts;
    }
    std::vector<std::string> files;
    std::string folder = parts[0];
    if (folder.back() != '\\') {
        folder += '\\';
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        files.push_back(folder + parts[i]);
    }
    return files;
}

}  // namespace plat
