#include "platform/sim/SimSurface.h"

#include <algorithm>
#include <new>

#include "gfx/Blit.h"
#include "platform/sim/Sim.h"

namespace sim {

namespace {

std::vector<SimSurface*>& Live() {
    static std::vector<SimSurface*> surfaces;
    return surfaces;
}

// What stays in a freed surface's memory: every call is a use after free, recorded by its name.
class FreedSurface final : public plat::Surface {
public:
    void SetBounds(const gfx::IntRect&) override { Used("SetBounds"); }
    gfx::IntRect Bounds() const override {
        Used("Bounds");
        return {};
    }
    void SetVisible(bool) override { Used("SetVisible"); }
    bool Visible() const override {
        Used("Visible");
        return false;
    }
    gfx::TBitmap32& Bitmap() override {
        Used("Bitmap");
        static gfx::TBitmap32 nothing;
        nothing = {};
        return nothing;
    }
    void BeginUpdate() override { Used("BeginUpdate"); }
    void EndUpdate() override { Used("EndUpdate"); }
    void Changed() override { Used("Changed"); }
    void CopyToCanvas(const gfx::TBitmap32&, const gfx::IntRect&, const gfx::IntRect&) override {
        Used("CopyToCanvas");
    }
    void DrawOnCanvas(std::span<const gfx::IntRect>, gfx::PixelDraw) override { Used("DrawOnCanvas"); }
    void CopyFromCanvas(gfx::TBitmap32&, const gfx::IntRect&) const override { Used("CopyFromCanvas"); }

private:
    static void Used(const char* call) { M().freedSurfaceUses.emplace_back(call); }
};

static_assert(sizeof(FreedSurface) <= sizeof(SimSurface));

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#elif defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

std::vector<void*>& Freed() {
    static std::vector<void*> blocks;
    return blocks;
}

}  // namespace

void* SimSurface::operator new(std::size_t size) { return ::operator new(size); }

void SimSurface::operator delete(void* p) {
    if (kAddressSanitizer) {
        ::operator delete(p);  // the sanitizer reports a late call itself, with both stacks
    } else if (p != nullptr) {
        ::new (p) FreedSurface();
        Freed().push_back(p);
    }
}

void ReleaseFreedSurfaces() {
    for (void* p : Freed()) {
        static_cast<FreedSurface*>(p)->~FreedSurface();
        ::operator delete(p);
    }
    Freed().clear();
}

SimSurface::SimSurface(plat::WindowHandle parent, const gfx::IntRect& bounds) : parent_(parent), bounds_(bounds) {
    canvas_.SetSize(bounds.Width(), bounds.Height());
    Live().push_back(this);
}

SimSurface::~SimSurface() { std::erase(Live(), this); }

void SimSurface::SetBounds(const gfx::IntRect& bounds) {
    const bool resized = bounds.Size() != bounds_.Size();
    bounds_ = bounds;
    if (resized) {
        // A new window size: the control paints itself again from its bitmap.
        canvas_.SetSize(bounds.Width(), bounds.Height());
        Repaint();
    }
}

void SimSurface::EndUpdate() {
    if (updates_ > 0 && --updates_ == 0) {
        Repaint();
    }
}

void SimSurface::Changed() {
    if (updates_ == 0) {
        Repaint();
    }
}

void SimSurface::Repaint() {
    canvas_.Clear(gfx::kOpaqueBlack);
    canvas_.CopyRect({0, 0}, backing_, backing_.BoundsRect());
    if (onChange_) {
        onChange_(canvas_.BoundsRect());
    }
}

void SimSurface::CopyToCanvas(const gfx::TBitmap32& bitmap, const gfx::IntRect& source, const gfx::IntRect& target) {
    gfx::CopyRectStretched(canvas_.View(), target, bitmap.View(), source);
    if (onChange_) {
        onChange_(target.Intersect(canvas_.BoundsRect()));
    }
}

void SimSurface::DrawOnCanvas(std::span<const gfx::IntRect> changed, gfx::PixelDraw draw) {
    draw(canvas_.View());
    if (onChange_) {
        for (const gfx::IntRect& r : changed) {
            onChange_(r.Intersect(canvas_.BoundsRect()));
        }
    }
}

void SimSurface::CopyFromCanvas(gfx::TBitmap32& bitmap, const gfx::IntRect& rect) const {
    // A screen has no transparency: what is read is opaque.
    const gfx::IntRect r = rect.Intersect(canvas_.BoundsRect()).Intersect(bitmap.BoundsRect());
    bitmap.CopyRect({r.left, r.top}, canvas_, r);
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        for (std::int32_t x = r.left; x < r.right; ++x) {
            bitmap.SetPixel(x, y, bitmap.Pixel(x, y) | 0xFF000000u);
        }
    }
}

std::vector<SimSurface*> Surfaces() { return Live(); }

SimSurface& AsSim(plat::Surface& surface) { return dynamic_cast<SimSurface&>(surface); }

}  // namespace sim

namespace plat {

std::unique_ptr<Surface> Surface::Create(Window& parent, const gfx::IntRect& bounds) {
    return Create(parent.Handle(), bounds);
}

std::unique_ptr<Surface> Surface::Create(WindowHandle parent, const gfx::IntRect& bounds) {
    return std::make_unique<sim::SimSurface>(parent, bounds);
}

}  // namespace plat
