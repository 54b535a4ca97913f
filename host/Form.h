#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigPanel.h"
#include "platform/MessageLoop.h"
#include "platform/Window.h"

namespace host {

enum class TPosition { poDesigned, poScreenCenter };

// The part of a form that the screen-saver component works on: its window, the panels it owns
// (nested ones included), how it is placed, and its window procedure, which a filter may take over.
class TForm {
public:
    using ProcFilter = std::function<std::optional<std::intptr_t>(const plat::Message&)>;

    TForm(const std::string& caption, gfx::IntSize clientSize);
    virtual ~TForm();

    plat::Window& Window() { return *window_; }
    const plat::Window& Window() const { return *window_; }

    virtual std::vector<config::Control*> Panels() = 0;

    // Shows the window, centred on the screen first when its position mode asks for it.
    void ShowForm();

    TPosition Position() const { return position_; }
    void SetPosition(TPosition position);

    // Scales the contents by numerator / denominator, as a form scales its controls.
    void ScaleBy(int numerator, int denominator);

    // Replaces the window procedure's first look at each message; empty restores the normal one.
    void SetProcFilter(ProcFilter filter) { procFilter_ = std::move(filter); }
    bool HasProcFilter() const { return static_cast<bool>(procFilter_); }

protected:
    // The window's events; the derived form fills in the handlers it needs.
    virtual void OnCloseRequest() {}
    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual void OnDpiChanged(int) {}
    virtual void OnDisplayChange() {}

private:
    std::unique_ptr<plat::Window> window_;
    ProcFilter procFilter_;
    TPosition position_ = TPosition::poDesigned;
};

}  // namespace host
