#include "tools/ssmaker/MakerForm.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "common/Flags.h"
#include "common/Paths.h"
#include "common/Trace.h"
#include "package/ItemKind.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/WinConst.h"
#include "tools/ssmaker/Install.h"
#include "tools/ssmaker/Thumbnail.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FolderManifest.h"
#include "tools/sspack/MediaCheck.h"

namespace fs = std::filesystem;

namespace maker {

namespace {

constexpr char kTitle[] = "Screen Saver Maker";
constexpr char kMusic[] = "music";
constexpr char kEntrySounds[] = "entrySounds";

constexpr char kItemFilter[] =
    "Pictures and videos|*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.gif;*.tif;*.tiff;*.heic;*.heif;*.hif;*.avif;*.webp;"
    "*.bmp;*.rle;*.dib;*.ico;*.wmf;*.emf;*.avi;*.asf;*.wmv;*.mpeg;*.mpg;*.mp4;*.m4v;*.mov|All files|*.*";
constexpr char kSoundFilter[] = "Music and sounds|*.wav;*.mp3;*.mid;*.rmi;*.wma;*.m4a;*.aac|All files|*.*";
constexpr char kLogoFilter[] = "Pictures|*.png;*.bmp;*.jpg;*.jpeg;*.gif|All files|*.*";
constexpr char kProjectFilter[] = "Screen saver projects|*.json|All files|*.*";

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

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

std::string Ext(const std::string& path) { return core::UpperCase(core::ExtractFileExt(path)); }

std::string ColorText(std::int32_t color) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return text;
}

void Say(const std::string& text, std::uint32_t icon) {
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    core::Trace("Message box: " + line);
    plat::ShowMessageBox(text, kTitle, icon);
}

// What a refused file is told: one line each, as the package builder names them.
void SayRefused(const std::vector<std::string>& lines, const std::string& what) {
    if (lines.empty()) {
        return;
    }
    std::string text = "Not added: the screen saver could not " + what + " these.\n";
    for (const auto& line : lines) {
        text += "\n" + line;
    }
    Say(text, plat::MB_ICONWARNING);
}

// The runtime every saver is built on lies beside the maker.
std::optional<std::string> FindRuntime() {
    const fs::path runtime = fs::path(plat::OwnFileName()).parent_path() / "saver.scr";
    std::error_code ec;
    return fs::is_regular_file(runtime, ec) ? std::optional(runtime.string()) : std::nullopt;
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

// Items

void TMakerForm::btnAddPicturesClick() {
    plat::OpenFileRequest request;
    request.title = "Add Pictures and Videos";
    request.filter = kItemFilter;
    request.multiSelect = true;
    AddItems(plat::ShowOpenFileDialog(request));
}

void TMakerForm::btnAddFolderClick() {
    const auto folder = plat::ShowFolderDialog("Add every picture and video of a folder", "");
    if (!folder) {
        return;
    }
    const auto files = sspack::SlidesOfFolder(*folder, *folder);
    if (files.slides.empty()) {
        Say(*folder + " holds no pictures or videos.", plat::MB_ICONWARNING);
        return;
    }
    AddItems(files.slides);
}

void TMakerForm::lvItemsDrop(const std::vector<std::string>& files) {
    // A dropped folder adds what it holds, as Add Folder does.
    std::vector<std::string> items;
    for (const auto& file : files) {
        std::error_code ec;
        if (fs::is_directory(file, ec)) {
            const auto inside = sspack::SlidesOfFolder(file, file).slides;
            items.insert(items.end(), inside.begin(), inside.end());
        } else {
            items.push_back(file);
        }
    }
    AddItems(items);
}

void TMakerForm::AddItems(const std::vector<std::string>& files) {
    if (!files.empty()) {
        TakeIn(files, true);
    }
}

// Files are checked with the screen saver's own decoders, and their thumbnails made, on a thread of
// their own; the window stays with the user meanwhile.
void TMakerForm::TakeIn(const std::vector<std::string>& files, bool adding) {
    if (Busy()) {
        return;
    }
    ui_.pbBuild.value = 0;
    ui_.pbBuild.maximum = static_cast<int>(files.size());
    adding_.Start(
        TakeFilesIn(files, adding, TMakerControls::kThumbnail),
        [this](std::size_t done, std::size_t total) {
            ui_.pbBuild.maximum = static_cast<int>(total);
            ui_.pbBuild.value = static_cast<int>(done);
            Sync();
        },
        [this, files, adding](const FilesOutcome& outcome) {
            if (adding) {
                Added(files, outcome);
            } else {
                for (std::size_t i = 0; i < outcome.files.size(); ++i) {
                    thumbnails_[files[i]] = outcome.files[i].thumbnail;
                }
                SetStatus(FileName(project_.Path()));
            }
            ui_.pbBuild.value = 0;
            ShowItems();
            ShowBusy();
            Sync();
        });
    SetStatus(adding ? "Checking the files..." : "Making thumbnails...");
    ShowBusy();
}

void TMakerForm::Added(const std::vector<std::string>& files, const FilesOutcome& outcome) {
    if (outcome.cancelled || !outcome.error.empty()) {
        SetStatus(outcome.cancelled ? "Nothing added" : "Not added");
        if (!outcome.error.empty()) {
            Say(outcome.error, plat::MB_ICONERROR);
        }
        return;
    }
    std::vector<std::string> refused;
    std::size_t added = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileOutcome& file = outcome.files[i];
        if (file.problem) {
            refused.push_back(files[i] + ": " + *file.problem);
            continue;
        }
        project_.AddItem(files[i]);
        // Keyed as the project gives the name back, whichever separators the shell used.
        thumbnails_[project_.ItemFile(project_.ItemCount() - 1)] = file.thumbnail;
        ++added;
    }
    if (added > 0) {
        ui_.lvItems.itemIndex = static_cast<int>(project_.ItemCount() - 1);
    }
    core::Trace("Added " + std::to_string(added) + " of " + std::to_string(files.size()));
    SetStatus("Added " + std::to_string(added) + " of " + std::to_string(files.size()));
    ShowItems();
    SayRefused(refused, "show");
}

// While a build runs or files come in, nothing else may start; Cancel stops either.
void TMakerForm::ShowBusy() {
    const bool busy = Busy();
    for (Control* c : {&ui_.btnAddPictures, &ui_.btnAddFolder, &ui_.btnOpen, &ui_.btnBuild}) {
        c->enabled = !busy;
    }
    ui_.btnCancel.enabled = busy;
}

int TMakerForm::SelectedItem() const {
    const int line = ui_.lvItems.itemIndex;
    return line >= 0 && static_cast<std::size_t>(line) < project_.ItemCount() ? line : -1;
}

void TMakerForm::lvItemsSelect(int line) {
    ui_.lvItems.itemIndex = line;
    ShowItem();
}

void TMakerForm::btnRemoveClick() {
    const int item = SelectedItem();
    if (item < 0) {
        return;
    }
    project_.RemoveItem(static_cast<std::size_t>(item));
    ui_.lvItems.itemIndex = std::min(item, static_cast<int>(project_.ItemCount()) - 1);
    ShowItems();
}

void TMakerForm::btnMoveUpClick() {
    const int item = SelectedItem();
    if (item > 0) {
        project_.MoveItem(static_cast<std::size_t>(item), -1);
        ui_.lvItems.itemIndex = item - 1;
        ShowItems();
    }
}

void TMakerForm::btnMoveDownClick() {
    const int item = SelectedItem();
    if (item >= 0 && static_cast<std::size_t>(item) + 1 < project_.ItemCount()) {
        project_.MoveItem(static_cast<std::size_t>(item), 1);
        ui_.lvItems.itemIndex = item + 1;
        ShowItems();
    }
}

void TMakerForm::edCaptionEdited(const std::string& text) {
    ui_.edCaption.caption = text;
    if (const int item = SelectedItem(); item >= 0) {
        project_.SetItemCaption(static_cast<std::size_t>(item), text);
        ShowItems();
    }
}

void TMakerForm::edItemSecondsChange(int seconds) {
    ui_.edItemSeconds.value = seconds;
    if (const int item = SelectedItem(); item >= 0) {
        project_.SetItemDuration(static_cast<std::size_t>(item), seconds);
    }
}

void TMakerForm::cbItemSizeSelect(int line) {
    if (const int item = SelectedItem(); item >= 0 && line >= 0) {
        project_.SetItemSizeMode(static_cast<std::size_t>(item), line - 1);
        ShowItem();
    }
}

void TMakerForm::cbItemSoundSelect(int line) {
    if (const int item = SelectedItem(); item >= 0 && line >= 0) {
        project_.SetItemEnterSound(static_cast<std::size_t>(item), line - 1);
        ShowItem();
    }
}

// Music and sounds

void TMakerForm::AddSounds(const char* table, Control& list, const char* title) {
    plat::OpenFileRequest request;
    request.title = title;
    request.filter = kSoundFilter;
    request.multiSelect = true;
    std::vector<std::string> refused;
    for (const auto& file : plat::ShowOpenFileDialog(request)) {
        if (const auto problem = sspack::SoundProblem(file)) {
            refused.push_back(file + ": " + *problem);
        } else {
            project_.AddFile(table, file);
            list.itemIndex = static_cast<int>(project_.Files(table).size()) - 1;
        }
    }
    ShowSounds();
    ShowItem();
    SayRefused(refused, "play");
}

void TMakerForm::RemoveSound(const char* table, Control& list) {
    const int line = list.itemIndex;
    const auto count = static_cast<int>(project_.Files(table).size());
    if (line >= 0 && line < count) {
        project_.RemoveFile(table, static_cast<std::size_t>(line));
        list.itemIndex = std::min(line, count - 2);
        ShowSounds();
        ShowItem();
    }
}

void TMakerForm::btnAddMusicClick() { AddSounds(kMusic, ui_.lbMusic, "Add Music"); }

void TMakerForm::btnRemoveMusicClick() { RemoveSound(kMusic, ui_.lbMusic); }

void TMakerForm::btnMusicMove(int step) {
    const int line = ui_.lbMusic.itemIndex;
    const auto count = static_cast<int>(project_.Files(kMusic).size());
    if (line >= 0 && line + step >= 0 && line + step < count) {
        project_.MoveFile(kMusic, static_cast<std::size_t>(line), step);
        ui_.lbMusic.itemIndex = line + step;
        ShowSounds();
    }
}

void TMakerForm::btnAddSoundClick() { AddSounds(kEntrySounds, ui_.lbSounds, "Add Entry Sounds"); }

void TMakerForm::btnRemoveSoundClick() { RemoveSound(kEntrySounds, ui_.lbSounds); }

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

// The project

void TMakerForm::btnOpenClick() {
    if (!CanClose()) {
        return;
    }
    plat::OpenFileRequest request;
    request.title = "Open a Project";
    request.filter = kProjectFilter;
    const auto files = plat::ShowOpenFileDialog(request);
    if (!files.empty()) {
        OpenProject(files.front());
    }
}

bool TMakerForm::btnSaveClick() {
    std::string path = project_.Path();
    if (path.empty()) {
        plat::SaveFileRequest request;
        request.title = "Save the Project";
        request.filter = kProjectFilter;
        request.fileName = (project_.SaverName().empty() ? std::string("Screen Saver") : project_.SaverName()) + ".json";
        request.defaultExt = "json";
        const auto chosen = plat::ShowSaveFileDialog(request);
        if (!chosen) {
            return false;
        }
        path = *chosen;
    }
    try {
        project_.Save(path);
    } catch (const std::exception& e) {
        Say(path + ": " + e.what(), plat::MB_ICONERROR);
        return false;
    }
    core::Trace("Saved " + path);
    SetStatus(FileName(path));
    return true;
}

bool TMakerForm::CanClose() {
    if (!project_.Modified()) {
        return true;
    }
    switch (plat::ShowMessageBox("Save the changes to the project?", kTitle,
                                 plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION)) {
        case plat::IDYES:
            return btnSaveClick();
        case plat::IDNO:
            return true;
        default:
            return false;
    }
}

// Building

std::string TMakerForm::DefaultOutput() const {
    const std::string name = project_.SaverName().empty() ? std::string("Screen Saver") : project_.SaverName();
    const fs::path folder = project_.Path().empty() ? fs::path() : fs::path(project_.Path()).parent_path();
    return (folder / (name + ".scr")).string();
}

void TMakerForm::btnBuildClick() {
    if (Busy()) {
        return;
    }
    if (project_.ItemCount() == 0) {
        Say("Add pictures or videos first: a screen saver without them would show nothing.", plat::MB_ICONWARNING);
        return;
    }
    const auto runtime = FindRuntime();
    if (!runtime) {
        Say("saver.scr was not found beside the maker; keep the two in one folder.", plat::MB_ICONERROR);
        return;
    }
    if (output_.empty()) {
        plat::SaveFileRequest request;
        request.title = "Build the Screen Saver";
        request.filter = "Screen savers|*.scr";
        const fs::path offered(DefaultOutput());
        request.initialFolder = offered.parent_path().string();
        request.fileName = offered.filename().string();
        request.defaultExt = "scr";
        const auto chosen = plat::ShowSaveFileDialog(request);
        if (!chosen) {
            return;
        }
        output_ = *chosen;
    }
    BuildRequest request{project_.ToManifest(), *runtime, output_};
    ui_.pbBuild.value = 0;
    SetStatus("Checking the files...");
    job_.Start(
        std::move(request),
        [this](std::size_t done, std::size_t total) {
            ui_.pbBuild.maximum = static_cast<int>(total);
            ui_.pbBuild.value = static_cast<int>(done);
            Sync();
        },
        [this](const BuildOutcome& outcome) {
            BuildDone(outcome);
            Sync();
        });
    ShowBusy();
}

void TMakerForm::BuildDone(const BuildOutcome& outcome) {
    static constexpr const char* kResults[] = {"built", "refused", "cancelled", "failed"};
    core::Trace(std::string("Build ") + kResults[static_cast<int>(outcome.result)] + ": " + output_);
    ShowBusy();
    switch (outcome.result) {
        case BuildOutcome::Result::Built:
            built_ = output_;
            ui_.pbBuild.value = ui_.pbBuild.maximum;
            SetStatus("Built " + FileName(built_));
            break;
        case BuildOutcome::Result::Refused: {
            ui_.pbBuild.value = 0;
            SetStatus("Not built");
            std::string text = "Nothing was built: the screen saver would skip these.\n";
            for (const auto& problem : outcome.problems) {
                text += "\n" + problem;
            }
            Say(text, plat::MB_ICONWARNING);
            break;
        }
        case BuildOutcome::Result::Cancelled:
            ui_.pbBuild.value = 0;
            SetStatus("Build cancelled");
            break;
        case BuildOutcome::Result::Failed:
            ui_.pbBuild.value = 0;
            SetStatus("Not built");
            Say(outcome.error, plat::MB_ICONERROR);
            break;
    }
    ui_.btnTry.enabled = ui_.btnSettings.enabled = ui_.btnInstall.enabled = !built_.empty();
}

void TMakerForm::btnCancelClick() {
    if (Busy()) {
        job_.Cancel();
        adding_.Cancel();
        SetStatus("Cancelling...");
    }
}

void TMakerForm::btnTryClick() {
    if (!plat::StartProcess("\"" + built_ + "\" /s", plat::SW_SHOWNORMAL)) {
        Say(built_ + ": " + plat::LastErrorText(), plat::MB_ICONERROR);
    }
}

void TMakerForm::btnSettingsClick() {
    if (!plat::StartProcess("\"" + built_ + "\" /c", plat::SW_SHOWNORMAL)) {
        Say(built_ + ": " + plat::LastErrorText(), plat::MB_ICONERROR);
    }
}

void TMakerForm::btnInstallClick() {
    const std::string name =
        project_.SaverName().empty() ? fs::path(built_).stem().string() : project_.SaverName();
    const std::string installed = InstallSaver(built_, name);
    Say(name + " is now your screen saver.\n\nIt was put in " + installed, plat::MB_ICONINFORMATION);
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
        list.items.push_back(FileName(file) + (caption.empty() ? "" : " - " + caption));
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
    for (const auto& sound : project_.Files(kEntrySounds)) {
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
    for (const auto& file : project_.Files(kMusic)) {
        ui_.lbMusic.items.push_back(FileName(file));
    }
    ui_.lbSounds.items.clear();
    for (const auto& file : project_.Files(kEntrySounds)) {
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
