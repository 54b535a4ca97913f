#pragma once

// The simulated panels: each one's state is a window record, and what it shows (its colour, and a
// movie's picture while one plays in it) is painted over its parent's image controls.

#include <optional>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "platform/Panel.h"

namespace sim {

class SimPanel final : public plat::Panel {
public:
    SimPanel(plat::WindowHandle parent, const gfx::IntRect& bounds, gfx::TColor color);
    ~SimPanel() override;
    SimPanel(const SimPanel&) = delete;
    SimPanel& operator=(const SimPanel&) = delete;

    plat::WindowHandle Handle() const override { return handle_; }
    void SetBounds(const gfx::IntRect& bounds) override;
    gfx::IntRect Bounds() const override;
    void SetColor(gfx::TColor color) override { color_ = color; }
    void SetVisible(bool visible) override;
    bool Visible() const override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override;

    plat::WindowHandle Parent() const { return parent_; }
    // A movie's picture: a rectangle of the panel in one colour; nothing when no movie shows.
    void SetPicture(std::optional<std::pair<gfx::IntRect, gfx::Color32>> picture) { picture_ = picture; }
    // Paints the panel at its place onto a picture of its parent's client area.
    void PaintOnto(gfx::TBitmap32& client) const;

private:
    plat::WindowHandle parent_;
    plat::WindowHandle handle_;
    gfx::TColor color_;
    std::optional<std::pair<gfx::IntRect, gfx::Color32>> picture_;
};

// The panel with that window handle; null when it is none.
SimPanel* FindPanel(plat::WindowHandle handle);

// What the screen shows of a window's client area: the given picture of its image control with
// the window's visible panels over it, in the order they were made.
gfx::TBitmap32 WithPanels(plat::WindowHandle parent, const gfx::TBitmap32& client);

}  // namespace sim
