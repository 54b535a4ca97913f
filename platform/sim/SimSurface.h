#pragma once

// The simulated image controls: each one's window canvas is a bitmap that tests and tools read.

#include <cstddef>
#include <functional>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "platform/Surface.h"

namespace sim {

class SimSurface final : public plat::Surface {
public:
    SimSurface(plat::WindowHandle parent, const gfx::IntRect& bounds);
    ~SimSurface() override;
    SimSurface(const SimSurface&) = delete;
    SimSurface& operator=(const SimSurface&) = delete;

    void SetBounds(const gfx::IntRect& bounds) override;
    gfx::IntRect Bounds() const override { return bounds_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }

    gfx::TBitmap32& Bitmap() override { return backing_; }
    void BeginUpdate() override { ++updates_; }
    void EndUpdate() override;
    void Changed() override;

    void CopyToCanvas(const gfx::TBitmap32& bitmap, const gfx::IntRect& source, const gfx::IntRect& target) override;
    void DrawOnCanvas(std::span<const gfx::IntRect> changed, gfx::PixelDraw draw) override;
    void CopyFromCanvas(gfx::TBitmap32& bitmap, const gfx::IntRect& rect) const override;

    // What the screen shows in this control, the size of its bounds.
    const gfx::TBitmap32& Canvas() const { return canvas_; }
    plat::WindowHandle Parent() const { return parent_; }
    // Runs after every change of the canvas (a copy onto it, a repaint from the backing bitmap) with
    // the rectangle of the canvas that the change covered.
    void SetOnCanvasChange(std::function<void(const gfx::IntRect&)> callback) { onChange_ = std::move(callback); }

    // A freed control's memory keeps a stand-in until the machine is reset: a late call on it (a
    // frame handed over after its window went) is recorded in the machine instead of reaching freed
    // memory. Under AddressSanitizer the memory is freed, and the sanitizer reports such a call.
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

private:
    void Repaint();

    plat::WindowHandle parent_;
    gfx::IntRect bounds_;
    bool visible_ = true;
    int updates_ = 0;
    gfx::TBitmap32 backing_;
    gfx::TBitmap32 canvas_;
    std::function<void(const gfx::IntRect&)> onChange_;
};

// The surfaces that exist now, in creation order, for tests that run the whole program.
std::vector<SimSurface*> Surfaces();

// The simulated surface behind a surface of the seam.
SimSurface& AsSim(plat::Surface& surface);

// Lets go of the memory of the freed surfaces (part of Reset).
void ReleaseFreedSurfaces();

}  // namespace sim
