#include "host/Saver.h"

#include <cstdint>
#include <memory>

#include "common/Flags.h"
#include "common/Trace.h"
#include "host/SSWindow.h"
#include "host/ScreenSaver.h"
#include "platform/Dialogs.h"
#include "platform/Flash.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/WinConst.h"
#include "platform/Window.h"

namespace host {

namespace {

constexpr std::uint32_t kParentWatchMs = 250;

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

// A preview ends with the window it lies in, however that window goes: the system destroys it with
// its child, or its program ends, and no close message reaches the preview. While the preview runs
// its parent is looked at now and then; once it is gone the preview closes as when it is told to.
// A handle that was no window to begin with gives nothing to watch.
std::unique_ptr<plat::Timer> WatchPreviewParent(TSSWindow& window) {
    const TScreenSaver* screenSaver = window.ScreenSaver();
    const plat::WindowHandle parent = screenSaver != nullptr ? screenSaver->PreviewParent() : 0;
    if (!core::Flags().PreviewMode || parent == 0 || !plat::IsWindowHandle(parent)) {
        return nullptr;
    }
    auto watch = std::make_unique<plat::Timer>();
    watch->SetOnTimer([&window, parent, timer = watch.get()] {
        if (!plat::IsWindowHandle(parent)) {
            timer->SetEnabled(false);
            core::Trace("Preview parent gone");
            window.Close();
        }
    });
    watch->SetInterval(kParentWatchMs);
    watch->SetEnabled(true);
    return watch;
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
        const std::unique_ptr<plat::Timer> parentWatch = WatchPreviewParent(*window);
        code = plat::RunMessageLoop();
    }
    window.reset();
    return code;
}

}  // namespace host
