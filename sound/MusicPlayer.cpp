#include "sound/MusicPlayer.h"

#include "common/Random.h"
#include "common/Trace.h"
#include "package/Pieces.h"
#include "package/TempFolder.h"
#include "platform/Files.h"

namespace snd {

TMusicPlayer::TMusicPlayer(pkg::Package& package, std::string packageFile, const pkg::SaverSettings& settings)
    : package_(package),
      packageFile_(std::move(packageFile)),
      settings_(settings),
      sndPlay_(plat::MediaPlayer::Create("SndPlay")),
      enterSndPlay_(plat::MediaPlayer::Create("EnterSndPlay")) {}

void TMusicPlayer::PreparePlaylist(std::vector<std::string> customPlaylist) {
    playlist_ = TPlaylist{};
    playlist_.TrackCount = static_cast<std::int32_t>(package_.sounds.size());
    if (OwnPlaylist()) {
        customPlaylist_ = std::move(customPlaylist);
        playlist_.TrackCount = static_cast<std::int32_t>(customPlaylist_.size());
    }
    if (settings_.PlayOneRandom && playlist_.TrackCount > 1) {
        const auto pick = static_cast<std::size_t>(core::Random(playlist_.TrackCount));
        if (OwnPlaylist()) {
            customPlaylist_[0] = customPlaylist_[pick];
        } else {
            package_.sounds[0] = package_.sounds[pick];
        }
        playlist_.TrackCount = 1;
    }
    playlist_.CurrentTrack = 0;
}

void TMusicPlayer::StartMusic() {
    if (settings_.Mute) {
        return;
    }
    if (settings_.ShuffleMelody) {
        SndPlayNotify(plat::MediaNotice::Successful);
    } else {
        LoadMelody(playlist_.CurrentTrack);
    }
}

std::string TMusicPlayer::TrackFile(std::int32_t index) const {
    const auto piece = pkg::TrackPiece(package_, index);
    return piece ? pkg::TempFolder() + piece->FileName() : std::string();
}

void TMusicPlayer::LoadMelody(std::int32_t index) {
    try {
        const std::optional<std::string> file = OwnPlaylist() ? OwnFile(index) : TakeOutTrack(index);
        if (file && StartTrack(*file)) {
            core::Trace((OwnPlaylist() ? "Music file " : "Music track ") + std::to_string(index));
        }
    } catch (...) {
        // A track that does not start sends no notice: the music stops here.
    }
}

std::optional<std::string> TMusicPlayer::OwnFile(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= customPlaylist_.size()) {
        return std::nullopt;
    }
    const std::string& path = customPlaylist_[static_cast<std::size_t>(index)];
    if (path.empty() || !plat::FileExists(path)) {
        core::Trace("Music file " + std::to_string(index) + " missing");
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> TMusicPlayer::TakeOutTrack(std::int32_t index) const {
    if (index < 0 || index >= playlist_.TrackCount) {
        return std::nullopt;
    }
    const auto piece = pkg::TrackPiece(package_, index);
    auto file = piece ? pkg::ExtractPiece(packageFile_, *piece) : std::nullopt;
    if (!file) {
        core::Trace("Music track " + std::to_string(index) + " cannot be taken out");
    }
    return file;
}

bool TMusicPlayer::StartTrack(const std::string& file) {
    sndPlay_->Close();
    if (sndPlay_->Open(file) && sndPlay_->Play()) {
        return true;
    }
    core::Trace("Music not played: " + sndPlay_->LastError());
    return false;
}

void TMusicPlayer::SndPlayNotify(plat::MediaNotice notice) {
    if (notice != plat::MediaNotice::Successful) {
        return;
    }
    try {
        sndPlay_->SuppressNextNotice();
        const std::int32_t ended = playlist_.CurrentTrack;
        playlist_.Advance(settings_.ShuffleMelody, settings_.Loop);
        if (playlist_.CurrentTrack == ended && PlayAgain()) {
            return;
        }
        sndPlay_->Close();
        DeleteTrackFile(ended);
        if (playlist_.HasTrack()) {
            LoadMelody(playlist_.CurrentTrack);
        } else {
            core::Trace("Music over");
        }
    } catch (...) {
    }
}

// The track that has just ended comes again: it plays once more from its start on the device that
// is still open. The device is not closed while the thread that sent its notice may still be on its
// way out of the device's driver, and its file stays as it is.
bool TMusicPlayer::PlayAgain() {
    if (!playlist_.HasTrack() || !sndPlay_->IsOpen() || !sndPlay_->Rewind() || !sndPlay_->Play()) {
        return false;
    }
    core::Trace((OwnPlaylist() ? "Music file " : "Music track ") + std::to_string(playlist_.CurrentTrack));
    return true;
}

void TMusicPlayer::LoadEnterSound(std::int32_t index) {
    try {
        enterSndPlay_->Close();
        if (!enterSndPlay_->FileName().empty()) {
            plat::RemoveFile(enterSndPlay_->FileName());
        }
        const auto piece = pkg::EntrySoundPiece(package_, index);
        if (!piece) {
            return;
        }
        plat::RemoveFile(pkg::TempFolder() + piece->FileName());
        const auto file = pkg::ExtractPiece(packageFile_, *piece);
        if (file && enterSndPlay_->Open(*file) && enterSndPlay_->Play()) {
            core::Trace("Entry sound " + std::to_string(index));
        } else {
            core::Trace("Entry sound " + std::to_string(index) + " not played: " + enterSndPlay_->LastError());
        }
    } catch (...) {
    }
}

void TMusicPlayer::StopAll() {
    sndPlay_->SuppressNextNotice();
    sndPlay_->Close();
    if (!OwnPlaylist() && !sndPlay_->FileName().empty()) {
        plat::RemoveFile(sndPlay_->FileName());
    }
    enterSndPlay_->Close();
    if (!enterSndPlay_->FileName().empty()) {
        plat::RemoveFile(enterSndPlay_->FileName());
    }
}

void TMusicPlayer::DeleteCurrentTrackFile() { DeleteTrackFile(playlist_.CurrentTrack); }

void TMusicPlayer::DeleteTrackFile(std::int32_t index) {
    if (OwnPlaylist()) {
        return;
    }
    const std::string file = TrackFile(index);
    if (!file.empty()) {
        plat::RemoveFile(file);
    }
}

}  // namespace snd
