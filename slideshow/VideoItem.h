#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/Geometry.h"
#include "platform/Media.h"
#include "platform/Panel.h"

namespace show {

// Video items: MPlay shows the movie in PanelDisplay, placed by the item's size mode, while the
// slideshow timer rests; the movie's completion notice brings the next item, or, when it is the
// package's only item, plays it again from the start.
class TVideoItem {
public:
    // nextItemNow asks the slideshow for the next item at once.
    TVideoItem(plat::Panel& panelDisplay, gfx::IntSize screen, bool muteVideo, std::function<void()> nextItemNow);

    // Opens the item's temporary file; false when the media services cannot play it.
    bool Open(const std::string& file);
    // Lays the panel out for the opened movie and plays it there; false when the device refuses the
    // panel, its rectangle or (with MuteVideo) silence, or does not start.
    bool Play(std::int32_t sizeMode, bool lone);
    void MPlayNotify(plat::MediaNotice notice);
    // Ends the video: notices off, device closed, panel hidden, the file it had deleted.
    void Stop();

    bool VideoPlaying = false;
    plat::MediaPlayer& MPlay() { return *mPlay_; }
    const std::string& LastError() const { return mPlay_->LastError(); }

private:
    void CloseDevice();
    // Shows the opened movie in the panel, placed by the size mode, and silences it when asked.
    bool Attach(std::int32_t sizeMode);

    plat::Panel& panelDisplay_;
    gfx::IntSize screen_;
    bool muteVideo_;
    bool lone_ = false;
    std::function<void()> nextItemNow_;
    std::unique_ptr<plat::MediaPlayer> mPlay_;
};

}  // namespace show
