#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/Geometry.h"
#include "platform/Controls.h"

namespace config {

inline constexpr int kEffectCount = 120;

using Control = plat::Control;

// The configuration panel `CfgBox`: the banner strip, five pages of controls filled from the
// settings and read back when the window closes, and the handlers that keep the controls
// consistent. Places are at 96 pixels an inch.
class ConfigPanel {
public:
    ConfigPanel();

    // Every control, in reading order: a control lies in one listed before it.
    std::vector<Control*> Controls();
    // The control of that name; null when there is none.
    Control* Find(const std::string& name);

    // Values of the controls that are not check boxes or buttons.
    void SetSeconds(double value);  // the spin edit keeps 1..60
    int Seconds() const { return edSeconds.value; }
    void SetEffectSpeed(int value);  // the track bar keeps 1..10
    int EffectSpeed() const { return tbEffectSpeed.value; }
    std::vector<bool>& EffectChecks() { return lbEffects.checks; }
    const std::vector<bool>& EffectChecks() const { return lbEffects.checks; }
    int EffectItemIndex() const { return lbEffects.itemIndex; }

    // Click handlers. The size, position and order handlers run for any button of their group.
    void rbSizeResizeClick();
    void rbPosCenterClick();
    void rbSequentialClick();
    // A click on an exit box; at least one of the four stays checked.
    void cbExitKeyboardClick(Control& clicked);
    void btnSelectAllClick();
    void btnSelectNoneClick();
    void ClickRadio(Control& button);  // checks it and unchecks the others of its group, then runs its handler
    void ClickCheckBox(Control& box);

    // What a user did to the panel's own controls; false for the events the window handles (the
    // buttons that open something, the banner, a line chosen in the effect list).
    bool OnEvent(const plat::ControlEvent& event);

    // The pages in their order, and the page after the current one among the visible pages.
    std::vector<Control*> Pages();
    void NextPage();

    // The music group at another height: the controls anchored to its bottom edge move with it.
    void SetPlaylistGroupHeight(int height);

    // Captions through the translation table.
    void RenameFormControls();

    Control CfgBox{"CfgBox", ""};
    Control BannerPlaceHolderPanel{"BannerPlaceHolderPanel", ""};
    Control PanelWebBanner{"PanelWebBanner", ""};
    Control imgBanner{"imgBanner", ""};
    Control ConfigControlsPanel{"ConfigControlsPanel", ""};
    Control PageControl{"PageControl", ""};
    Control btnAbout{"btnAbout", "About..."};
    Control btnWebsite{"btnWebsite", "Website..."};
    Control btnClose{"btnClose", "Close"};
    Control Link{"Link", "This screen saver was created with Brindlemark"};

    Control tsGeneral{"tsGeneral", "General"};
    Control GroupBox3{"GroupBox3", "Image Duration"};
    Control Label12{"Label12", "&Display each image for"};
    Control edSeconds{"edSeconds", ""};
    Control Label13{"Label13", "seconds"};
    Control gbOrder{"gbOrder", "Item Order"};
    Control rbSequential{"rbSequential", "&Sequential"};
    Control rbRandom{"rbRandom", "&Random"};
    Control rbMixed{"rbMixed", "&Shuffle"};
    Control GroupBox2{"GroupBox2", "Startup"};
    Control cbDesktop{"cbDesktop", "S&tart image painting on Desktop"};

    Control tsPosition{"tsPosition", "Position"};
    Control gbSize{"gbSize", "Item Size"};
    Control rbSizeResize{"rbSizeResize", "&Resize to fit screen *"};
    Control rbSizeResizeBig{"rbSizeResizeBig", "Resize &only if too big to fit screen *"};
    Control rbSizeStretch{"rbSizeStretch", "&Stretch to fit screen"};
    Control rbSizeNone{"rbSizeNone", "&Do not change size"};
    Control Label37{"Label37", "* Maintains aspect ratio"};
    Control gbPosition{"gbPosition", "Item Position"};
    Control rbPosCenter{"rbPosCenter", "&Center"};
    Control rbPosRandom{"rbPosRandom", "R&andom position"};

    Control tsEffects{"tsEffects", "Effects"};
    Control GroupBox9{"GroupBox9", "Selection"};
    Control lbEffects{"lbEffects", ""};
    Control btnSelectAll{"btnSelectAll", "Select All"};
    Control btnSelectNone{"btnSelectNone", "Select None"};
    Control PanelPreviewTrans{"PanelPreviewTrans", ""};
    Control ImgPreviewTrans{"ImgPreviewTrans", ""};
    Control GroupBox6{"GroupBox6", "Speed"};
    Control tbEffectSpeed{"tbEffectSpeed", ""};
    Control Label16{"Label16", "Smooth"};
    Control Label26{"Label26", "Fast"};

    Control tsSound{"tsSound", "Sound"};
    Control GroupBox10{"GroupBox10", "General"};
    Control cbMute{"cbMute", "&Mute sounds"};
    Control gbPlaylist{"gbPlaylist", "Music Playlist"};
    Control rbPlayBuiltIn{"rbPlayBuiltIn", "&Use built-in playlist"};
    Control rbPlayMyOwn{"rbPlayMyOwn", "Us&e my own playlist"};
    Control btnPlaylistEditor{"btnPlaylistEditor", "Edit My Playlist..."};
    Control cbLoop{"cbLoop", "&Repeat playlist"};
    Control cbShuffle{"cbShuffle", "&Shuffle playlist item order"};
    Control cbPlayOneRandom{"cbPlayOneRandom", "S&elect and play just one random playlist item"};

    Control tsBehavior{"tsBehavior", "Behavior"};
    Control GroupBox12{"GroupBox12", "Exit Conditions"};
    Control cbExitMouseMove{"cbExitMouseMove", "&Mouse Move"};
    Control cbExitMouseButton{"cbExitMouseButton", "Mouse &Button Click"};
    Control cbExitKeyboard{"cbExitKeyboard", "&Keyboard Button"};
    Control cbExitEscape{"cbExitEscape", "&ESC Button"};
    Control gbDualMonitor{"gbDualMonitor", "Dual Monitor Support"};
    Control cbDisableDualMonitor{"cbDisableDualMonitor", "&Disable Dual Monitor Support"};

private:
    void Layout();
    std::vector<Control*> RadioGroup(const Control& button);
    std::vector<Control*> PlaylistAnchored();
};

}  // namespace config
