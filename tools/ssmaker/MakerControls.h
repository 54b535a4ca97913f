#pragma once

#include <string>
#include <vector>

#include "platform/Controls.h"

namespace maker {

using Control = plat::Control;

// The maker window's controls: five pages (the items, music and sounds, the look, the effects
// with their preview, the behaviour) over a row of project buttons and the build's progress.
// Places are at 96 pixels an inch.
class TMakerControls {
public:
    TMakerControls();

    // Every control, in reading order: a control lies in one listed before it.
    std::vector<Control*> Controls();
    Control* Find(const std::string& name);

    static constexpr int kWidth = 720;
    static constexpr int kHeight = 524;
    static constexpr int kThumbnail = 40;

    Control PageControl{"PageControl", ""};

    Control tsItems{"tsItems", "Pictures and Videos"};
    Control lvItems{"lvItems", ""};
    Control lblItems{"lblItems", ""};
    Control btnAddPictures{"btnAddPictures", "Add &Pictures..."};
    Control btnAddFolder{"btnAddFolder", "Add &Folder..."};
    Control btnRemove{"btnRemove", "&Remove"};
    Control btnMoveUp{"btnMoveUp", "Move &Up"};
    Control btnMoveDown{"btnMoveDown", "Move &Down"};
    Control gbItem{"gbItem", "Selected Item"};
    Control lblCaption{"lblCaption", "&Caption"};
    Control edCaption{"edCaption", ""};
    Control lblItemSeconds{"lblItemSeconds", "Display &time (0: as the saver)"};
    Control edItemSeconds{"edItemSeconds", ""};
    Control lblItemSize{"lblItemSize", "Si&ze"};
    Control cbItemSize{"cbItemSize", ""};
    Control lblItemSound{"lblItemSound", "&Entry sound"};
    Control cbItemSound{"cbItemSound", ""};

    Control tsSound{"tsSound", "Music and Sounds"};
    Control gbMusic{"gbMusic", "Music"};
    Control lbMusic{"lbMusic", ""};
    Control btnAddMusic{"btnAddMusic", "Add &Music..."};
    Control btnRemoveMusic{"btnRemoveMusic", "Remove"};
    Control btnMusicUp{"btnMusicUp", "Move Up"};
    Control btnMusicDown{"btnMusicDown", "Move Down"};
    Control cbLoop{"cbLoop", "&Repeat the music"};
    Control cbShuffle{"cbShuffle", "S&huffle the tracks"};
    Control cbPlayOneRandom{"cbPlayOneRandom", "Play &one random track"};
    Control cbMute{"cbMute", "M&ute all sounds"};
    Control gbSounds{"gbSounds", "Entry Sounds"};
    Control lbSounds{"lbSounds", ""};
    Control btnAddSound{"btnAddSound", "Add S&ound..."};
    Control btnRemoveSound{"btnRemoveSound", "Remove"};

    Control tsLook{"tsLook", "Look"};
    Control gbSaver{"gbSaver", "Screen Saver"};
    Control lblName{"lblName", "&Name"};
    Control edName{"edName", ""};
    Control lblSeconds{"lblSeconds", "Seconds &per item"};
    Control edSeconds{"edSeconds", ""};
    Control lblOrder{"lblOrder", "&Order"};
    Control cbOrder{"cbOrder", ""};
    Control lblSize{"lblSize", "Si&ze"};
    Control cbSize{"cbSize", ""};
    Control gbBackground{"gbBackground", "Background"};
    Control btnColor1{"btnColor1", "&Colour..."};
    Control lblColor1{"lblColor1", ""};
    Control btnColor2{"btnColor2", "Colour &2..."};
    Control lblColor2{"lblColor2", ""};
    Control lblGradient{"lblGradient", "&Gradient"};
    Control cbGradient{"cbGradient", ""};
    Control gbLogo{"gbLogo", "Logo"};
    Control btnLogo{"btnLogo", "&Logo..."};
    Control btnNoLogo{"btnNoLogo", "No Logo"};
    Control lblLogo{"lblLogo", ""};
    Control lblLogoPosition{"lblLogoPosition", "Pos&ition"};
    Control cbLogoPosition{"cbLogoPosition", ""};

    Control tsEffects{"tsEffects", "Effects"};
    Control gbEffects{"gbEffects", "Selection"};
    Control lbEffects{"lbEffects", ""};
    Control btnSelectAll{"btnSelectAll", "Select All"};
    Control btnSelectNone{"btnSelectNone", "Select None"};
    Control PanelPreviewTrans{"PanelPreviewTrans", ""};
    Control ImgPreviewTrans{"ImgPreviewTrans", ""};
    Control gbSpeed{"gbSpeed", "Speed"};
    Control tbEffectSpeed{"tbEffectSpeed", ""};
    Control lblSmooth{"lblSmooth", "Smooth"};
    Control lblFast{"lblFast", "Fast"};

    Control tsBehavior{"tsBehavior", "Behavior"};
    Control gbExit{"gbExit", "Exit Conditions"};
    Control cbExitMouseMove{"cbExitMouseMove", "&Mouse Move"};
    Control cbExitMouseButton{"cbExitMouseButton", "Mouse &Button Click"};
    Control cbExitKeyboard{"cbExitKeyboard", "&Keyboard Button"};
    Control cbExitEscape{"cbExitEscape", "&ESC Button"};
    Control gbOther{"gbOther", "Other"};
    Control cbWallpaperKey{"cbWallpaperKey", "F2 makes the picture on screen the &wallpaper"};
    Control cbDesktopStart{"cbDesktopStart", "Start over a picture of the &desktop"};
    Control cbMainMonitorOnly{"cbMainMonitorOnly", "Show on the main monitor o&nly"};
    Control gbKept{"gbKept", "Kept from the Project"};
    Control txtKept{"txtKept", ""};

    Control btnOpen{"btnOpen", "&Open..."};
    Control btnSave{"btnSave", "&Save"};
    Control btnBuild{"btnBuild", "&Build"};
    Control btnTry{"btnTry", "&Try"};
    Control btnSettings{"btnSettings", "&Settings"};
    Control btnInstall{"btnInstall", "&Install"};
    Control pbBuild{"pbBuild", ""};
    Control btnCancel{"btnCancel", "Cancel"};
    Control lblStatus{"lblStatus", ""};

private:
    void Layout();
};

}  // namespace maker
