#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace plat {

struct Message;

// A system window handle (the HWND value); 0 is none.
using WindowHandle = std::uintptr_t;

enum class WindowState { Normal, Minimized, Maximized };
enum class BorderStyle { None, Dialog, Sizeable };

// Events of a window of our own; each runs on the main thread inside the message loop.
struct WindowEvents {
    std::function<void()> onCloseRequest;  // close box, WM_CLOSE or Close()
    std::function<void()> onShow;
    std::function<void()> onHide;
    std::function<void()> onPaint;         // after the backend repainted its surfaces
    std::function<void(int dpi)> onDpiChanged;  // moved to a monitor of another pixels-an-inch value
    std::function<void()> onDisplayChange;      // a monitor came, went, moved or changed its size
    // Sees every message sent or posted to the window before the default handling; returning a
    // value answers the message and stops it there.
    std::function<std::optional<std::intptr_t>(const Message&)> filter;
};

// A top-level window of the program (the main window, the windows over the other monitors, side windows).
class Window {
public:
    struct Options {
        std::string caption;
        gfx::IntRect bounds{0, 0, 637, 541};
        gfx::TColor color = 0;  // black
        BorderStyle border = BorderStyle::Sizeable;
        bool stayOnTop = false;
        WindowHandle owner = 0;
    };

    static std::unique_ptr<Window> Create(const Options& options, WindowEvents events);
    virtual ~Window() = default;

    virtual WindowHandle Handle() const = 0;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetColor(gfx::TColor color) = 0;
    virtual gfx::TColor Color() const = 0;

    // Outer bounds in screen pixels, or in the parent's client pixels for a child.
    virtual void SetBounds(const gfx::IntRect& bounds) = 0;
    virtual gfx::IntRect Bounds() const = 0;
    virtual void SetClientSize(gfx::IntSize size) = 0;
    virtual gfx::IntSize ClientSize() const = 0;
    virtual void CenterOnScreen() = 0;

    virtual void SetWindowState(WindowState state) = 0;
    virtual WindowState GetWindowState() const = 0;
    virtual void SetBorderStyle(BorderStyle border) = 0;
    virtual BorderStyle GetBorderStyle() const = 0;
    virtual void SetStayOnTop(bool onTop) = 0;
    virtual bool StayOnTop() const = 0;

    // Makes the window a child of a foreign window (the preview host); 0 makes it top-level again.
    virtual void SetParentWindow(WindowHandle parent) = 0;

    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    // Asks the window to close: onCloseRequest runs from the message loop.
    virtual void Close() = 0;
};

// The application's own hidden top-level window, whose caption is the application title.
void SetApplicationTitle(const std::string& title);
std::string ApplicationTitle();
WindowHandle ApplicationHandle();
// Runs when the application is minimized (for instance by the system's "show the desktop").
void SetApplicationMinimizeHandler(std::function<void()> handler);

// Windows by handle, our own or foreign.
WindowHandle FindTopLevelWindow(const std::string& caption);
void ShowWindowHandle(WindowHandle window, int showCommand);
void EnableWindowHandle(WindowHandle window, bool enabled);
bool IsWindowEnabledHandle(WindowHandle window);
void SetForegroundWindowHandle(WindowHandle window);
WindowHandle ForegroundWindow();
bool IsWindowHandle(WindowHandle window);
std::uint32_t WindowStyle(WindowHandle window);
void SetWindowStyle(WindowHandle window, std::uint32_t style);
std::uint32_t WindowExStyle(WindowHandle window);
void SetWindowExStyle(WindowHandle window, std::uint32_t exStyle);
// The direct children of a window, ours or another program's.
std::vector<WindowHandle> ChildWindows(WindowHandle parent);
// A window's rectangle: in its parent's client pixels for a child, in screen pixels otherwise.
gfx::IntRect WindowRect(WindowHandle window);
bool IsWindowVisibleHandle(WindowHandle window);

// Pixels an inch of the monitor a window shows on: 96 is 100 %.
int WindowDpi(WindowHandle window);

// Whether a key (VK_CONTROL, VK_SHIFT ...) is held down now.
bool KeyIsDown(std::uint32_t key);

// The pointer.
gfx::IntPoint CursorPos();
// The system's show-cursor counter; returns the new count.
int ShowCursor(bool show);

// Monitors in physical pixels; index 0 is the primary one.
std::vector<gfx::IntRect> Monitors();
gfx::IntSize ScreenSize();

// A copy of what the desktop shows now, the size of the primary monitor.
gfx::TBitmap32 CaptureDesktop();
// The same of one area of the desktop, such as another monitor's rectangle.
gfx::TBitmap32 CaptureDesktop(const gfx::IntRect& area);

// System-wide hot keys, reported to the window as WM_HOTKEY.
bool RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t key);
void UnregisterHotKey(WindowHandle window, int id);

}  // namespace plat
