#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

const char* NoticeName(MediaNotice notice);

// A media player over the system's media services: one open file at a time, the device chosen
// from the file's type (MCI's devices, and for MP4, M4V, MOV, M4A and AAC Media Foundation first),
// played with a completion notice that arrives on the main loop. Nothing here throws: every
// failure is a false result or an empty value.
class MediaPlayer {
public:
    // The name says which player it is in traces and in the simulated machine's log.
    static std::unique_ptr<MediaPlayer> Create(const std::string& name);
    virtual ~MediaPlayer() = default;

    virtual void SetNotifyHandler(std::function<void(MediaNotice)> handler) = 0;

    // Closes what was open and opens the file, waiting until the device is ready. The file name
    // stays as given, opened or not, until the next Open.
    virtual bool Open(const std::string& path) = 0;
    virtual const std::string& FileName() const = 0;
    virtual bool IsOpen() const = 0;
    // Why the last command that failed did, in the services' words.
    virtual const std::string& LastError() const = 0;
    // Plays from the current position, or from the start when the media is at its end (automatic
    // rewind). One notice follows: when playing ends, or when a later command interrupts it.
    virtual bool Play() = 0;
    // Back to the start of the media, so that the next Play plays it whole again.
    virtual bool Rewind() = 0;
    // The notices of everything asked so far are not delivered; the next Play asks for a new one.
    virtual void SuppressNextNotice() = 0;
    // Does nothing when no device is open.
    virtual void Close() = 0;

    // Video. The window the picture goes to (0: the device's own), the picture's destination
    // rectangle in that window (right after opening: the movie's natural size at (0, 0)), and the
    // audio volume, 0 to 1000. A volume of 0 is true only once the movie is certain to play silent.
    virtual bool SetDisplay(WindowHandle window) = 0;
    virtual std::optional<gfx::IntRect> DisplayRect() const = 0;
    virtual bool SetDisplayRect(const gfx::IntRect& target) = 0;
    virtual bool SetAudioVolume(int volume) = 0;
};

}  // namespace plat
