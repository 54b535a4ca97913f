#include "platform/win32/Win32DialogKeys.h"

#include <algorithm>
#include <vector>

namespace plat::win32 {

namespace {

std::vector<HWND>& Containers() {
    static std::vector<HWND> containers;
    return containers;
}

}  // namespace

void AddDialogKeys(HWND container) { Containers().push_back(container); }

void RemoveDialogKeys(HWND container) { std::erase(Containers(), container); }

bool HandleDialogKeys(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
        return false;
    }
    for (HWND container : Containers()) {
        if ((msg.hwnd == container || ::IsChild(container, msg.hwnd)) && ::IsDialogMessageA(container, &msg)) {
            return true;
        }
    }
    return false;
}

}  // namespace plat::win32
