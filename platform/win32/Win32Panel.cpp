// A plain child window that paints itself in one colour; a movie's device draws into it.

#include <windows.h>

#include "platform/Boundary.h"
#include "platform/Panel.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr char kClassName[] = "SaverPanel";

class Win32Panel final : public Panel {
public:
    Win32Panel(Window& parent, const gfx::IntRect& bounds, gfx::TColor color) : color_(color) {
        win32::RegisterWindowClass(kClassName, Proc);
        window_.reset(::CreateWindowExA(0, kClassName, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, bounds.left,
                                        bounds.top, bounds.Width(), bounds.Height(),
                                        reinterpret_cast<HWND>(parent.Handle()), nullptr,
                                        ::GetModuleHandleA(nullptr), this));
    }

    ~Win32Panel() override {
        if (window_) {
            ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
        }
    }

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_.get()); }

    void SetBounds(const gfx::IntRect& b) override {
        ::SetWindowPos(window_.get(), nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }

    gfx::IntRect Bounds() const override {
        RECT r{};
        ::GetWindowRect(window_.get(), &r);
        ::MapWindowPoints(nullptr, ::GetParent(window_.get()), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right, r.bottom};
    }

    void SetColor(gfx::TColor color) override {
        color_ = color;
        ::InvalidateRect(window_.get(), nullptr, TRUE);
    }

    void SetVisible(bool visible) override {
        ::SetWindowPos(window_.get(), visible ? InsertAfter() : nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                           (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW | SWP_NOZORDER));
    }

    bool Visible() const override { return ::IsWindowVisible(window_.get()) != FALSE; }

    void SetEnabled(bool enabled) override { ::EnableWindow(window_.get(), enabled ? TRUE : FALSE); }

    bool Enabled() const override { return ::IsWindowEnabled(window_.get()) != FALSE; }

private:
    // Where the panel goes when it shows: above the image controls, which were made before it or
    // after, but below the windows of controls (the presentation panel), which a movie or Flash
    // item playing in it must not cover.
    HWND InsertAfter() const {
        HWND above = HWND_TOP;
        for (HWND sibling = ::GetWindow(window_.get(), GW_HWNDFIRST); sibling != nullptr;
             sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
            if (sibling != window_.get() && (::GetWindowLongA(sibling, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) == 0) {
                break;
            }
            if (sibling != window_.get()) {
                above = sibling;
            }
        }
        return above;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return AtBoundary("panel procedure", LRESULT{0}, [&]() -> LRESULT {
            const auto* self = win32::WindowObject<const Win32Panel>(hwnd, msg, lParam);
            if (msg == WM_ERASEBKGND && self != nullptr) {
                RECT r{};
                ::GetClientRect(hwnd, &r);
                win32::GdiObject<HBRUSH> brush(::CreateSolidBrush(win32::ToColorRef(self->color_)));
                ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
                return 1;
            }
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        });
    }

    gfx::TColor color_;
    win32::OwnedWindow window_;
};

}  // namespace

std::unique_ptr<Panel> Panel::Create(Window& parent, const gfx::IntRect& bounds, gfx::TColor color) {
    return std::make_unique<Win32Panel>(parent, bounds, color);
}

}  // namespace plat
