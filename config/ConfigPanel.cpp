#include "config/ConfigPanel.h"

#include <algorithm>
#include <cmath>

#include "config/Translation.h"
#include "transitions/Catalogue.h"

namespace config {

namespace {

using plat::ControlKind;

// The designed height of the music group, whose last three boxes keep their distance to its bottom.
constexpr int kPlaylistHeight = 159;

void Place(Control& c, ControlKind kind, const Control& parent, int x, int y, int width, int height) {
    c.kind = kind;
    c.parent = parent.name;
    c.bounds = gfx::IntRect::FromSize(x, y, width, height);
}

// Radio buttons and check boxes a line each, 22 pixels apart, as wide as their group allows.
void Lines(ControlKind kind, const Control& group, std::initializer_list<Control*> controls, int top = 20) {
    int y = top;
    for (Control* c : controls) {
        Place(*c, kind, group, 12, y, group.bounds.Width() - 24, 17);
        y += 22;
    }
}

}  // namespace

ConfigPanel::ConfigPanel() { Layout(); }

void ConfigPanel::Layout() {
    Place(CfgBox, ControlKind::Panel, Control{}, 0, 0, 513, 381);
    CfgBox.visible = false;
    Place(BannerPlaceHolderPanel, ControlKind::Panel, CfgBox, 0, 0, 513, 69);
    BannerPlaceHolderPanel.visible = false;
    Place(PanelWebBanner, ControlKind::Panel, BannerPlaceHolderPanel, 22, 5, 470, 62);
    PanelWebBanner.lowered = true;
    PanelWebBanner.visible = false;
    Place(imgBanner, ControlKind::Image, PanelWebBanner, 0, 0, 468, 60);
    Place(ConfigControlsPanel, ControlKind::Panel, CfgBox, 0, 69, 513, 312);
    ConfigControlsPanel.visible = false;
    Place(PageControl, ControlKind::Tabs, ConfigControlsPanel, 10, 7, 399, 281);
    PageControl.itemIndex = 0;
    Place(btnAbout, ControlKind::Button, ConfigControlsPanel, 418, 28, 83, 25);
    Place(btnWebsite, ControlKind::Button, ConfigControlsPanel, 418, 60, 83, 25);
    Place(btnClose, ControlKind::Button, ConfigControlsPanel, 418, 263, 83, 25);
    btnClose.isDefault = btnClose.isCancel = true;
    Place(Link, ControlKind::Link, ConfigControlsPanel, 12, 292, 300, 13);

    for (Control* page : {&tsGeneral, &tsPosition, &tsEffects, &tsSound, &tsBehavior}) {
        Place(*page, ControlKind::Page, PageControl, 0, 0, 0, 0);
    }

    Place(GroupBox3, ControlKind::Group, tsGeneral, 8, 6, 375, 52);
    Place(Label12, ControlKind::Label, GroupBox3, 12, 23, 132, 13);
    Place(edSeconds, ControlKind::SpinEdit, GroupBox3, 148, 19, 50, 21);
    edSeconds.minimum = 1;
    edSeconds.maximum = 60;
    edSeconds.value = 5;
    Place(Label13, ControlKind::Label, GroupBox3, 206, 23, 80, 13);
    Place(gbOrder, ControlKind::Group, tsGeneral, 8, 64, 375, 90);
    Lines(ControlKind::Radio, gbOrder, {&rbSequential, &rbRandom, &rbMixed});
    Place(GroupBox2, ControlKind::Group, tsGeneral, 8, 160, 375, 48);
    Lines(ControlKind::CheckBox, GroupBox2, {&cbDesktop});

    Place(gbSize, ControlKind::Group, tsPosition, 8, 6, 375, 130);
    Lines(ControlKind::Radio, gbSize, {&rbSizeResize, &rbSizeResizeBig, &rbSizeStretch, &rbSizeNone});
    Place(Label37, ControlKind::Label, gbSize, 12, 110, 300, 13);
    Place(gbPosition, ControlKind::Group, tsPosition, 8, 142, 375, 68);
    Lines(ControlKind::Radio, gbPosition, {&rbPosCenter, &rbPosRandom});

    Place(GroupBox9, ControlKind::Group, tsEffects, 8, 6, 232, 245);
    Place(lbEffects, ControlKind::CheckList, GroupBox9, 8, 16, 216, 194);
    for (int effect = 1; effect <= kEffectCount; ++effect) {
        lbEffects.items.emplace_back(trans::EffectName(effect));
    }
    lbEffects.checks.assign(kEffectCount, false);
    Place(btnSelectAll, ControlKind::Button, GroupBox9, 8, 214, 104, 23);
    Place(btnSelectNone, ControlKind::Button, GroupBox9, 120, 214, 104, 23);
    Place(PanelPreviewTrans, ControlKind::Panel, tsEffects, 248, 12, 121, 97);
    PanelPreviewTrans.lowered = true;
    Place(ImgPreviewTrans, ControlKind::Image, PanelPreviewTrans, 0, 0, 119, 95);
    Place(GroupBox6, ControlKind::Group, tsEffects, 248, 120, 135, 80);
    Place(tbEffectSpeed, ControlKind::TrackBar, GroupBox6, 6, 18, 123, 30);
    tbEffectSpeed.minimum = 1;
    tbEffectSpeed.maximum = 10;
    tbEffectSpeed.value = 4;
    Place(Label16, ControlKind::Label, GroupBox6, 8, 52, 56, 13);
    Place(Label26, ControlKind::Label, GroupBox6, 92, 52, 36, 13);

    Place(GroupBox10, ControlKind::Group, tsSound, 8, 6, 375, 48);
    Lines(ControlKind::CheckBox, GroupBox10, {&cbMute});
    Place(gbPlaylist, ControlKind::Group, tsSound, 8, 60, 375, kPlaylistHeight);
    Place(rbPlayBuiltIn, ControlKind::Radio, gbPlaylist, 12, 20, 190, 17);
    Place(rbPlayMyOwn, ControlKind::Radio, gbPlaylist, 12, 42, 190, 17);
    Place(btnPlaylistEditor, ControlKind::Button, gbPlaylist, 212, 30, 150, 25);
    Lines(ControlKind::CheckBox, gbPlaylist, {&cbLoop, &cbShuffle, &cbPlayOneRandom}, 88);

    Place(GroupBox12, ControlKind::Group, tsBehavior, 8, 6, 375, 112);
    Lines(ControlKind::CheckBox, GroupBox12, {&cbExitMouseMove, &cbExitMouseButton, &cbExitKeyboard, &cbExitEscape});
    Place(gbDualMonitor, ControlKind::Group, tsBehavior, 8, 124, 375, 48);
    Lines(ControlKind::CheckBox, gbDualMonitor, {&cbDisableDualMonitor});

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
            &tsGeneral, &GroupBox3, &Label12, &edSeconds, &Label13, &gbOrder, &rbSequential, &rbRandom, &rbMixed,
            &GroupBox2, &cbDesktop, &tsPosition, &gbSize, &rbSizeResize, &rbSizeResizeBig, &rbSizeStretch,
            &rbSizeNone, &Label37, &gbPosition, &rbPosCenter, &rbPosRandom, &tsEffects, &GroupBox9, &lbEffects,
            &btnSelectAll, &btnSelectNone, &PanelPreviewTrans, &ImgPreviewTrans, &GroupBox6, &tbEffectSpeed,
            &Label16, &Label26, &tsSound, &GroupBox10, &cbMute, &gbPlaylist, &rbPlayBuiltIn, &rbPlayMyOwn,
            &btnPlaylistEditor, &cbLoop, &cbShuffle, &cbPlayOneRandom, &tsBehavior, &GroupBox12, &cbExitMouseMove,
            &cbExitMouseButton, &cbExitKeyboard, &cbExitEscape, &gbDualMonitor, &cbDisableDualMonitor, &btnAbout,
            &btnWebsite, &btnClose, &Link};
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
    edSeconds.value = static_cast<int>(std::clamp(std::trunc(value), 1.0, 60.0));
}

void ConfigPanel::SetEffectSpeed(int value) { tbEffectSpeed.value = std::clamp(value, 1, 10); }

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

void ConfigPanel::btnSelectAllClick() { lbEffects.checks.assign(kEffectCount, true); }

void ConfigPanel::btnSelectNoneClick() { lbEffects.checks.assign(kEffectCount, false); }

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

bool ConfigPanel::OnEvent(const plat::ControlEvent& event) {
    using Kind = plat::ControlEvent::Kind;
    Control* c = Find(event.name);
    if (c == nullptr || !c->enabled) {
        return true;
    }
    if (event.kind == Kind::Click && c->kind == ControlKind::Radio) {
        ClickRadio(*c);
    } else if (event.kind == Kind::Click && c->kind == ControlKind::CheckBox) {
        ClickCheckBox(*c);
    } else if (event.kind == Kind::Click && c == &btnSelectAll) {
        btnSelectAllClick();
    } else if (event.kind == Kind::Click && c == &btnSelectNone) {
        btnSelectNoneClick();
    } else if (event.kind == Kind::Change && c == &edSeconds) {
        SetSeconds(event.value);
    } else if (event.kind == Kind::Change && c == &tbEffectSpeed) {
        SetEffectSpeed(event.value);
    } else if (event.kind == Kind::Toggle && c == &lbEffects && event.value >= 0 && event.value < kEffectCount) {
        lbEffects.checks[static_cast<std::size_t>(event.value)] = !lbEffects.checks[static_cast<std::size_t>(event.value)];
    } else if (event.kind == Kind::Select && c == &PageControl) {
        PageControl.itemIndex = event.value;
    } else if (event.kind == Kind::Select && c == &lbEffects) {
        lbEffects.itemIndex = event.value;
        return false;  // the window starts the preview
    } else {
        return false;
    }
    return true;
}

std::vector<Control*> ConfigPanel::Pages() { return {&tsGeneral, &tsPosition, &tsEffects, &tsSound, &tsBehavior}; }

void ConfigPanel::NextPage() {
    const std::vector<Control*> pages = Pages();
    const int count = static_cast<int>(pages.size());
    for (int step = 1; step <= count; ++step) {
        const int next = ((PageControl.itemIndex + step) % count + count) % count;
        if (pages[static_cast<std::size_t>(next)]->visible) {
            PageControl.itemIndex = next;
            return;
        }
    }
}

std::vector<Control*> ConfigPanel::PlaylistAnchored() { return {&cbLoop, &cbShuffle, &cbPlayOneRandom}; }

void ConfigPanel::SetPlaylistGroupHeight(int height) {
    const int shift = height - gbPlaylist.bounds.Height();
    gbPlaylist.bounds.bottom = gbPlaylist.bounds.top + height;
    for (Control* c : PlaylistAnchored()) {
        c->bounds = c->bounds.Offset(0, shift);
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
