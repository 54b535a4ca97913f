#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/Geometry.h"
#include "platform/Window.h"

namespace plat {

// How a play request ended, as the media control services report it (MCI_NOTIFY_ values).
enum class MediaNotice : std::uint32_t {
    Successful = 0x0001,
    Superseded = 0x0002,
    Aborted = 0x0004,
    Failure = 0x0008,
};

// A media player: one open file at a time, played with a completion notice on the main loop.
class MediaPlayer {
public:
    static std::unique_ptr<MediaPlayer> Create();
    virtual ~MediaPlayer() = default;

    virtual void SetNotifyHandler(std::function<void(MediaNotice)> handler) = 0;
    // Opens a file; false when the services cannot play it.
    virtual bool Open(const std::string& path) = 0;
    virtual std::string FileName() const = 0;
    virtual bool IsOpen() const = 0;
    // Plays from the start; the notice arrives when playing ends or is interrupted.
    virtual bool Play() = 0;
    virtual void Stop() = 0;
    // The next notice is not delivered.
    virtual void SuppressNextNotice() = 0;
    virtual void Close() = 0;

    // Video: the window the picture goes to, the part of the movie shown and where it goes.
    virtual void SetDisplay(WindowHandle window) = 0;
    virtual gfx::IntSize MovieSize() const = 0;
    virtual void SetDisplayRect(const gfx::IntRect& target) = 0;
    virtual void SetAudioVolume(int percent) = 0;
};

}  // namespace plat
