#pragma once

#include <string>

namespace maker {

// The file name a saver of this name is installed under: "<name>.scr", with every character
// Windows forbids in file names replaced by "_" (and a name Windows keeps for a device, or none
// at all, made usable).
std::string InstalledFileName(const std::string& saverName);

// Makes the built saver the user's screen saver, as the shell's "Install" does: copies it into
// the user's local application data folder, subfolder "Screen Savers" (replacing an earlier copy),
// points the desktop's "SCRNSAVE.EXE" at the copy's short path and switches the screen saver on.
// Returns the copy's path; throws std::runtime_error, with a message for the user, when it cannot.
std::string InstallSaver(const std::string& builtSaver, const std::string& saverName);

}  // namespace maker
