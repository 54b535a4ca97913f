// The image control: a child window whose canvas is a persistent 32-bit top-down DIB section. A copy
// onto the canvas, or a drawing straight into it, writes the DIB and puts the rectangles it changed
// on the window at once; WM_PAINT repaints from the DIB. The backing bitmap reaches the canvas when
// it is marked changed. On a control's area the surface only shows: the pointer and the clicks go to
// the control.

#include <windows.h>

#include <algorithm>

#include "gfx/Blit.h"
#include "platform/Boundary.h"
#include "platform/Surface.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr char kClassName[] = "SaverSurface";

class Win32Surface final : public Surface {
public:
    Win32Surface(WindowHandle parent, const gfx::IntRect& bounds) : bounds_(bounds) {
        win32::RegisterWindowClass(kClassName, Proc);
        window_.reset(::CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, bounds.left,
                                        bounds.top, bounds.Width(), bounds.Height(),
                                        reinterpret_cast<HWND>(parent), nullptr,
                                        ::GetModuleHandleA(nullptr), this));
        MakeCanvas();
    }

    ~Win32Surface() override {
        if (window_) {
            ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
        }
    }

    void SetBounds(const gfx::IntRect& bounds) override {
        const bool resized = bounds.Size() != bounds_.Size();
        bounds_ = bounds;
        ::SetWindowPos(window_.get(), nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (resized) {
            MakeCanvas();
        }
    }

    gfx::IntRect Bounds() const override { return bounds_; }

    void SetVisible(bool visible) override { ::ShowWindow(window_.get(), visible ? SW_SHOWNA : SW_HIDE); }

    bool Visible() const override { return ::IsWindowVisible(window_.get()) != FALSE; }

    gfx::TBitmap32& Bitmap() override { return backing_; }

    void BeginUpdate() override { ++updates_; }

    void EndUpdate() override {
        if (updates_ > 0 && --updates_ == 0) {
            Repaint();
        }
    }

    void Changed() override {
        if (updates_ == 0) {
            Repaint();
        }
    }

    void CopyToCanvas(const gfx::TBitmap32& bitmap, const gfx::IntRect& source, const gfx::IntRect& target) override {
        if (dib_.bits == nullptr) {
            return;
        }
        ::GdiFlush();  // the DIB's memory is ours again only once GDI has finished with it
        gfx::CopyRectStretched(Canvas(), target, bitmap.View(), source);
        const gfx::IntRect r = target.Intersect(Canvas().Bounds());
        if (!r.IsEmpty()) {
            win32::WindowDC dc(window_.get());
            ::BitBlt(dc.get(), r.left, r.top, r.Width(), r.Height(), memory_->get(), r.left, r.top, SRCCOPY);
        }
    }

    void DrawOnCanvas(std::span<const gfx::IntRect> changed, gfx::PixelDraw draw) override {
        if (dib_.bits == nullptr) {
            return;
        }
        ::GdiFlush();
        draw(Canvas());
        win32::WindowDC dc(window_.get());
        for (const gfx::IntRect& c : changed) {
            const gfx::IntRect r = c.Intersect(Canvas().Bounds());
            if (!r.IsEmpty()) {
                ::BitBlt(dc.get(), r.left, r.top, r.Width(), r.Height(), memory_->get(), r.left, r.top, SRCCOPY);
            }
        }
    }

    void CopyFromCanvas(gfx::TBitmap32& bitmap, const gfx::IntRect& rect) const override {
        if (dib_.bits == nullptr) {
            return;
        }
        ::GdiFlush();
        const gfx::PixelView canvas = Canvas();
        const gfx::IntRect r = rect.Intersect(canvas.Bounds()).Intersect(bitmap.BoundsRect());
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* in = canvas.Row(y);
            for (std::int32_t x = r.left; x < r.right; ++x) {
                // A screen has no transparency: what is read is opaque.
                bitmap.SetPixel(x, y, in[x] | 0xFF000000u);
            }
        }
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = win32::WindowObject<Win32Surface>(hwnd, msg, lParam);
        switch (msg) {
            case WM_ERASEBKGND:
                return 1;  // the paint covers everything
            case WM_NCHITTEST:
                // On a control's area the pointer and the clicks are the control's.
                if ((::GetWindowLongA(::GetParent(hwnd), GWL_STYLE) & WS_CHILD) != 0) {
                    return HTTRANSPARENT;
                }
                break;
            case WM_PAINT:
                if (self != nullptr) {
                    AtBoundary("surface paint", [&] { self->Paint(hwnd); });
                    return 0;
                }
                break;
            default:
                break;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    gfx::PixelView Canvas() const {
        return {dib_.bits, canvasSize_.width, canvasSize_.height, canvasSize_.width};
    }

    // A black canvas of the window's size, with the backing bitmap on it.
    void MakeCanvas() {
        memoryGuard_.reset();
        memory_.reset();
        dib_ = {};
        canvasSize_ = {std::max(bounds_.Width(), 1), std::max(bounds_.Height(), 1)};
        win32::WindowDC screen(nullptr);
        dib_ = win32::CreateDib(screen.get(), canvasSize_.width, canvasSize_.height);
        memory_ = std::make_unique<win32::MemoryDC>(screen.get());
        if (dib_.bits != nullptr) {
            memoryGuard_ = std::make_unique<win32::SelectGuard>(memory_->get(), dib_.bitmap.get());
        }
        Repaint();
    }

    void Repaint() {
        if (dib_.bits == nullptr) {
            return;
        }
        ::GdiFlush();
        const gfx::PixelView canvas = Canvas();
        gfx::FillPixels(canvas, canvas.Bounds(), gfx::kOpaqueBlack);
        gfx::CopyPixels(canvas, {0, 0}, backing_.View(), backing_.BoundsRect());
        ::InvalidateRect(window_.get(), nullptr, FALSE);
    }

    void Paint(HWND hwnd) {
        win32::PaintDC paint(hwnd);
        const RECT& r = paint.Rect();
        if (dib_.bits != nullptr) {
            ::BitBlt(paint.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, memory_->get(), r.left, r.top,
                     SRCCOPY);
        }
    }

    gfx::IntRect bounds_;
    int updates_ = 0;
    gfx::TBitmap32 backing_;
    gfx::IntSize canvasSize_;
    win32::Dib dib_;
    std::unique_ptr<win32::MemoryDC> memory_;
    std::unique_ptr<win32::SelectGuard> memoryGuard_;  // keeps the DIB selected into memory_
    win32::OwnedWindow window_;
};

}  // namespace

std::unique_ptr<Surface> Surface::Create(Window& parent, const gfx::IntRect& bounds) {
    return Create(parent.Handle(), bounds);
}

std::unique_ptr<Surface> Surface::Create(WindowHandle parent, const gfx::IntRect& bounds) {
    return std::make_unique<Win32Surface>(parent, bounds);
}

}  // namespace plat
