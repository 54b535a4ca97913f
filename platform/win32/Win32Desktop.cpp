// The application's hidden window and the system-wide window services: windows by handle, the
// pointer, monitors, the desktop's picture and hot keys.

#include <windows.h>

#include "platform/Boundary.h"
#include "platform/Window.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

std::function<void()> g_onMinimize;

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE && g_onMinimize) {
        auto onMinimize = g_onMinimize;
        AtBoundary("application window procedure", onMinimize);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND ApplicationWindow() {
    static HWND hwnd = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ApplicationProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SaverApplication";
        ::RegisterClassA(&wc);
        // A zero-sized, never shown top-level window whose caption is the application title.
        return ::CreateWindowExA(0, wc.lpszClassName, "Screen Saver", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS |
                                 WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    }();
    return hwnd;
}

HWND H(WindowHandle h) { return reinterpret_cast<HWND>(h); }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info)) {
        auto* list = reinterpret_cast<std::vector<gfx::IntRect>*>(data);
        const gfx::IntRect r{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
        if (info.dwFlags & MONITORINFOF_PRIMARY) {
            list->insert(list->begin(), r);
        } else {
            list->push_back(r);
        }
    }
    return TRUE;
}

}  // namespace

void SetApplicationTitle(const std::string& title) { ::SetWindowTextA(ApplicationWindow(), title.c_str()); }

std::string ApplicationTitle() {
    char text[512];
    const int n = ::GetWindowTextA(ApplicationWindow(), text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

WindowHandle ApplicationHandle() { return reinterpret_cast<WindowHandle>(ApplicationWindow()); }

void SetApplicationMinimizeHandler(std::function<void()> handler) { g_onMinimize = std::move(handler); }

WindowHandle FindTopLevelWindow(const std::string& caption) {
    return reinterpret_cast<WindowHandle>(::FindWindowA(nullptr, caption.c_str()));
}

void ShowWindowHandle(WindowHandle window, int showCommand) { ::ShowWindow(H(window), showCommand); }

void EnableWindowHandle(WindowHandle window, bool enabled) { ::EnableWindow(H(window), enabled ? TRUE : FALSE); }

bool IsWindowEnabledHandle(WindowHandle window) { return ::IsWindowEnabled(H(window)) != FALSE; }

void SetForegroundWindowHandle(WindowHandle window) { ::SetForegroundWindow(H(window)); }

WindowHandle ForegroundWindow() { return reinterpret_cast<WindowHandle>(::GetForegroundWindow()); }

bool IsWindowHandle(WindowHandle window) { return window != 0 && ::IsWindow(H(window)); }

std::uint32_t WindowStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(::GetWindowLongA(H(window), GWL_STYLE));
}

void SetWindowStyle(WindowHandle window, std::uint32_t style) {
    ::SetWindowLongA(H(window), GWL_STYLE, static_cast<LONG>(style));
}

std::uint32_t WindowExStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(::GetWindowLongA(H(window), GWL_EXSTYLE));
}

void SetWindowExStyle(WindowHandle window, std::uint32_t exStyle) {
    ::SetWindowLongA(H(window), GWL_EXSTYLE, static_cast<LONG>(exStyle));
}

namespace {

BOOL CALLBACK AddDirectChild(HWND child, LPARAM data) {
    auto* found = reinterpret_cast<std::pair<HWND, std::vector<WindowHandle>>*>(data);
    if (::GetParent(child) == found->first) {
        found->second.push_back(reinterpret_cast<WindowHandle>(child));
    }
    return TRUE;
}

}  // namespace

std::vector<WindowHandle> ChildWindows(WindowHandle parent) {
    std::pair<HWND, std::vector<WindowHandle>> found{H(parent), {}};
    ::EnumChildWindows(H(parent), AddDirectChild, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

gfx::IntRect WindowRect(WindowHandle window) {
    RECT r{};
    ::GetWindowRect(H(window), &r);
    if (HWND parent = ::GetParent(H(window)); parent != nullptr && (::GetWindowLongA(H(window), GWL_STYLE) & WS_CHILD)) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return {r.left, r.top, r.right, r.bottom};
}

bool IsWindowVisibleHandle(WindowHandle window) { return ::IsWindowVisible(H(window)) != FALSE; }

int WindowDpi(WindowHandle window) {
    // Per monitor on Windows 10 and later; the system's value before.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow =
        win32::Export<DpiForWindow>(::GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (dpiForWindow != nullptr && window != 0) {
        if (const UINT dpi = dpiForWindow(H(window)); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    win32::WindowDC screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSX);
}

bool KeyIsDown(std::uint32_t key) { return (::GetKeyState(static_cast<int>(key)) & 0x8000) != 0; }

gfx::IntPoint CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}

int ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

std::vector<gfx::IntRect> Monitors() {
    std::vector<gfx::IntRect> list;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    if (list.empty()) {
        list.push_back({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    }
    return list;
}

gfx::IntSize ScreenSize() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

gfx::TBitmap32 CaptureDesktop() {
    const gfx::IntSize size = ScreenSize();
    return CaptureDesktop(gfx::IntRect::FromSize(0, 0, size.width, size.height));
}

gfx::TBitmap32 CaptureDesktop(const gfx::IntRect& area) {
    const gfx::IntSize size = area.Size();
    gfx::TBitmap32 picture(size.width, size.height);
    if (picture.Empty()) {
        return picture;
    }
    win32::WindowDC screen(nullptr);
    win32::MemoryDC memory(screen.get());
    win32::Dib dib = win32::CreateDib(screen.get(), size.width, size.height);
    if (!dib.bitmap) {
        return picture;
    }
    {
        win32::SelectGuard select(memory.get(), dib.bitmap.get());
        ::BitBlt(memory.get(), 0, 0, size.width, size.height, screen.get(), area.left, area.top, SRCCOPY);
        ::GdiFlush();
    }
    const std::size_t count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
    for (std::size_t i = 0; i < count; ++i) {
        picture.Bits()[i] = dib.bits[i] | 0xFF000000u;
    }
    return picture;
}

bool RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t key) {
    return ::RegisterHotKey(H(window), id, modifiers, key) != 0;
}

void UnregisterHotKey(WindowHandle window, int id) { ::UnregisterHotKey(H(window), id); }

}  // namespace plat
