#include "platform/sim/SimPanel.h"

#include <algorithm>

#include "platform/Colors.h"
#include "platform/sim/SimWindow.h"

namespace sim {

namespace {

std::vector<SimPanel*>& Live() {
    static std::vector<SimPanel*> panels;
    return panels;
}

}  // namespace

SimPanel::SimPanel(plat::WindowHandle parent, const gfx::IntRect& bounds, gfx::TColor color)
    : parent_(parent), handle_(AddChildWindow(parent, bounds).handle), color_(color) {
    Live().push_back(this);
}

SimPanel::~SimPanel() {
    std::erase(Live(), this);
    RemoveWindow(handle_);
}

void SimPanel::SetBounds(const gfx::IntRect& bounds) {
    if (WindowRecord* r = MutableWindow(handle_)) {
        r->bounds = bounds;
    }
}

gfx::IntRect SimPanel::Bounds() const {
    const WindowRecord* r = FindWindow(handle_);
    return r != nullptr ? r->bounds : gfx::IntRect{};
}

void SimPanel::SetVisible(bool visible) {
    if (WindowRecord* r = MutableWindow(handle_)) {
        r->visible = visible;
    }
}

bool SimPanel::Visible() const {
    const WindowRecord* r = FindWindow(handle_);
    return r != nullptr && r->visible;
}

void SimPanel::SetEnabled(bool enabled) {
    if (WindowRecord* r = MutableWindow(handle_)) {
        r->enabled = enabled;
    }
}

bool SimPanel::Enabled() const {
    const WindowRecord* r = FindWindow(handle_);
    return r != nullptr && r->enabled;
}

void SimPanel::PaintOnto(gfx::TBitmap32& client) const {
    const gfx::IntRect b = Bounds();
    client.FillRect(b, plat::PixelColor(color_));
    if (picture_) {
        const gfx::IntRect& r = picture_->first;
        client.FillRect(gfx::IntRect{b.left + r.left, b.top + r.top, b.left + r.right, b.top + r.bottom}.Intersect(b),
                        picture_->second);
    }
}

SimPanel* FindPanel(plat::WindowHandle handle) {
    const auto it = std::find_if(Live().begin(), Live().end(), [&](SimPanel* p) { return p->Handle() == handle; });
    return it != Live().end() ? *it : nullptr;
}

gfx::TBitmap32 WithPanels(plat::WindowHandle parent, const gfx::TBitmap32& client) {
    gfx::TBitmap32 screen = client;
    for (const SimPanel* panel : Live()) {
        if (panel->Parent() == parent && panel->Visible()) {
            panel->PaintOnto(screen);
        }
    }
    return screen;
}

}  // namespace sim

namespace plat {

std::unique_ptr<Panel> Panel::Create(Window& parent, const gfx::IntRect& bounds, gfx::TColor color) {
    return std::make_unique<sim::SimPanel>(parent.Handle(), bounds, color);
}

}  // namespace plat
