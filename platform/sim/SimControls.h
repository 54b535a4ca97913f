#pragma once

// The simulated controls: what each window's controls show (as last synced), and a user's actions
// on them, which reach the logic as the real controls' would.

#include <optional>
#include <string>
#include <vector>

#include "platform/Controls.h"

namespace sim {

// The controls of a window as they show now; empty when the window has none.
std::vector<plat::Control> ShownControls(plat::WindowHandle window);
std::optional<plat::Control> ShownControl(plat::WindowHandle window, const std::string& name);

// A control's place in the window's client area in pixels, at the window's pixels an inch.
gfx::IntRect ShownBounds(plat::WindowHandle window, const std::string& name);

// A user's action: clicking a button, choosing a line, moving a slider, typing into an edit (the
// edit shows the text at once), dropping files (refused, with no event, by a control that does not
// accept files).
void Act(plat::WindowHandle window, const plat::ControlEvent& event);

// The control that has the keyboard focus.
void Focus(plat::WindowHandle window, const std::string& name);

// The page area inside a page control's client rectangle.
gfx::IntRect PageArea(const gfx::IntRect& tabs);

}  // namespace sim
