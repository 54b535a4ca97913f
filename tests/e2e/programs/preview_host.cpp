// Stands in for the display settings: a window with a child window as the preview area. It writes
// the area's handle, in decimal, to HANDLE_FILE, then every 200 ms the windows inside the area
// (x y width height visible, one a line) to REPORT_FILE, until it is closed.
//
//   preview_host HANDLE_FILE REPORT_FILE

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/System.h"
#include "platform/Timer.h"
#include "platform/Window.h"

namespace {
constexpr std::uint32_t kChildStyle = 0x40000000 | 0x10000000 | 0x04000000;  // child, visible, clip siblings
}

int main() {
    const std::vector<std::string> args = plat::CommandLineArgs();
    if (args.size() != 2) {
        return 2;
    }
    plat::Window::Options options;
    options.caption = "Preview Host";
    options.bounds = gfx::IntRect::FromSize(100, 80, 300, 200);
    options.border = plat::BorderStyle::None;
    options.color = 0xFFFFFF;
    plat::WindowEvents events;
    events.onCloseRequest = [] { plat::PostQuit(0); };
    auto window = plat::Window::Create(options, std::move(events));
    window->Show();

    plat::Window::Options areaOptions;
    areaOptions.bounds = gfx::IntRect::FromSize(0, 0, 300, 200);
    areaOptions.border = plat::BorderStyle::None;
    areaOptions.color = 0xFFFFFF;
    auto area = plat::Window::Create(areaOptions, {});
    plat::SetWindowStyle(area->Handle(), kChildStyle);
    area->SetParentWindow(window->Handle());
    area->SetBounds(areaOptions.bounds);
    area->Show();
    std::ofstream(args[0]) << area->Handle() << "\n";

    plat::Timer report(
        [&] {
            std::ofstream out(args[1], std::ios::trunc);
            for (const plat::WindowHandle child : plat::ChildWindows(area->Handle())) {
                const gfx::IntRect r = plat::WindowRect(child);
                out << r.left << " " << r.top << " " << r.Width() << " " << r.Height() << " "
                    << plat::IsWindowVisibleHandle(child) << "\n";
            }
        },
        200, true);
    return plat::RunMessageLoop();
}
