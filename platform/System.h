#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gfx/Color.h"

namespace plat {

// The program's own file (the running executable).
std::string OwnFileName();

// The command-line arguments after the program name, as the system splits them.
std::vector<std::string> CommandLineArgs();

// Folders, each without a trailing separator unless noted.
std::string SystemFolder();
std::string WindowsFolder();
// The system's temporary path, ending with a separator.
std::string TempPath();
// The current user's "History" shell folder, when the system has one.
std::optional<std::string> HistoryFolder();
// The current user's own application data folder, when the system has one.
std::optional<std::string> AppDataFolder();
// The current user's local (not roaming) application data folder, when the system has one.
std::optional<std::string> LocalAppDataFolder();

struct SystemVersion {
    bool nt = true;
    int major = 0;
    int minor = 0;
};
SystemVersion GetSystemVersion();

// SPI_SETSCREENSAVERRUNNING: tells the system that a screen saver runs.
void SetScreenSaverRunning(bool running);

// SPI_SETSCREENSAVEACTIVE: the screen saver switched on or off, every window told of the change.
void SetScreenSaverActive(bool active);

// SPI_SETDESKWALLPAPER with the given bitmap file, telling every window of the change (the
// caller has written the wallpaper values itself); true when the system took it.
bool SetDesktopWallpaper(const std::string& bitmapPath);

// The colour the system paints a display element in (COLOR_WINDOW 5, COLOR_BTNFACE 15 ...), as
// 0x00BBGGRR; black for an index the system does not know.
gfx::TColor SystemColor(int index);

// Reads an environment variable; empty when it is not set.
std::string GetEnvironment(const std::string& name);

}  // namespace plat
