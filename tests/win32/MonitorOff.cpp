// Switches a monitor off as a user does in the display settings, for the end-to-end tests: the
// monitor that holds a point of the virtual screen is detached from the desktop and the change is
// applied. The system then turns the output off and tells every top-level window with
// WM_DISPLAYCHANGE. With "wait" it first reads a line from its standard input, so that a test can
// start it ahead and time the change to a moment of its choosing; it says when it waits.
//
//   monitor_off X,Y [wait]     prints the monitor's device name and "off", or why not

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// DISP_CHANGE_SUCCESSFUL or the reason the settings refused.
LONG Detach(const char* device) {
    // A mode of no pixels at a position detaches the monitor; CDS_NORESET stores it until the
    // change of every monitor at once below.
    DEVMODEA none{};
    none.dmSize = sizeof none;
    none.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG stored = ::ChangeDisplaySettingsExA(device, &none, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
    if (stored != DISP_CHANGE_SUCCESSFUL) {
        return stored;
    }
    return ::ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    POINT at{};
    if (argc < 2 || std::sscanf(argv[1], "%ld,%ld", &at.x, &at.y) != 2 ||
        (argc == 3 && std::strcmp(argv[2], "wait") != 0) || argc > 3) {
        std::fprintf(stderr, "usage: monitor_off X,Y [wait]\n");
        return 2;
    }
    const HMONITOR monitor = ::MonitorFromPoint(at, MONITOR_DEFAULTTONULL);
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    if (!monitor || !::GetMonitorInfoA(monitor, &info)) {
        std::printf("no monitor at %ld,%ld\n", at.x, at.y);
        return 1;
    }
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        std::printf("%s is the main monitor\n", info.szDevice);
        return 1;
    }
    if (argc == 3) {
        std::printf("%s waiting\n", info.szDevice);
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin)) {
            return 1;  // the test ended before it gave the word
        }
    }
    const LONG result = Detach(info.szDevice);
    if (result != DISP_CHANGE_SUCCESSFUL) {
        std::printf("%s: the display settings refused (%ld)\n", info.szDevice, result);
        return 1;
    }
    std::printf("%s off\n", info.szDevice);
    return 0;
}
