#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/PackageFormat.h"
#include "package/Settings.h"
#include "platform/Media.h"
#include "sound/Playlist.h"

namespace snd {

// The background music and the items' entry sounds. SndPlay plays the tracks of the active
// playlist (the package's own, or the user's files) one after another, each started by the
// completion notice of the one before; EnterSndPlay plays the sound of the item coming on screen,
// so that both can sound at once.
class TMusicPlayer {
public:
    TMusicPlayer(pkg::Package& package, std::string packageFile, const pkg::SaverSettings& settings);

    // Once the package is read: the built-in tracks, or the user's own playlist when the settings
    // ask for it, shrunk to one random track with "PlayOneRandom".
    void PreparePlaylist(std::vector<std::string> customPlaylist);
    // The start in the full-screen saver: unless muted, the first track (drawn from a fresh bag
    // when shuffling).
    void StartMusic();

    void LoadMelody(std::int32_t index);
    // SndPlay's completion handler: a track that ended well brings the next one.
    void SndPlayNotify(plat::MediaNotice notice);
    void LoadEnterSound(std::int32_t index);

    // The end of the saver: both players closed and their temporary files deleted; the user's own
    // music files are never deleted.
    void StopAll();
    // The temporary file of the current built-in track, deleted once more when the window closes.
    void DeleteCurrentTrackFile();

    const TPlaylist& Playlist() const { return playlist_; }
    const std::vector<std::string>& CustomPlaylist() const { return customPlaylist_; }
    plat::MediaPlayer& SndPlay() { return *sndPlay_; }
    plat::MediaPlayer& EnterSndPlay() { return *enterSndPlay_; }

private:
    bool OwnPlaylist() const { return settings_.UseCustomPlaylist; }
    std::string TrackFile(std::int32_t index) const;
    // The user's file at that place of the list, when it is there.
    std::optional<std::string> OwnFile(std::int32_t index) const;
    // The built-in track taken out to its temporary file.
    std::optional<std::string> TakeOutTrack(std::int32_t index) const;
    bool StartTrack(const std::string& file);
    bool PlayAgain();
    void DeleteTrackFile(std::int32_t index);

    pkg::Package& package_;
    std::string packageFile_;
    const pkg::SaverSettings& settings_;
    TPlaylist playlist_;
    std::vector<std::string> customPlaylist_;
    std::unique_ptr<plat::MediaPlayer> sndPlay_;
    std::unique_ptr<plat::MediaPlayer> enterSndPlay_;
};

}  // namespace snd
