#include "config/ConfigPanel.h"

#include <algorithm>
#include <cmath>

#include "config/Translation.h"

namespace config {

ConfigPanel::ConfigPanel() {
    CfgBox.visible = false;
    CfgBox.bounds = {0, 0, 513, 381};
    BannerPlaceHolderPanel.bounds = {0, 0, 513, 69};
    PanelWebBanner.bounds = gfx::IntRect::FromSize(22, 5, 470, 62);
    ConfigControlsPanel.bounds = gfx::IntRect::FromSize(0, 69, 513, 312);
    PageControl.bounds = gfx::IntRect::FromSize(10, 7, 399, 281);
    btnAbout.bounds = gfx::IntRect::FromSize(418, 28, 83, 25);
    btnWebsite.bounds = gfx::IntRect::FromSize(418, 60, 83, 25);
    btnClose.bounds = gfx::IntRect::FromSize(418, 263, 83, 25);
    Link.bounds = gfx::IntRect::FromSize(12, 292, 300, 13);
    gbPlaylist.bounds = gfx::IntRect::FromSize(8, 64, 375, 159);

    rbSequential.checked = true;
    rbSizeResize.checked = true;
    gbPosition.enabled = false;
    rbPosCenter.checked = true;
    rbPlayBuiltIn.checked = true;
    cbLoop.checked = true;
    cbExitMouseMove.checked = true;
    cbExitMouseButton.checked = true;
    cbExitKeyboard.checked = true;
    cbExitEscape.checked = true;
    gbDualMonitor.visible = false;
}

std::vector<Control*> ConfigPanel::Controls() {
    return {&CfgBox, &BannerPlaceHolderPanel, &PanelWebBanner, &imgBanner, &ConfigControlsPanel, &PageControl,
            &btnAbout, &btnWebsite, &btnClose, &Link, &tsGeneral, &GroupBox3, &Label12, &edSeconds, &Label13,
            &gbOrder, &rbSequential, &rbRandom, &rbMixed, &GroupBox2, &cbDesktop, &tsPosition, &gbSize,
            &rbSizeResize, &rbSizeResizeBig, &rbSizeStretch, &rbSizeNone, &Label37, &gbPosition, &rbPosCenter,
            &rbPosRandom, &tsEffects, &GroupBox9, &lbEffects, &btnSelectAll, &btnSelectNone, &GroupBox6,
            &tbEffectSpeed, &Label16, &Label26, &tsSound, &GroupBox10, &cbMute, &gbPlaylist, &rbPlayBuiltIn,
            &rbPlayMyOwn, &btnPlaylistEditor, &cbLoop, &cbShuffle, &cbPlayOneRandom, &tsBehavior, &GroupBox12,
            &cbExitMouseMove, &cbExitMouseButton, &cbExitKeyboard, &cbExitEscape, &gbDualMonitor,
            &cbDisableDualMonitor};
}

Control* ConfigPanel::Find(const std::string& name) {
    for (Control* c : Controls()) {
        if (c->name == name) {
            return c;
        }
    }
    return nullptr;
}

void ConfigPanel::SetSeconds(double value) {
    seconds_ = static_cast<int>(std::clamp(std::trunc(value), 1.0, 60.0));
}

void ConfigPanel::SetEffectSpeed(int value) { effectSpeed_ = std::clamp(value, 1, 10); }

void ConfigPanel::rbSizeResizeClick() {
    const bool positionApplies = rbSizeNone.checked || rbSizeResizeBig.checked;
    gbPosition.enabled = rbPosCenter.enabled = rbPosRandom.enabled = positionApplies;
    gbSize.tag = rbSizeStretch.checked ? 1 : rbSizeNone.checked ? 2 : rbSizeResizeBig.checked ? 4 : 0;
}

void ConfigPanel::rbPosCenterClick() { gbPosition.tag = rbPosRandom.checked ? 1 : 0; }

void ConfigPanel::rbSequentialClick() { gbOrder.tag = rbRandom.checked ? 1 : rbMixed.checked ? 2 : 0; }

void ConfigPanel::cbExitKeyboardClick(Control& clicked) {
    if (!cbExitMouseMove.checked && !cbExitMouseButton.checked && !cbExitKeyboard.checked && !cbExitEscape.checked) {
        clicked.checked = true;
    }
}

void ConfigPanel::btnSelectAllClick() { effects_.fill(true); }

void ConfigPanel::btnSelectNoneClick() { effects_.fill(false); }

std::vector<Control*> ConfigPanel::RadioGroup(const Control& button) {
    const std::vector<std::vector<Control*>> groups = {
        {&rbSequential, &rbRandom, &rbMixed},
        {&rbSizeResize, &rbSizeResizeBig, &rbSizeStretch, &rbSizeNone},
        {&rbPosCenter, &rbPosRandom},
        {&rbPlayBuiltIn, &rbPlayMyOwn},
    };
    for (const auto& group : groups) {
        if (std::find(group.begin(), group.end(), &button) != group.end()) {
            return group;
        }
    }
    return {};
}

void ConfigPanel::ClickRadio(Control& button) {
    for (Control* c : RadioGroup(button)) {
        c->checked = c == &button;
    }
    if (&button == &rbSequential || &button == &rbRandom || &button == &rbMixed) {
        rbSequentialClick();
    } else if (&button == &rbPosCenter || &button == &rbPosRandom) {
        rbPosCenterClick();
    } else if (&button == &rbSizeResize || &button == &rbSizeResizeBig || &button == &rbSizeStretch ||
               &button == &rbSizeNone) {
        rbSizeResizeClick();
    }
}

void ConfigPanel::ClickCheckBox(Control& box) {
    box.checked = !box.checked;
    if (&box == &cbExitMouseMove || &box == &cbExitMouseButton || &box == &cbExitKeyboard || &box == &cbExitEscape) {
        cbExitKeyboardClick(box);
    }
}

void ConfigPanel::RenameFormControls() {
    btnAbout.caption = Translate("About") + "...";
    btnWebsite.caption = Translate("Website") + "...";
    rbSizeResize.caption = Translate("&Resize to fit screen") + " *";
    rbSizeResizeBig.caption = Translate("Resize &only if too big to fit screen") + " *";
    // The rest are keyed by their designed captions.
    for (Control* c : {&btnClose, &Link, &Label12, &Label13, &rbMixed, &rbRandom, &rbSequential, &cbDesktop,
                       &GroupBox3, &gbOrder, &GroupBox2, &tsGeneral, &tsPosition, &gbPosition, &rbPosCenter,
                       &rbPosRandom, &gbSize, &Label37, &rbSizeNone, &rbSizeStretch, &tsEffects, &GroupBox9,
                       &btnSelectAll, &btnSelectNone, &GroupBox6, &Label16, &Label26, &tsSound, &GroupBox10, &cbMute,
                       &gbPlaylist, &btnPlaylistEditor, &cbLoop, &cbPlayOneRandom, &cbShuffle, &rbPlayBuiltIn,
                       &rbPlayMyOwn, &tsBehavior, &GroupBox12, &cbExitEscape, &cbExitKeyboard, &cbExitMouseButton,
                       &cbExitMouseMove, &cbDisableDualMonitor}) {
        c->caption = Translate(c->caption);
    }
}

}  // namespace config
