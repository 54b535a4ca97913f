#include "config/PanelSettings.h"

namespace config {

namespace {

void ApplyStretch(std::int32_t stretch, ConfigPanel& p) {
    switch (stretch) {
        case 0: p.ClickRadio(p.rbSizeResize); break;
        case 1: p.ClickRadio(p.rbSizeStretch); break;
        case 2:
        case 3: p.ClickRadio(p.rbSizeNone); break;
        case 4:
        case 5: p.ClickRadio(p.rbSizeResizeBig); break;
        default: break;  // the designed choice stays
    }
    if (stretch == 3 || stretch == 5) {
        p.ClickRadio(p.rbPosRandom);
    } else if (stretch == 2 || stretch == 4) {
        p.ClickRadio(p.rbPosCenter);
    }
    // Both handlers once, so that the codes and the position group's state agree with the buttons.
    p.rbSizeResizeClick();
    p.rbPosCenterClick();
}

}  // namespace

std::string SelectionFromChecks(const std::vector<bool>& checks) {
    std::string selection;
    for (std::size_t i = 0; i < checks.size() && i < kEffectCount; ++i) {
        if (checks[i]) {
            selection += static_cast<char>(i + 1);
        }
    }
    return selection;
}

void ChecksFromSelection(const std::string& selection, std::vector<bool>& checks) {
    checks.assign(kEffectCount, false);
    for (const char c : selection) {
        const int code = static_cast<unsigned char>(c);
        if (code >= 1 && code <= kEffectCount) {
            checks[static_cast<std::size_t>(code - 1)] = true;
        }
    }
}

void ApplySettingsToPanel(const pkg::SaverSettings& s, ConfigPanel& p, int monitorCount) {
    p.SetSeconds(s.Seconds);
    p.ClickRadio(s.DisplayOrder == 1 ? p.rbRandom : s.DisplayOrder == 2 ? p.rbMixed : p.rbSequential);
    p.cbDesktop.checked = s.DesktopStart;
    ApplyStretch(s.Stretch, p);
    p.SetEffectSpeed(s.EffectSpeed);
    ChecksFromSelection(s.Effect, p.EffectChecks());
    p.cbLoop.checked = s.Loop;
    p.cbShuffle.checked = s.ShuffleMelody;
    p.cbMute.checked = s.Mute;
    p.cbPlayOneRandom.checked = s.PlayOneRandom;
    p.cbExitMouseMove.checked = s.ExitMouseMove;
    p.cbExitMouseButton.checked = s.ExitMouseButton;
    p.cbExitKeyboard.checked = s.ExitKeyboard;
    p.cbExitEscape.checked = s.ExitESC;
    p.cbDisableDualMonitor.checked = s.DisableTwoMonitors;
    p.rbPlayMyOwn.checked = s.UseCustomPlaylist;
    p.rbPlayBuiltIn.checked = !s.UseCustomPlaylist;
    p.gbDualMonitor.visible = monitorCount > 1;
}

pkg::SaverSettings SettingsFromPanel(const ConfigPanel& p) {
    pkg::SaverSettings s;
    s.Seconds = p.Seconds();
    const int size = p.gbSize.tag;
    s.Stretch = size + (size == 2 || size == 4 ? p.gbPosition.tag : 0);
    s.DisplayOrder = p.gbOrder.tag;
    s.DesktopStart = p.cbDesktop.checked;
    s.Loop = p.cbLoop.checked;
    s.Mute = p.cbMute.checked;
    s.ShuffleMelody = p.cbShuffle.checked;
    s.Effect = SelectionFromChecks(p.EffectChecks());
    s.EffectSpeed = p.EffectSpeed();
    s.PlayOneRandom = p.cbPlayOneRandom.checked;
    s.ExitMouseMove = p.cbExitMouseMove.checked;
    s.ExitMouseButton = p.cbExitMouseButton.checked;
    s.ExitKeyboard = p.cbExitKeyboard.checked;
    s.ExitESC = p.cbExitEscape.checked;
    s.UseCustomPlaylist = p.rbPlayMyOwn.checked;
    s.DisableTwoMonitors = p.cbDisableDualMonitor.checked;
    return s;
}

}  // namespace config
