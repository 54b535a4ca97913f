#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Color.h"

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

struct SaveFileRequest {
    std::string title;
    std::string filter;  // as for the open-file dialog
    std::string initialFolder;
    std::string fileName;    // offered as the name
    std::string defaultExt;  // added to a name typed without one ("scr")
};

// The save-file dialog, which asks before a file is replaced; the chosen full path, nothing when
// cancelled.
std::optional<std::string> ShowSaveFileDialog(const SaveFileRequest& request);

// The system's folder picker; the chosen folder, nothing when cancelled.
std::optional<std::string> ShowFolderDialog(const std::string& title, const std::string& initialFolder);

// The system's colour dialog, opened on `initial` (0x00BBGGRR); the chosen colour, nothing when
// cancelled.
std::optional<gfx::TColor> ShowColorDialog(gfx::TColor initial);

}  // namespace plat
