#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Shows a modal message box; flags are the MB_ values of WinConst.h. Returns the ID of the button.
int ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags);

struct OpenFileRequest {
    std::string title;
    std::string filter;  // "Description|*.mp3;*.wav|..." pairs
    std::string initialFolder;
    bool multiSelect = false;
};

// The open-file dialog; returns the chosen full paths, empty when cancelled.
std::vector<std::string> ShowOpenFileDialog(const OpenFileRequest& request);

}  // namespace plat
