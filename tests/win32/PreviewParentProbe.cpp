// Stands in for display settings that drop a preview without a word: a window with a child window
// as the preview area. It writes the area's handle, in decimal, to HANDLE_FILE; once a preview has
// lain in the area for a second it destroys the area (and so the preview's window with it), writes
// "destroyed" to DESTROYED_FILE and runs on, its own window still up, until it is ended.
//
//   preview_parent_probe HANDLE_FILE DESTROYED_FILE

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/System.h"
#include "platform/Timer.h"
#include "platform/Window.h"

namespace {

constexpr std::uint32_t kChildStyle = 0x40000000 | 0x10000000 | 0x04000000;  // child, visible, clip siblings
constexpr std::uint32_t kPollMs = 100;
constexpr int kPollsBeforeDestroying = 10;

std::unique_ptr<plat::Window> MakeWindow(const gfx::IntRect& bounds, plat::WindowEvents events = {}) {
    plat::Window::Options options;
    options.caption = "Preview Parent Probe";
    options.bounds = bounds;
    options.border = plat::BorderStyle::None;
    options.color = 0xFFFFFF;
    return plat::Window::Create(options, std::move(events));
}

}  // namespace

int main() {
    const std::vector<std::string> args = plat::CommandLineArgs();
    if (args.size() != 2) {
        return 2;
    }
    plat::WindowEvents events;
    events.onCloseRequest = [] { plat::PostQuit(0); };
    const auto window = MakeWindow(gfx::IntRect::FromSize(100, 80, 300, 200), std::move(events));
    window->Show();

    std::unique_ptr<plat::Window> area = MakeWindow(gfx::IntRect::FromSize(0, 0, 300, 200));
    plat::SetWindowStyle(area->Handle(), kChildStyle);
    area->SetParentWindow(window->Handle());
    area->SetBounds(gfx::IntRect::FromSize(0, 0, 300, 200));
    area->Show();
    std::ofstream(args[0]) << area->Handle() << "\n";

    int pollsWithPreview = 0;
    plat::Timer poll;
    poll.SetOnTimer([&] {
        if (!area || plat::ChildWindows(area->Handle()).empty() || ++pollsWithPreview < kPollsBeforeDestroying) {
            return;
        }
        poll.SetEnabled(false);
        area.reset();  // destroys the area, and the child windows in it
        std::ofstream(args[1]) << "destroyed\n";
    });
    poll.SetInterval(kPollMs);
    poll.SetEnabled(true);
    return plat::RunMessageLoop();
}
