#include <windows.h>
#include <shlobj.h>

#include "platform/CommandLine.h"
#include "platform/System.h"

namespace plat {

std::string OwnFileName() {
    char path[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n);
}

std::vector<std::string> CommandLineArgs() {
    std::vector<std::string> args = plat::SplitCommandLine(::GetCommandLineA());
    if (!args.empty()) {
        args.erase(args.begin());  // the program itself
    }
    return args;
}

std::string SystemFolder() {
    char path[MAX_PATH];
    const UINT n = ::GetSystemDirectoryA(path, sizeof path);
    return std::string(path, n < sizeof path ? n : 0);
}

std::string WindowsFolder() {
    char path[MAX_PATH];
    const UINT n = ::GetWindowsDirectoryA(path, sizeof path);
    return std::string(path, n < sizeof path ? n : 0);
}

std::string TempPath() {
    char path[MAX_PATH + 1];
    const DWORD n = ::GetTempPathA(sizeof path, path);
    return std::string(path, n < sizeof path ? n : 0);
}

std::optional<std::string> HistoryFolder() {
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_HISTORY, &list)) || list == nullptr) {
        return std::nullopt;
    }
    char path[MAX_PATH];
    const BOOL ok = ::SHGetPathFromIDListA(list, path);
    ::CoTaskMemFree(list);
    if (!ok) {
        return std::nullopt;
    }
    return std::string(path);
}

std::optional<std::string> AppDataFolder() {
    char path[MAX_PATH];
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::nullopt;
    }
    return std::string(path);
}

std::optional<std::string> LocalAppDataFolder() {
    char path[MAX_PATH];
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::nullopt;
    }
    return std::string(path);
}

SystemVersion GetSystemVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    return {info.dwPlatformId == VER_PLATFORM_WIN32_NT, static_cast<int>(info.dwMajorVersion),
            static_cast<int>(info.dwMinorVersion)};
}

void SetScreenSaverRunning(bool running) {
    BOOL previous = FALSE;
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &previous, 0);
}

void SetScreenSaverActive(bool active) {
    ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? 1 : 0, nullptr, SPIF_SENDCHANGE | SPIF_UPDATEINIFILE);
}

bool SetDesktopWallpaper(const std::string& bitmapPath) {
    // A null file name here would put the system's default wallpaper back on current systems.
    return ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(bitmapPath.c_str()),
                                   SPIF_SENDWININICHANGE) != 0;
}

// The system answers 0 (black) for an index outside its table.
gfx::TColor SystemColor(int index) { return static_cast<gfx::TColor>(::GetSysColor(index) & 0x00FFFFFFu); }

std::string GetEnvironment(const std::string& name) {
    const DWORD n = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (n == 0) {
        return {};
    }
    std::string value(n, '\0');
    const DWORD got = ::GetEnvironmentVariableA(name.c_str(), value.data(), n);
    value.resize(got < n ? got : 0);
    return value;
}

}  // namespace plat
