#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/DialogForm.h"
#include "platform/Media.h"

namespace snd {

// The playlist editor: the user's own music files, added through the open-file dialog, removed,
// put in order, and heard on a player of the editor's own.
class TPlaylistWindow : public config::TDialogForm {
public:
    explicit TPlaylistWindow(plat::WindowHandle owner);

    // The list the editor shows; setting it brings the buttons up to date.
    std::vector<std::string> Lines() const { return lbMelodies.items; }
    void SetLines(std::vector<std::string> lines);

    void btnMelodyAddClick();
    void btnMelodyDeleteClick();
    void btnMelodyDelAllClick();
    void btnMelodyUpClick();
    void btnMelodyDownClick();
    void btnPlayClick();
    void btnStopClick();
    void btnCloseClick() { Close(); }
    void UpdateButtons();

    plat::MediaPlayer& MPlay() { return *mPlay_; }

    plat::Control lbMelodies{"lbMelodies", ""};
    plat::Control btnMelodyAdd{"btnMelodyAdd", "Add"};
    plat::Control btnMelodyDelete{"btnMelodyDelete", "Remove"};
    plat::Control btnMelodyDelAll{"btnMelodyDelAll", "Remove All"};
    plat::Control btnMelodyUp{"btnMelodyUp", ""};
    plat::Control btnMelodyDown{"btnMelodyDown", ""};
    plat::Control lblSoundPreview{"lblSoundPreview", "Sound Preview"};
    plat::Control btnPlay{"btnPlay", ""};
    plat::Control btnStop{"btnStop", ""};
    plat::Control btnClose{"btnClose", "Close"};

protected:
    void OnEvent(const plat::ControlEvent& event) override;

private:
    void MoveSelected(int step);

    std::string startFolder_;
    std::unique_ptr<plat::MediaPlayer> mPlay_;
};

// The open-file dialog's filter for music files.
extern const char* const kMelodyFilter;

}  // namespace snd
