#include "host/Saver.h"

#include <memory>

#include "common/Flags.h"
#include "common/Trace.h"
#include "host/SSWindow.h"
#include "host/ScreenSaver.h"
#include "platform/Dialogs.h"
#include "platform/Flash.h"
#include "platform/MessageLoop.h"
#include "platform/WinConst.h"
#include "platform/Window.h"

namespace host {

namespace {

// The main window; when the package carries the Flash player and the player control cannot be
// made, the control is installed from the package and the window made once more.
std::unique_ptr<TSSWindow> CreateMainWindow() {
    try {
        return std::make_unique<TSSWindow>();
    } catch (const plat::FlashUnavailable&) {
        core::Trace("Flash player missing");
    }
    try {
        InstallFlashPlayer("", true);
    } catch (const std::exception&) {
        // Reading the own file or writing the copy failed: the second attempt fails in turn.
    }
    try {
        return std::make_unique<TSSWindow>();
    } catch (const std::exception&) {
        core::Trace("Message box: unable to find the Flash player");
        plat::ShowMessageBox("Unable to find Macromedia Shockwave Flash.", "Screen Saver", plat::MB_ICONWARNING);
        return nullptr;
    }
}

}  // namespace

int RunSaver(const std::function<void(TSSWindow&)>& onCreated) {
    plat::SetApplicationTitle("Screen Saver");
    std::unique_ptr<TSSWindow> window = CreateMainWindow();
    if (!window) {
        return 0;
    }
    int code = 0;
    if (!plat::Terminated()) {
        if (!core::Flags().SaverActive) {
            window->CreateConfigWindows();
        }
    }
    if (onCreated) {
        onCreated(*window);
    }
    if (!plat::Terminated()) {
        // The loop shows the main window first, or minimizes the application with it.
        if (window->Window().GetWindowState() == plat::WindowState::Minimized) {
            plat::ShowWindowHandle(plat::ApplicationHandle(), plat::SW_MINIMIZE);
        } else {
            window->ShowForm();
        }
        code = plat::RunMessageLoop();
    }
    window.reset();
    return code;
}

}  // namespace host
