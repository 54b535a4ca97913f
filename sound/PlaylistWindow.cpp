#include "sound/PlaylistWindow.h"

#include <utility>

#include "config/Translation.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/WinConst.h"

namespace snd {

const char* const kMelodyFilter =
    "Audio Files (*.mid;*.mp3;*wma;*.wav;*.m4a;*.aac)|*.wav;*.mid;*.mp3;*wma;*.m4a;*.aac|MIDI Files (*.mid)|*.mid|"
    "MP3 Files (*.mp3)|*.mp3|Wave Files (*.wav)|*.wav|Windows Media Audio (*wma)|*wma|"
    "AAC Audio (*.m4a;*.aac)|*.m4a;*.aac";

namespace {

using plat::ControlKind;

void Place(plat::Control& c, ControlKind kind, int x, int y, int width, int height) {
    c.kind = kind;
    c.bounds = gfx::IntRect::FromSize(x, y, width, height);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TPlaylistWindow::TPlaylistWindow(plat::WindowHandle owner)
    : TDialogForm(config::Translate("My Playlist"), {486, 320}, owner),
      mPlay_(plat::MediaPlayer::Create("EditorPlay")) {
    Place(lbMelodies, ControlKind::List, 8, 8, 362, 304);
    Place(btnMelodyAdd, ControlKind::Button, 378, 8, 100, 25);
    Place(btnMelodyDelete, ControlKind::Button, 378, 39, 100, 25);
    Place(btnMelodyDelAll, ControlKind::Button, 378, 70, 100, 25);
    Place(btnMelodyUp, ControlKind::Button, 378, 106, 48, 30);
    Place(btnMelodyDown, ControlKind::Button, 430, 106, 48, 30);
    Place(lblSoundPreview, ControlKind::Label, 378, 152, 100, 13);
    Place(btnPlay, ControlKind::Button, 378, 168, 48, 30);
    Place(btnStop, ControlKind::Button, 430, 168, 48, 30);
    Place(btnClose, ControlKind::Button, 378, 287, 100, 25);
    btnMelodyUp.glyph = "up";
    btnMelodyDown.glyph = "down";
    btnPlay.glyph = "play";
    btnStop.glyph = "stop";
    btnClose.isDefault = btnClose.isCancel = true;
    for (plat::Control* c : {&btnMelodyAdd, &btnMelodyDelete, &btnMelodyDelAll, &lblSoundPreview, &btnClose}) {
        c->caption = config::Translate(c->caption);
    }
    UpdateButtons();
    MakeControls({&lbMelodies, &btnMelodyAdd, &btnMelodyDelete, &btnMelodyDelAll, &btnMelodyUp, &btnMelodyDown,
                  &lblSoundPreview, &btnPlay, &btnStop, &btnClose});
}

void TPlaylistWindow::SetLines(std::vector<std::string> lines) {
    lbMelodies.items = std::move(lines);
    lbMelodies.itemIndex = -1;
    UpdateButtons();
    Sync();
}

void TPlaylistWindow::UpdateButtons() {
    const bool any = !lbMelodies.items.empty();
    if (!any) {
        lbMelodies.itemIndex = -1;
    } else if (lbMelodies.itemIndex < 0) {
        lbMelodies.itemIndex = 0;
    }
    for (plat::Control* c : {&btnMelodyDelete, &btnMelodyDelAll, &btnMelodyUp, &btnMelodyDown, &btnPlay, &btnStop}) {
        c->enabled = any;
    }
}

void TPlaylistWindow::btnMelodyAddClick() {
    plat::OpenFileRequest request;
    request.filter = kMelodyFilter;
    request.initialFolder = startFolder_;
    request.multiSelect = true;
    const std::vector<std::string> chosen = plat::ShowOpenFileDialog(request);
    if (!chosen.empty()) {
        lbMelodies.items.insert(lbMelodies.items.end(), chosen.begin(), chosen.end());
        startFolder_ = FolderOf(chosen.front());
    }
    UpdateButtons();
}

void TPlaylistWindow::btnMelodyDeleteClick() {
    auto& lines = lbMelodies.items;
    const int at = lbMelodies.itemIndex;
    if (at >= 0 && at < static_cast<int>(lines.size())) {
        lines.erase(lines.begin() + at);
        // The line that took its place, or else the new last line.
        lbMelodies.itemIndex = at < static_cast<int>(lines.size()) ? at : static_cast<int>(lines.size()) - 1;
    }
    UpdateButtons();
}

void TPlaylistWindow::btnMelodyDelAllClick() {
    lbMelodies.items.clear();
    UpdateButtons();
}

void TPlaylistWindow::MoveSelected(int step) {
    auto& lines = lbMelodies.items;
    const int at = lbMelodies.itemIndex;
    const int to = at + step;
    if (at < 0 || to < 0 || to >= static_cast<int>(lines.size())) {
        return;
    }
    std::swap(lines[static_cast<std::size_t>(at)], lines[static_cast<std::size_t>(to)]);
    lbMelodies.itemIndex = to;
}

void TPlaylistWindow::btnMelodyUpClick() { MoveSelected(-1); }

void TPlaylistWindow::btnMelodyDownClick() { MoveSelected(1); }

void TPlaylistWindow::btnPlayClick() {
    const int at = lbMelodies.itemIndex;
    if (at < 0 || at >= static_cast<int>(lbMelodies.items.size())) {
        return;
    }
    const std::string& path = lbMelodies.items[static_cast<std::size_t>(at)];
    if (!plat::FileExists(path)) {
        plat::ShowMessageBox("Specified file does not exist.", plat::ApplicationTitle(), plat::MB_ICONERROR);
        return;
    }
    mPlay_->Close();
    if (!mPlay_->Open(path) || !mPlay_->Play()) {
        plat::ShowMessageBox(mPlay_->LastError(), plat::ApplicationTitle(), plat::MB_ICONERROR);
    }
}

void TPlaylistWindow::btnStopClick() { mPlay_->Close(); }

void TPlaylistWindow::OnEvent(const plat::ControlEvent& event) {
    using Kind = plat::ControlEvent::Kind;
    if (event.name == lbMelodies.name && event.kind == Kind::Select) {
        lbMelodies.itemIndex = event.value;
        return;
    }
    if (event.kind != Kind::Click) {
        return;
    }
    const std::pair<const plat::Control*, void (TPlaylistWindow::*)()> handlers[] = {
        {&btnMelodyAdd, &TPlaylistWindow::btnMelodyAddClick},   {&btnMelodyDelete, &TPlaylistWindow::btnMelodyDeleteClick},
        {&btnMelodyDelAll, &TPlaylistWindow::btnMelodyDelAllClick}, {&btnMelodyUp, &TPlaylistWindow::btnMelodyUpClick},
        {&btnMelodyDown, &TPlaylistWindow::btnMelodyDownClick}, {&btnPlay, &TPlaylistWindow::btnPlayClick},
        {&btnStop, &TPlaylistWindow::btnStopClick},             {&btnClose, &TPlaylistWindow::btnCloseClick},
    };
    for (const auto& [control, handler] : handlers) {
        if (event.name == control->name && control->enabled) {
            (this->*handler)();
        }
    }
}

}  // namespace snd
