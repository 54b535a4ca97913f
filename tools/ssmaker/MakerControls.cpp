#include "tools/ssmaker/MakerControls.h"

#include "transitions/EffectNames.h"

namespace maker {

namespace {

using plat::ControlKind;

void Place(Control& c, ControlKind kind, const Control& parent, int x, int y, int width, int height) {
    c.kind = kind;
    c.parent = parent.name;
    c.bounds = gfx::IntRect::FromSize(x, y, width, height);
}

// Check boxes a line each, 22 pixels apart, as wide as their group allows.
void Lines(const Control& group, std::initializer_list<Control*> controls, int top = 20) {
    int y = top;
    for (Control* c : controls) {
        Place(*c, ControlKind::CheckBox, group, 12, y, group.bounds.Width() - 24, 17);
        y += 22;
    }
}

// A label above its control, both as wide as given.
void Labelled(Control& label, Control& control, ControlKind kind, const Control& parent, int x, int y, int width,
              int height = 21) {
    Place(label, ControlKind::Label, parent, x, y, width, 13);
    Place(control, kind, parent, x, y + 16, width, height);
}

void Choices(Control& c, std::initializer_list<const char*> lines, int current) {
    c.items.assign(lines.begin(), lines.end());
    c.itemIndex = current;
}

}  // namespace

TMakerControls::TMakerControls() { Layout(); }

void TMakerControls::Layout() {
    const Control window;
    Place(PageControl, ControlKind::Tabs, window, 8, 8, 704, 440);
    PageControl.itemIndex = 0;
    for (Control* page : {&tsItems, &tsSound, &tsLook, &tsEffects, &tsBehavior}) {
        Place(*page, ControlKind::Page, PageControl, 0, 0, 0, 0);
    }

    Place(lvItems, ControlKind::PictureList, tsItems, 8, 8, 420, 360);
    lvItems.pictureSize = kThumbnail;
    lvItems.acceptsFiles = true;
    Place(lblItems, ControlKind::Label, tsItems, 8, 374, 420, 13);
    const int right = 440;
    Place(btnAddPictures, ControlKind::Button, tsItems, right, 8, 116, 25);
    Place(btnAddFolder, ControlKind::Button, tsItems, right + 124, 8, 116, 25);
    Place(btnRemove, ControlKind::Button, tsItems, right, 38, 76, 25);
    Place(btnMoveUp, ControlKind::Button, tsItems, right + 82, 38, 76, 25);
    Place(btnMoveDown, ControlKind::Button, tsItems, right + 164, 38, 76, 25);
    Place(gbItem, ControlKind::Group, tsItems, right, 76, 240, 210);
    Labelled(lblCaption, edCaption, ControlKind::Edit, gbItem, 12, 20, 216);
    Labelled(lblItemSeconds, edItemSeconds, ControlKind::SpinEdit, gbItem, 12, 64, 80);
    lblItemSeconds.bounds = gfx::IntRect::FromSize(12, 64, 216, 13);
    edItemSeconds.minimum = 0;
    edItemSeconds.maximum = 86400;
    Labelled(lblItemSize, cbItemSize, ControlKind::DropDown, gbItem, 12, 108, 216);
    Choices(cbItemSize,
            {"As the saver", "Fit to the screen", "Stretch over the screen", "Own size, centred",
             "Own size, random place", "Shrink to fit, centred", "Shrink to fit, random place"},
            0);
    Labelled(lblItemSound, cbItemSound, ControlKind::DropDown, gbItem, 12, 152, 216);

    Place(gbMusic, ControlKind::Group, tsSound, 8, 6, 680, 226);
    Place(lbMusic, ControlKind::List, gbMusic, 12, 20, 430, 196);
    Place(btnAddMusic, ControlKind::Button, gbMusic, 454, 20, 100, 25);
    Place(btnRemoveMusic, ControlKind::Button, gbMusic, 454, 50, 100, 25);
    Place(btnMusicUp, ControlKind::Button, gbMusic, 562, 20, 100, 25);
    Place(btnMusicDown, ControlKind::Button, gbMusic, 562, 50, 100, 25);
    Place(cbLoop, ControlKind::CheckBox, gbMusic, 454, 100, 214, 17);
    Place(cbShuffle, ControlKind::CheckBox, gbMusic, 454, 122, 214, 17);
    Place(cbPlayOneRandom, ControlKind::CheckBox, gbMusic, 454, 144, 214, 17);
    Place(cbMute, ControlKind::CheckBox, gbMusic, 454, 166, 214, 17);
    Place(gbSounds, ControlKind::Group, tsSound, 8, 238, 680, 166);
    Place(lbSounds, ControlKind::List, gbSounds, 12, 20, 430, 136);
    Place(btnAddSound, ControlKind::Button, gbSounds, 454, 20, 100, 25);
    Place(btnRemoveSound, ControlKind::Button, gbSounds, 454, 50, 100, 25);

    Place(gbSaver, ControlKind::Group, tsLook, 8, 6, 336, 220);
    Labelled(lblName, edName, ControlKind::Edit, gbSaver, 12, 20, 312);
    Labelled(lblSeconds, edSeconds, ControlKind::SpinEdit, gbSaver, 12, 64, 80);
    lblSeconds.bounds = gfx::IntRect::FromSize(12, 64, 200, 13);
    edSeconds.minimum = 1;
    edSeconds.maximum = 60;
    Labelled(lblOrder, cbOrder, ControlKind::DropDown, gbSaver, 12, 108, 312);
    Choices(cbOrder, {"Sequential", "Random", "Shuffle"}, 0);
    Labelled(lblSize, cbSize, ControlKind::DropDown, gbSaver, 12, 152, 312);
    Choices(cbSize,
            {"Fit to the screen", "Stretch over the screen", "Own size, centred", "Own size, random place",
             "Shrink to fit, centred", "Shrink to fit, random place"},
            0);
    Place(gbBackground, ControlKind::Group, tsLook, 352, 6, 336, 130);
    Place(btnColor1, ControlKind::Button, gbBackground, 12, 20, 100, 25);
    Place(lblColor1, ControlKind::Label, gbBackground, 120, 26, 100, 13);
    Place(btnColor2, ControlKind::Button, gbBackground, 12, 50, 100, 25);
    Place(lblColor2, ControlKind::Label, gbBackground, 120, 56, 100, 13);
    Labelled(lblGradient, cbGradient, ControlKind::DropDown, gbBackground, 12, 80, 312);
    Choices(cbGradient,
            {"Vertical bands", "Horizontal bands", "Vertical bands (2)", "Ellipses", "Rectangles",
             "Horizontal bands, mirrored", "Vertical bands, mirrored", "Pinwheel", "Diagonal bands"},
            0);
    Place(gbLogo, ControlKind::Group, tsLook, 352, 142, 336, 110);
    Place(btnLogo, ControlKind::Button, gbLogo, 12, 20, 100, 25);
    Place(btnNoLogo, ControlKind::Button, gbLogo, 120, 20, 100, 25);
    Place(lblLogo, ControlKind::Label, gbLogo, 12, 50, 312, 13);
    Labelled(lblLogoPosition, cbLogoPosition, ControlKind::DropDown, gbLogo, 12, 66, 312);
    Choices(cbLogoPosition,
            {"Top left", "Top right", "Top centre", "Bottom left", "Bottom right", "Bottom centre", "Centre"}, 0);

    Place(gbEffects, ControlKind::Group, tsEffects, 8, 6, 300, 400);
    Place(lbEffects, ControlKind::CheckList, gbEffects, 8, 16, 284, 344);
    for (int effect = 1; effect <= trans::kEffectCount; ++effect) {
        lbEffects.items.emplace_back(trans::EffectName(effect));
    }
    lbEffects.checks.assign(trans::kEffectCount, true);
    Place(btnSelectAll, ControlKind::Button, gbEffects, 8, 366, 136, 25);
    Place(btnSelectNone, ControlKind::Button, gbEffects, 156, 366, 136, 25);
    Place(PanelPreviewTrans, ControlKind::Panel, tsEffects, 320, 12, 322, 242);
    PanelPreviewTrans.lowered = true;
    Place(ImgPreviewTrans, ControlKind::Image, PanelPreviewTrans, 0, 0, 320, 240);
    Place(gbSpeed, ControlKind::Group, tsEffects, 320, 266, 200, 80);
    Place(tbEffectSpeed, ControlKind::TrackBar, gbSpeed, 6, 18, 188, 30);
    tbEffectSpeed.minimum = 1;
    tbEffectSpeed.maximum = 10;
    Place(lblSmooth, ControlKind::Label, gbSpeed, 8, 52, 56, 13);
    Place(lblFast, ControlKind::Label, gbSpeed, 156, 52, 36, 13);

    Place(gbExit, ControlKind::Group, tsBehavior, 8, 6, 400, 112);
    Lines(gbExit, {&cbExitMouseMove, &cbExitMouseButton, &cbExitKeyboard, &cbExitEscape});
    Place(gbOther, ControlKind::Group, tsBehavior, 8, 124, 400, 90);
    Lines(gbOther, {&cbWallpaperKey, &cbDesktopStart, &cbMainMonitorOnly});
    Place(gbKept, ControlKind::Group, tsBehavior, 8, 220, 400, 120);
    Place(txtKept, ControlKind::Text, gbKept, 12, 20, 376, 90);

    int x = 8;
    for (Control* button : {&btnOpen, &btnSave, &btnBuild, &btnTry, &btnSettings, &btnInstall}) {
        Place(*button, ControlKind::Button, window, x, 456, 84, 25);
        x += 92;
    }
    btnTry.enabled = btnSettings.enabled = btnInstall.enabled = false;
    Place(pbBuild, ControlKind::Progress, window, 8, 492, 524, 18);
    Place(btnCancel, ControlKind::Button, window, 540, 489, 84, 25);
    btnCancel.enabled = false;
    btnCancel.isCancel = true;
    Place(lblStatus, ControlKind::Label, window, 560, 462, 152, 13);
}

std::vector<Control*> TMakerControls::Controls() {
    return {&PageControl,
            &tsItems, &lvItems, &lblItems, &btnAddPictures, &btnAddFolder, &btnRemove, &btnMoveUp, &btnMoveDown,
            &gbItem, &lblCaption, &edCaption, &lblItemSeconds, &edItemSeconds, &lblItemSize, &cbItemSize,
            &lblItemSound, &cbItemSound,
            &tsSound, &gbMusic, &lbMusic, &btnAddMusic, &btnRemoveMusic, &btnMusicUp, &btnMusicDown, &cbLoop,
            &cbShuffle, &cbPlayOneRandom, &cbMute, &gbSounds, &lbSounds, &btnAddSound, &btnRemoveSound,
            &tsLook, &gbSaver, &lblName, &edName, &lblSeconds, &edSeconds, &lblOrder, &cbOrder, &lblSize, &cbSize,
            &gbBackground, &btnColor1, &lblColor1, &btnColor2, &lblColor2, &lblGradient, &cbGradient, &gbLogo,
            &btnLogo, &btnNoLogo, &lblLogo, &lblLogoPosition, &cbLogoPosition,
            &tsEffects, &gbEffects, &lbEffects, &btnSelectAll, &btnSelectNone, &PanelPreviewTrans, &ImgPreviewTrans,
            &gbSpeed, &tbEffectSpeed, &lblSmooth, &lblFast,
            &tsBehavior, &gbExit, &cbExitMouseMove, &cbExitMouseButton, &cbExitKeyboard, &cbExitEscape, &gbOther,
            &cbWallpaperKey, &cbDesktopStart, &cbMainMonitorOnly, &gbKept, &txtKept,
            &btnOpen, &btnSave, &btnBuild, &btnTry, &btnSettings, &btnInstall, &lblStatus, &pbBuild, &btnCancel};
}

Control* TMakerControls::Find(const std::string& name) {
    for (Control* c : Controls()) {
        if (c->name == name) {
            return c;
        }
    }
    return nullptr;
}

}  // namespace maker
