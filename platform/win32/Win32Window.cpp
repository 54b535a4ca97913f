// The program's own top-level windows. The window procedure finds its object through the window's
// user data and hands every message to it.

#include <windows.h>

#include "platform/Boundary.h"
#include "platform/MessageLoop.h"
#include "platform/Window.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr char kClassName[] = "SaverWindow";

DWORD StyleFor(BorderStyle border) {
    switch (border) {
        case BorderStyle::None: return WS_POPUP | WS_CLIPCHILDREN;
        case BorderStyle::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
        case BorderStyle::Sizeable: break;
    }
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD ExStyleFor(BorderStyle border) { return border == BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0; }

gfx::IntRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class Win32Window final : public Window {
public:
    Win32Window(const Options& o, WindowEvents events) : events_(std::move(events)), color_(o.color), border_(o.border) {
        win32::RegisterWindowClass(kClassName, Proc);
        hwnd_ = ::CreateWindowExA(ExStyleFor(border_), kClassName, o.caption.c_str(), StyleFor(border_),
                                  o.bounds.left, o.bounds.top, o.bounds.Width(), o.bounds.Height(),
                                  reinterpret_cast<HWND>(o.owner != 0 ? o.owner : ApplicationHandle()), nullptr,
                                  ::GetModuleHandleA(nullptr), this);
        SetStayOnTop(o.stayOnTop);
    }

    ~Win32Window() override {
        if (hwnd_ != nullptr) {
            ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            ::DestroyWindow(hwnd_);
        }
    }

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }

    void SetCaption(const std::string& caption) override { ::SetWindowTextA(hwnd_, caption.c_str()); }

    std::string Caption() const override {
        char text[512];
        const int n = ::GetWindowTextA(hwnd_, text, sizeof text);
        return std::string(text, n > 0 ? n : 0);
    }

    void SetColor(gfx::TColor color) override {
        color_ = color;
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }

    gfx::TColor Color() const override { return color_; }

    void SetBounds(const gfx::IntRect& b) override {
        ::SetWindowPos(hwnd_, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }

    gfx::IntRect Bounds() const override {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        if (HWND parent = ::GetParent(hwnd_); parent != nullptr && (::GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD)) {
            ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        }
        return ToRect(r);
    }

    void SetClientSize(gfx::IntSize size) override {
        RECT r{0, 0, size.width, size.height};
        ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_EXSTYLE)));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    gfx::IntSize ClientSize() const override {
        RECT r{};
        ::GetClientRect(hwnd_, &r);
        return {r.right, r.bottom};
    }

    void CenterOnScreen() override {
        const gfx::IntRect b = Bounds();
        const int x = (::GetSystemMetrics(SM_CXSCREEN) - b.Width()) / 2;
        const int y = (::GetSystemMetrics(SM_CYSCREEN) - b.Height()) / 2;
        ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void SetWindowState(WindowState state) override {
        state_ = state;
        if (::IsWindowVisible(hwnd_)) {
            ApplyState();
        }
    }

    WindowState GetWindowState() const override { return state_; }

    void SetBorderStyle(BorderStyle border) override {
        border_ = border;
        const DWORD keep = static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_STYLE)) & (WS_VISIBLE | WS_CHILD | WS_DISABLED);
        ::SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(StyleFor(border) | keep));
        ::SetWindowLongA(hwnd_, GWL_EXSTYLE,
                         static_cast<LONG>((static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_EXSTYLE)) &
                                            ~static_cast<DWORD>(WS_EX_DLGMODALFRAME)) |
                                           ExStyleFor(border)));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        if (::IsWindowVisible(hwnd_)) {
            ApplyState();
        }
    }

    BorderStyle GetBorderStyle() const override { return border_; }

    void SetStayOnTop(bool onTop) override {
        stayOnTop_ = onTop;
        ::SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    bool StayOnTop() const override { return stayOnTop_; }

    void SetParentWindow(WindowHandle parent) override { ::SetParent(hwnd_, reinterpret_cast<HWND>(parent)); }

    void Show() override {
        // A style copied from another window may carry the visible bit without the window ever
        // having been shown; drop it so that showing paints the window and tells it so.
        const auto style = static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_STYLE));
        if ((style & WS_VISIBLE) != 0 && !shown_) {
            ::SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(WS_VISIBLE)));
        }
        shown_ = true;
        ::ShowWindow(hwnd_, state_ == WindowState::Minimized ? SW_SHOWMINIMIZED : SW_SHOW);
        ApplyState();
        ::UpdateWindow(hwnd_);
        // A window that took the focus before its controls were made hands it to the first of them.
        if (::GetFocus() == hwnd_) {
            if (HWND first = FirstTabStop(hwnd_)) {
                ::SetFocus(first);
            }
        }
    }

    void Hide() override { ::ShowWindow(hwnd_, SW_HIDE); }

    bool Visible() const override { return ::IsWindowVisible(hwnd_) != FALSE; }

    void Close() override { ::PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

private:
    // A borderless maximized window covers its whole monitor, task bar included, in physical pixels.
    void ApplyState() {
        if (state_ == WindowState::Maximized && border_ == BorderStyle::None) {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            ::GetMonitorInfoA(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info);
            const RECT& m = info.rcMonitor;
            ::SetWindowPos(hwnd_, stayOnTop_ ? HWND_TOPMOST : nullptr, m.left, m.top, m.right - m.left,
                           m.bottom - m.top, (stayOnTop_ ? 0 : SWP_NOZORDER) | SWP_FRAMECHANGED);
        } else if (state_ == WindowState::Maximized) {
            ::ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
        } else if (state_ == WindowState::Minimized) {
            ::ShowWindow(hwnd_, SW_SHOWMINIMIZED);
        }
    }

    // The first control that Tab reaches in the window's containers of controls.
    static HWND FirstTabStop(HWND hwnd) {
        for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if ((::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0 && ::IsWindowVisible(child)) {
                if (HWND first = ::GetNextDlgTabItem(child, nullptr, FALSE)) {
                    return first;
                }
            }
        }
        return nullptr;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = win32::WindowObject<Win32Window>(hwnd, msg, lParam);
        if (self == nullptr) {
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        // A message whose handler threw counts as handled.
        return AtBoundary("window procedure", LRESULT{0}, [&] { return self->Handle(hwnd, msg, wParam, lParam); });
    }

    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (events_.filter) {
            const Message m{reinterpret_cast<WindowHandle>(hwnd), msg, wParam, lParam};
            if (const auto answer = events_.filter(m)) {
                return *answer;
            }
        }
        switch (msg) {
            case WM_CLOSE:
                if (events_.onCloseRequest) {
                    events_.onCloseRequest();
                }
                return 0;
            case WM_ERASEBKGND: {
                RECT r{};
                ::GetClientRect(hwnd, &r);
                win32::GdiObject<HBRUSH> brush(::CreateSolidBrush(win32::ToColorRef(color_)));
                ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
                return 1;
            }
            case WM_SHOWWINDOW:
                if (wParam != 0 && events_.onShow) {
                    events_.onShow();
                } else if (wParam == 0 && events_.onHide) {
                    events_.onHide();
                }
                break;
            case WM_ACTIVATE:
                // Like a dialog, the window gives the keyboard focus back to the control that had it.
                if (LOWORD(wParam) == WA_INACTIVE) {
                    focus_ = ::GetFocus();
                    return 0;
                }
                break;
            case WM_SETFOCUS:
                if (HWND child = ::IsWindow(focus_) && ::IsChild(hwnd, focus_) ? focus_ : FirstTabStop(hwnd)) {
                    ::SetFocus(child);
                    return 0;
                }
                break;
            case WM_DPICHANGED: {
                // The system suggests the place that keeps the window's size in inches.
                const auto* suggested = reinterpret_cast<const RECT*>(lParam);
                ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
                if (events_.onDpiChanged) {
                    events_.onDpiChanged(LOWORD(wParam));
                }
                return 0;
            }
            case WM_DISPLAYCHANGE:
                if (events_.onDisplayChange) {
                    events_.onDisplayChange();
                }
                break;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                ::BeginPaint(hwnd, &ps);
                ::EndPaint(hwnd, &ps);
                if (events_.onPaint) {
                    events_.onPaint();
                }
                return 0;
            }
            default:
                break;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    WindowEvents events_;
    HWND hwnd_ = nullptr;
    gfx::TColor color_ = 0;
    BorderStyle border_ = BorderStyle::Sizeable;
    WindowState state_ = WindowState::Normal;
    bool stayOnTop_ = false;
    bool shown_ = false;
    HWND focus_ = nullptr;
};

}  // namespace

std::unique_ptr<Window> Window::Create(const Options& options, WindowEvents events) {
    return std::make_unique<Win32Window>(options, std::move(events));
}

}  // namespace plat
