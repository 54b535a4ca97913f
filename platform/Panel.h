#pragma once

#include <memory>

#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "platform/Window.h"

namespace plat {

// A borderless child panel of one of our windows, in the window's colour, above the window's image
// controls: where a movie or the player control shows.
class Panel {
public:
    static std::unique_ptr<Panel> Create(Window& parent, const gfx::IntRect& bounds, gfx::TColor color);
    virtual ~Panel() = default;

    virtual WindowHandle Handle() const = 0;
    virtual void SetBounds(const gfx::IntRect& bounds) = 0;
    virtual gfx::IntRect Bounds() const = 0;
    virtual void SetColor(gfx::TColor color) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    // A disabled panel takes no mouse input.
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
};

}  // namespace plat
