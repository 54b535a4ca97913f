// The maker window's items, music and entry sounds: adding (checked and with thumbnails, on a job),
// ordering, removing and describing them.

#include <filesystem>

#include "common/Trace.h"
#include "platform/Dialogs.h"
#include "platform/WinConst.h"
#include "tools/ssmaker/MakerForm.h"
#include "tools/ssmaker/MakerText.h"
#include "tools/sspack/FolderManifest.h"
#include "tools/sspack/MediaCheck.h"

namespace fs = std::filesystem;

namespace maker {

namespace {

constexpr char kItemFilter[] =
    "Pictures and videos|*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.gif;*.tif;*.tiff;*.heic;*.heif;*.hif;*.avif;*.webp;"
    "*.bmp;*.rle;*.dib;*.ico;*.wmf;*.emf;*.avi;*.asf;*.wmv;*.mpeg;*.mpg;*.mp4;*.m4v;*.mov|All files|*.*";
constexpr char kSoundFilter[] = "Music and sounds|*.wav;*.mp3;*.mid;*.rmi;*.wma;*.m4a;*.aac|All files|*.*";

}  // namespace

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

void TMakerForm::btnAddMusicClick() { AddSounds(sounds::kMusic, ui_.lbMusic, "Add Music"); }

void TMakerForm::btnRemoveMusicClick() { RemoveSound(sounds::kMusic, ui_.lbMusic); }

void TMakerForm::btnMusicMove(int step) {
    const int line = ui_.lbMusic.itemIndex;
    const auto count = static_cast<int>(project_.Files(sounds::kMusic).size());
    if (line >= 0 && line + step >= 0 && line + step < count) {
        project_.MoveFile(sounds::kMusic, static_cast<std::size_t>(line), step);
        ui_.lbMusic.itemIndex = line + step;
        ShowSounds();
    }
}

void TMakerForm::btnAddSoundClick() { AddSounds(sounds::kEntrySounds, ui_.lbSounds, "Add Entry Sounds"); }

void TMakerForm::btnRemoveSoundClick() { RemoveSound(sounds::kEntrySounds, ui_.lbSounds); }


}  // namespace maker
