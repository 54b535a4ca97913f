#pragma once

// The simulated windows, for tests that look at what the program made of them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/Window.h"

namespace sim {

struct WindowRecord {
    plat::WindowHandle handle = 0;
    std::string caption;
    gfx::IntRect bounds;
    gfx::TColor color = 0;
    plat::WindowState state = plat::WindowState::Normal;
    plat::BorderStyle border = plat::BorderStyle::Sizeable;
    bool stayOnTop = false;
    bool visible = false;
    bool enabled = true;
    bool foreign = false;  // made by another program (the display settings, a preview host)
    int dpi = 0;           // the pixels an inch of its monitor; 0: the machine's
    plat::WindowHandle parent = 0;
    plat::WindowHandle owner = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::vector<std::pair<int, std::uint32_t>> hotKeys;  // id, key
};

// Every window that exists now, ours and foreign, in creation order.
std::vector<WindowRecord> Windows();
const WindowRecord* FindWindow(plat::WindowHandle handle);

// A window of another program, such as "Display Properties" or a preview host.
plat::WindowHandle AddForeignWindow(const std::string& caption, const gfx::IntRect& bounds,
                                    std::uint32_t style = 0, std::uint32_t exStyle = 0);

plat::WindowHandle ForegroundHandle();

// A child window of ours (a panel), and its end; the record is the child's own state.
WindowRecord& AddChildWindow(plat::WindowHandle parent, const gfx::IntRect& bounds);
void RemoveWindow(plat::WindowHandle handle);
WindowRecord* MutableWindow(plat::WindowHandle handle);

// Sends a message straight to one of our windows, as the system sends (not posts) it: the answer
// of the window's procedure filter, or nothing when the message went on to the default handling.
std::optional<std::intptr_t> SendToWindow(const plat::Message& msg);

// Moves one of our windows to a monitor of another pixels-an-inch value, as a user drags it there.
void MoveToDpi(plat::WindowHandle window, int dpi);

// The monitors change (a cable pulled, a lid closed): every top-level window of ours is told, as
// the system's display-change notice does.
void ChangeMonitors(std::vector<gfx::IntRect> monitors);

// Forgets every window (part of Reset).
void ResetWindows();

}  // namespace sim
