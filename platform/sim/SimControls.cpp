#include "platform/sim/SimControls.h"

#include <algorithm>
#include <map>

namespace sim {

namespace {

class SimControlSet;

std::map<plat::WindowHandle, SimControlSet*>& Live() {
    static std::map<plat::WindowHandle, SimControlSet*> sets;
    return sets;
}

class SimControlSet final : public plat::ControlSet {
public:
    SimControlSet(plat::Window& window, std::vector<plat::Control*> controls, Handler onEvent, plat::ControlRoot root)
        : window_(window.Handle()),
          controls_(std::move(controls)),
          onEvent_(std::move(onEvent)),
          dpi_(plat::WindowDpi(window_)),
          fitted_(root == plat::ControlRoot::Fitted) {
        Live()[window_] = this;
        Sync();
    }

    ~SimControlSet() override { Live().erase(window_); }

    void Sync() override {
        shown_.clear();
        for (const plat::Control* c : controls_) {
            shown_.push_back(*c);
        }
    }

    void PlaceRoot(gfx::IntPoint topLeft) override {
        if (fitted_) {
            origin_ = topLeft;
        }
    }

    void Rescale(int dpi) override { dpi_ = dpi; }
    int Dpi() const override { return dpi_; }
    gfx::IntPoint Origin() const { return origin_; }

    plat::WindowHandle Handle(const std::string& name) const override {
        // Each control's window: a handle of its own, known by its place in the table.
        for (std::size_t i = 0; i < controls_.size(); ++i) {
            if (controls_[i]->name == name) {
                return window_ + 1 + i;
            }
        }
        return 0;
    }

    std::string Focused() const override { return focused_; }

    const std::vector<plat::Control>& Shown() const { return shown_; }
    void Focus(const std::string& name) { focused_ = name; }

    void Act(const plat::ControlEvent& event) {
        plat::Control* shown = FindShown(event.name);
        if (event.kind == plat::ControlEvent::Kind::Drop && (shown == nullptr || !shown->acceptsFiles)) {
            return;  // the shell drops files only on a window that accepts them
        }
        if (event.kind == plat::ControlEvent::Kind::Edited && shown != nullptr &&
            shown->kind == plat::ControlKind::Edit) {
            shown->caption = event.text;  // the edit shows what was typed before the logic hears of it
        }
        auto handler = onEvent_;
        handler(event);
    }

    const plat::Control* Find(const std::string& name) const {
        const auto it = std::find_if(shown_.begin(), shown_.end(), [&](const plat::Control& c) { return c.name == name; });
        return it != shown_.end() ? &*it : nullptr;
    }

private:
    plat::Control* FindShown(const std::string& name) { return const_cast<plat::Control*>(Find(name)); }

    plat::WindowHandle window_;
    std::vector<plat::Control*> controls_;
    Handler onEvent_;
    int dpi_;
    bool fitted_;
    gfx::IntPoint origin_;  // of a fitted area; a whole client area starts at the corner
    std::vector<plat::Control> shown_;
    std::string focused_;
};

SimControlSet* SetOf(plat::WindowHandle window) {
    const auto it = Live().find(window);
    return it != Live().end() ? it->second : nullptr;
}

}  // namespace

std::vector<plat::Control> ShownControls(plat::WindowHandle window) {
    const SimControlSet* set = SetOf(window);
    return set != nullptr ? set->Shown() : std::vector<plat::Control>{};
}

std::optional<plat::Control> ShownControl(plat::WindowHandle window, const std::string& name) {
    const SimControlSet* set = SetOf(window);
    const plat::Control* c = set != nullptr ? set->Find(name) : nullptr;
    return c != nullptr ? std::optional(*c) : std::nullopt;
}

gfx::IntRect PageArea(const gfx::IntRect& tabs) { return {tabs.left + 4, tabs.top + 24, tabs.right - 4, tabs.bottom - 4}; }

gfx::IntRect ShownBounds(plat::WindowHandle window, const std::string& name) {
    const SimControlSet* set = SetOf(window);
    const plat::Control* c = set != nullptr ? set->Find(name) : nullptr;
    if (c == nullptr) {
        return {};
    }
    // Each level is scaled by itself, as the real controls are placed in their containers.
    const int dpi = set->Dpi();
    const auto place = [&](const plat::Control& control) {
        if (control.kind == plat::ControlKind::Page) {
            if (const plat::Control* tabs = set->Find(control.parent)) {
                const gfx::IntRect outer = plat::ScaleToDpi(tabs->bounds, dpi);
                return PageArea(gfx::IntRect::FromSize(0, 0, outer.Width(), outer.Height()));
            }
        }
        return plat::ScaleToDpi(control.bounds, dpi);
    };
    gfx::IntRect r = place(*c);
    for (const plat::Control* p = set->Find(c->parent); p != nullptr; p = set->Find(p->parent)) {
        const gfx::IntRect outer = place(*p);
        r = r.Offset(outer.left, outer.top);
    }
    return r.Offset(set->Origin().x, set->Origin().y);
}

void Act(plat::WindowHandle window, const plat::ControlEvent& event) {
    if (SimControlSet* set = SetOf(window)) {
        set->Act(event);
    }
}

void Focus(plat::WindowHandle window, const std::string& name) {
    if (SimControlSet* set = SetOf(window)) {
        set->Focus(name);
    }
}

}  // namespace sim

namespace plat {

std::unique_ptr<ControlSet> ControlSet::Create(Window& window, std::vector<Control*> controls, Handler onEvent,
                                               ControlRoot root) {
    return std::make_unique<sim::SimControlSet>(window, std::move(controls), std::move(onEvent), root);
}

}  // namespace plat
