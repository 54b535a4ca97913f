#include "tools/ssmaker/MakerForm.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "common/Flags.h"
#include "common/Trace.h"
#include "package/ItemKind.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/WinConst.h"
#include "tools/ssmaker/MakerText.h"
#include "tools/ssmaker/Thumbnail.h"
#include "tools/sspack/ContentCheck.h"

namespace maker {

namespace {

constexpr char kLogoFilter[] = "Pictures|*.png;*.bmp;*.jpg;*.jpeg;*.gif|All files|*.*";

// The header flags each check box stands for.
constexpr std::pair<const char*, const char*> kFlags[] = {
    {"cbLoop", "Loop"},
    {"cbShuffle", "ShuffleMelody"},
    {"cbPlayOneRandom", "PlayOneRandom"},
    {"cbMute", "Mute"},
    {"cbExitMouseMove", "ExitMouseMove"},
    {"cbExitMouseButton", "ExitMouseButton"},
    {"cbExitKeyboard", "ExitKeyboard"},
    {"cbExitEscape", "ExitESC"},
    {"cbWallpaperKey", "AllowWallpaperKey"},
    {"cbDesktopStart", "DesktopStart"},
    {"cbMainMonitorOnly", "DisableTwoMonitors"},
};

// The header codes each drop-down list stands for: its line is the code.
constexpr std::pair<const char*, const char*> kChoices[] = {
    {"cbOrder", key::kDisplayOrder},
    {"cbSize", key::kStretch},
    {"cbGradient", key::kGradientStyle},
    {"cbLogoPosition", key::kLogoPosition},
};

std::string ColorText(std::int32_t color) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return text;
}

}  // namespace

TMakerForm::TMakerForm()
    : TDialogForm(kTitle, {TMakerControls::kWidth, TMakerControls::kHeight}, 0),
      preview_([this] { return ui_.lbEffects.itemIndex; }) {
    MakeControls(ui_.Controls());
    MakePreviewImage();
    Show();
}

TMakerForm::~TMakerForm() {
    job_.Cancel();
    adding_.Cancel();
    // A preview drawing into the image control ends before the control goes.
    core::Flags().TransAbort = true;
    plat::RunModalLoop([] { return !core::Flags().TransBusy; });
}

void TMakerForm::OnShow() { Show(); }

void TMakerForm::MakePreviewImage() {
    const gfx::IntRect area = plat::ScaleToDpi(
        gfx::IntRect::FromSize(0, 0, ui_.ImgPreviewTrans.bounds.Width(), ui_.ImgPreviewTrans.bounds.Height()),
        Controls().Dpi());
    imgPreviewTrans_.reset();
    imgPreviewTrans_ = plat::Surface::Create(Controls().Handle(ui_.ImgPreviewTrans.name), area);
    preview_.Prepare(*imgPreviewTrans_);
    previewFiles_.clear();
    ShowPreviewPictures();
}

void TMakerForm::OnDpiChanged(int) {
    core::Flags().TransAbort = true;
    plat::RunModalLoop([] { return !core::Flags().TransBusy; });
    MakePreviewImage();
}

bool TMakerForm::OpenProject(const std::string& path) {
    try {
        project_ = TProject::Open(path);
    } catch (const std::exception& e) {
        Say(e.what(), plat::MB_ICONERROR);
        return false;
    }
    output_.clear();
    built_.clear();
    ui_.lvItems.itemIndex = project_.ItemCount() > 0 ? 0 : -1;
    // The thumbnails come once they are made, on every core.
    std::vector<std::string> files;
    for (std::size_t i = 0; i < project_.ItemCount(); ++i) {
        files.push_back(project_.ItemFile(i));
    }
    TakeIn(files, false);
    core::Trace("Opened " + path);
    SetStatus(FileName(path));
    Show();
    Sync();
    if (const auto missing = project_.MissingFiles(); !missing.empty()) {
        std::string text = "These files of the project are not where it says. Remove them from the project, or put "
                           "them back, before building.\n";
        for (const auto& file : missing) {
            text += "\n" + file;
        }
        Say(text, plat::MB_ICONWARNING);
    }
    return true;
}

void TMakerForm::OnEvent(const plat::ControlEvent& event) {
    using Kind = plat::ControlEvent::Kind;
    const std::string& name = event.name;
    if (event.kind == Kind::Select && name == ui_.PageControl.name) {
        ui_.PageControl.itemIndex = event.value;
    } else if (event.kind == Kind::Click) {
        OnClick(name) || OnFlag(name);
    } else if (event.kind == Kind::Select) {
        OnChoice(name, event.value);
    } else if (event.kind == Kind::Toggle && name == ui_.lbEffects.name) {
        lbEffectsToggle(event.value);
    } else if (event.kind == Kind::Drop && name == ui_.lvItems.name) {
        lvItemsDrop(event.files);
    } else if (event.kind == Kind::Edited && name == ui_.edCaption.name) {
        edCaptionEdited(event.text);
    } else if (event.kind == Kind::Edited && name == ui_.edName.name) {
        edNameEdited(event.text);
    } else if (event.kind == Kind::Change && name == ui_.edItemSeconds.name) {
        edItemSecondsChange(event.value);
    } else if (event.kind == Kind::Change && name == ui_.edSeconds.name) {
        edSecondsChange(event.value);
    } else if (event.kind == Kind::Change && name == ui_.tbEffectSpeed.name) {
        tbEffectSpeedChange(event.value);
    }
}

bool TMakerForm::OnClick(const std::string& name) {
    const std::pair<const Control*, std::function<void()>> handlers[] = {
        {&ui_.btnAddPictures, [this] { btnAddPicturesClick(); }},
        {&ui_.btnAddFolder, [this] { btnAddFolderClick(); }},
        {&ui_.btnRemove, [this] { btnRemoveClick(); }},
        {&ui_.btnMoveUp, [this] { btnMoveUpClick(); }},
        {&ui_.btnMoveDown, [this] { btnMoveDownClick(); }},
        {&ui_.btnAddMusic, [this] { btnAddMusicClick(); }},
        {&ui_.btnRemoveMusic, [this] { btnRemoveMusicClick(); }},
        {&ui_.btnMusicUp, [this] { btnMusicMove(-1); }},
        {&ui_.btnMusicDown, [this] { btnMusicMove(1); }},
        {&ui_.btnAddSound, [this] { btnAddSoundClick(); }},
        {&ui_.btnRemoveSound, [this] { btnRemoveSoundClick(); }},
        {&ui_.btnColor1, [this] { btnColorClick(key::kBackgroundColor); }},
        {&ui_.btnColor2, [this] { btnColorClick(key::kBackgroundColor2); }},
        {&ui_.btnLogo, [this] { btnLogoClick(); }},
        {&ui_.btnNoLogo, [this] { btnNoLogoClick(); }},
        {&ui_.btnSelectAll, [this] { btnSelectAllClick(); }},
        {&ui_.btnSelectNone, [this] { btnSelectNoneClick(); }},
        {&ui_.btnOpen, [this] { btnOpenClick(); }},
        {&ui_.btnSave, [this] { btnSaveClick(); }},
        {&ui_.btnBuild, [this] { btnBuildClick(); }},
        {&ui_.btnCancel, [this] { btnCancelClick(); }},
        {&ui_.btnTry, [this] { btnTryClick(); }},
        {&ui_.btnSettings, [this] { btnSettingsClick(); }},
        {&ui_.btnInstall, [this] { btnInstallClick(); }},
    };
    for (const auto& [control, handler] : handlers) {
        if (control->name == name) {
            if (control->enabled) {
                handler();
            }
            return true;
        }
    }
    return false;
}

bool TMakerForm::OnFlag(const std::string& name) {
    Control* box = ui_.Find(name);
    for (const auto& [control, key] : kFlags) {
        if (name == control && box != nullptr && box->enabled) {
            if (name.starts_with("cbExit")) {
                cbExitClick(*box);
                return true;
            }
            project_.SetFlag(key, !project_.Flag(key));
            ShowLook();
            return true;
        }
    }
    return false;
}

bool TMakerForm::OnChoice(const std::string& name, int line) {
    if (name == ui_.lvItems.name) {
        lvItemsSelect(line);
    } else if (name == ui_.cbItemSize.name) {
        cbItemSizeSelect(line);
    } else if (name == ui_.cbItemSound.name) {
        cbItemSoundSelect(line);
    } else if (name == ui_.lbEffects.name) {
        lbEffectsSelect(line);
    } else if (name == ui_.lbMusic.name) {
        ui_.lbMusic.itemIndex = line;
    } else if (name == ui_.lbSounds.name) {
        ui_.lbSounds.itemIndex = line;
    } else {
        for (const auto& [control, key] : kChoices) {
            if (name == control && line >= 0) {
                project_.SetNumber(key, line);
                ShowLook();
                return true;
            }
        }
        return false;
    }
    return true;
}


// Look and behaviour

void TMakerForm::edNameEdited(const std::string& text) {
    ui_.edName.caption = text;
    project_.SetSaverName(text);
}

void TMakerForm::edSecondsChange(int seconds) {
    ui_.edSeconds.value = seconds;
    if (seconds >= ui_.edSeconds.minimum && seconds <= ui_.edSeconds.maximum) {
        project_.SetNumber(key::kSeconds, seconds);
    }
}

void TMakerForm::btnColorClick(const char* key) {
    if (const auto color = plat::ShowColorDialog(project_.Color(key))) {
        project_.SetColor(key, *color);
        ShowLook();
    }
}

void TMakerForm::btnLogoClick() {
    plat::OpenFileRequest request;
    request.title = "Choose the Logo";
    request.filter = kLogoFilter;
    const auto files = plat::ShowOpenFileDialog(request);
    if (files.empty()) {
        return;
    }
    if (const auto problem = sspack::ItemProblem(files.front(), Ext(files.front()))) {
        SayRefused({files.front() + ": " + *problem}, "show");
        return;
    }
    project_.SetLogo(files.front());
    ShowLook();
}

void TMakerForm::btnNoLogoClick() {
    project_.SetLogo("");
    ShowLook();
}

void TMakerForm::lbEffectsSelect(int line) {
    ui_.lbEffects.itemIndex = line;
    preview_.lbEffectsClick();
}

void TMakerForm::lbEffectsToggle(int line) {
    auto marks = project_.Effects();
    if (line >= 0 && static_cast<std::size_t>(line) < marks.size()) {
        marks[static_cast<std::size_t>(line)] = !marks[static_cast<std::size_t>(line)];
        project_.SetEffects(marks);
        ShowLook();
    }
}

void TMakerForm::btnSelectAllClick() {
    project_.SetEffects(std::vector<bool>(ui_.lbEffects.items.size(), true));
    ShowLook();
}

void TMakerForm::btnSelectNoneClick() {
    project_.SetEffects(std::vector<bool>(ui_.lbEffects.items.size(), false));
    ShowLook();
}

void TMakerForm::tbEffectSpeedChange(int speed) {
    ui_.tbEffectSpeed.value = speed;
    project_.SetNumber(key::kEffectSpeed, speed);
}

// At least one way out of the screen saver stays.
void TMakerForm::cbExitClick(Control& box) {
    for (const auto& [control, key] : kFlags) {
        if (box.name == control) {
            const bool on = !project_.Flag(key);
            int others = 0;
            for (const auto& [exitBox, exitKey] : kFlags) {
                others += std::string_view(exitBox).starts_with("cbExit") && exitBox != box.name &&
                          project_.Flag(exitKey);
            }
            if (on || others > 0) {
                project_.SetFlag(key, on);
            }
        }
    }
    ShowLook();
}

void TMakerForm::SetStatus(const std::string& text) { ui_.lblStatus.caption = text; }

// Showing the project

void TMakerForm::Show() {
    ShowItems();
    ShowSounds();
    ShowLook();
    ShowBusy();
}

void TMakerForm::ShowItems() {
    auto& list = ui_.lvItems;
    list.items.clear();
    list.pictures.clear();
    for (std::size_t i = 0; i < project_.ItemCount(); ++i) {
        const std::string file = project_.ItemFile(i);
        const std::string caption = project_.ItemCaption(i);
        std::error_code ec;
        const bool there = std::filesystem::is_regular_file(file, ec);
        list.items.push_back(FileName(file) + (caption.empty() ? "" : " - " + caption) + (there ? "" : " (missing)"));
        const auto thumbnail = thumbnails_.find(file);
        list.pictures.push_back(thumbnail != thumbnails_.end() ? thumbnail->second : nullptr);
    }
    if (list.itemIndex >= static_cast<int>(list.items.size())) {
        list.itemIndex = static_cast<int>(list.items.size()) - 1;
    }
    const std::size_t count = project_.ItemCount();
    ui_.lblItems.caption = count == 1 ? "1 picture or video" : std::to_string(count) + " pictures and videos";
    ShowItem();
    ShowPreviewPictures();
}

void TMakerForm::ShowItem() {
    const int item = SelectedItem();
    const bool any = item >= 0;
    for (Control* c : {&ui_.gbItem, &ui_.lblCaption, &ui_.edCaption, &ui_.lblItemSeconds, &ui_.edItemSeconds,
                       &ui_.lblItemSize, &ui_.cbItemSize, &ui_.lblItemSound, &ui_.cbItemSound, &ui_.btnRemove,
                       &ui_.btnMoveUp, &ui_.btnMoveDown}) {
        c->enabled = any;
    }
    ui_.cbItemSound.items = {"None"};
    for (const auto& sound : project_.Files(sounds::kEntrySounds)) {
        ui_.cbItemSound.items.push_back(FileName(sound));
    }
    if (!any) {
        ui_.edCaption.caption.clear();
        ui_.edItemSeconds.value = 0;
        ui_.cbItemSize.itemIndex = ui_.cbItemSound.itemIndex = -1;
        return;
    }
    const auto i = static_cast<std::size_t>(item);
    ui_.edCaption.caption = project_.ItemCaption(i);
    ui_.edItemSeconds.value = project_.ItemDuration(i);
    ui_.cbItemSize.itemIndex = project_.ItemSizeMode(i) + 1;
    ui_.cbItemSound.itemIndex = project_.ItemEnterSound(i) + 1;
    ui_.btnMoveUp.enabled = item > 0;
    ui_.btnMoveDown.enabled = i + 1 < project_.ItemCount();
}

void TMakerForm::ShowSounds() {
    ui_.lbMusic.items.clear();
    for (const auto& file : project_.Files(sounds::kMusic)) {
        ui_.lbMusic.items.push_back(FileName(file));
    }
    ui_.lbSounds.items.clear();
    for (const auto& file : project_.Files(sounds::kEntrySounds)) {
        ui_.lbSounds.items.push_back(FileName(file));
    }
}

void TMakerForm::ShowLook() {
    ui_.edName.caption = project_.SaverName();
    ui_.edSeconds.value = project_.Number(key::kSeconds);
    for (const auto& [control, key] : kChoices) {
        ui_.Find(control)->itemIndex = project_.Number(key);
    }
    ui_.lblColor1.caption = ColorText(project_.Color(key::kBackgroundColor));
    ui_.lblColor2.caption = ColorText(project_.Color(key::kBackgroundColor2));
    const std::string logo = project_.Logo();
    ui_.lblLogo.caption = logo.empty() ? "No logo" : FileName(logo);
    ui_.btnNoLogo.enabled = ui_.cbLogoPosition.enabled = !logo.empty();
    ui_.lbEffects.checks = project_.Effects();
    ui_.tbEffectSpeed.value = project_.Number(key::kEffectSpeed);
    for (const auto& [control, key] : kFlags) {
        ui_.Find(control)->checked = project_.Flag(key);
    }
    // What only a manifest sets is named, so that nobody wonders where it went: it is kept.
    const auto kept = project_.KeptSettings();
    std::string text = kept.empty() ? std::string("Nothing else: every setting of this project shows in the window.")
                                    : std::string("Set in the project file, and kept as it is written there:");
    for (std::size_t i = 0; i < kept.size(); ++i) {
        text += (i == 0 ? " " : ", ") + kept[i];
    }
    ui_.txtKept.caption = text;
}

// The preview plays between the first two pictures of the show, or the sample pictures until there
// are two.
void TMakerForm::ShowPreviewPictures() {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < project_.ItemCount() && files.size() < 2; ++i) {
        const std::string file = project_.ItemFile(i);
        if (pkg::ItemKindOf(Ext(file)) == pkg::ItemKind::Still) {
            files.push_back(file);
        }
    }
    if (files.size() < 2) {
        files.clear();
    }
    if (files == previewFiles_ || !imgPreviewTrans_) {
        return;
    }
    previewFiles_ = files;
    if (files.empty()) {
        preview_.SetPictures({}, {});
        return;
    }
    const gfx::IntSize size = imgPreviewTrans_->Bounds().Size();
    preview_.SetPictures(FittedPicture(files[0], size), FittedPicture(files[1], size));
}


}  // namespace maker
