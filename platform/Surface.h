#pragma once

#include <memory>
#include <span>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "platform/Window.h"

namespace plat {

// An image control inside one of our windows: a backing bitmap that the logic composes into, and a
// window canvas (what the screen shows) onto which rectangles of any bitmap are copied.
class Surface {
public:
    static std::unique_ptr<Surface> Create(Window& parent, const gfx::IntRect& bounds);
    // In a child window of ours, such as a control's area; the control keeps the mouse.
    static std::unique_ptr<Surface> Create(WindowHandle parent, const gfx::IntRect& bounds);
    virtual ~Surface() = default;

    virtual void SetBounds(const gfx::IntRect& bounds) = 0;
    virtual gfx::IntRect Bounds() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;

    // The backing bitmap. Changes show after EndUpdate (or Changed when no update is open).
    virtual gfx::TBitmap32& Bitmap() = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // The backing bitmap changed: the canvas shows it again.
    virtual void Changed() = 0;

    // Copies source rectangle of bitmap onto target rectangle of the canvas, stretching when the
    // sizes differ. Parts outside either side are clipped.
    virtual void CopyToCanvas(const gfx::TBitmap32& bitmap, const gfx::IntRect& source,
                              const gfx::IntRect& target) = 0;
    // Lets draw write the canvas's own pixels, the bitmap that reaches the screen, then puts the
    // changed rectangles on the screen. draw changes nothing outside them.
    virtual void DrawOnCanvas(std::span<const gfx::IntRect> changed, gfx::PixelDraw draw) = 0;
    // Reads a rectangle of the canvas into bitmap's rectangle of the same size.
    virtual void CopyFromCanvas(gfx::TBitmap32& bitmap, const gfx::IntRect& rect) const = 0;
};

}  // namespace plat
