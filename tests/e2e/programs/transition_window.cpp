// A window of its own with one image control, for the end-to-end tests of the transition engine:
// it shows the old picture, waits until the file GO exists, runs one transition to the new picture
// through the Windows backend and stays open. It traces each step.
//
//   transition_window OLD.png NEW.png EFFECT FRAMES GO

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/Flags.h"
#include "common/Trace.h"
#include "gfx/io/ImageFiles.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/Surface.h"
#include "platform/System.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "transitions/StartTransition.h"
#include "transitions/TransThread.h"

int main() {
    const std::vector<std::string> args = plat::CommandLineArgs();
    if (args.size() != 5) {
        core::Trace("Usage: transition_window OLD.png NEW.png EFFECT FRAMES GO");
        return 2;
    }
    gfx::TBitmap32 oldPicture;
    gfx::TBitmap32 newPicture;
    try {
        oldPicture = gfx::io::ReadPng(args[0]);
        newPicture = gfx::io::ReadPng(args[1]);
    } catch (const gfx::io::ImageFileError& e) {
        core::Trace(std::string("Cannot read a picture: ") + e.what());
        return 1;
    }
    const int effect = std::atoi(args[2].c_str());
    const int frames = std::atoi(args[3].c_str());
    const std::string go = args[4];

    plat::Window::Options options;
    options.caption = "Transition Window";
    options.bounds = newPicture.BoundsRect();
    options.border = plat::BorderStyle::None;
    options.stayOnTop = true;
    plat::WindowEvents events;
    events.onCloseRequest = [] { plat::PostQuit(0); };
    auto window = plat::Window::Create(options, std::move(events));
    auto surface = plat::Surface::Create(*window, newPicture.BoundsRect());
    surface->Bitmap() = oldPicture;
    surface->Changed();
    window->Show();
    core::Trace("Showing the old picture");

    plat::Timer waitForGo;
    waitForGo.SetOnTimer([&] {
        if (!plat::FileExists(go)) {
            return;
        }
        waitForGo.SetEnabled(false);
        core::Trace("Transition started");
        trans::StartTransition(*surface, newPicture, effect, 9, frames, false);
        if (trans::TTransThread* worker = core::Flags().ActiveTransition) {
            worker->OnTerminate = [] { core::Trace("Transition done"); };
        } else {
            core::Trace("Transition done");
        }
    });
    waitForGo.SetInterval(50);
    waitForGo.SetEnabled(true);
    return plat::RunMessageLoop();
}
