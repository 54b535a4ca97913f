#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "gfx/Geometry.h"
#include "platform/Panel.h"

namespace plat {

// The player control could not be made: its class is not registered with the system, or the
// control would not start in its panel.
class FlashUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The control failed a property or a method, or raised an exception in it.
class FlashError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The Flash player control, hosted in a panel by its class id and filling the panel at first. It
// plays the movie by itself; the program sets its properties and asks whether it still plays.
// Every call the control fails throws FlashError.
class FlashPlayer {
public:
    // Throws FlashUnavailable.
    static std::unique_ptr<FlashPlayer> Create(Panel& panel);
    virtual ~FlashPlayer() = default;

    // In the panel's client coordinates.
    virtual void SetBounds(const gfx::IntRect& bounds) = 0;
    virtual void SetVisible(bool visible) = 0;
    // The properties Movie (the movie file's path), Playing and Menu (the control's own context menu).
    virtual void SetMovie(const std::string& path) = 0;
    virtual void SetPlaying(bool playing) = 0;
    virtual void SetMenu(bool menu) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
};

}  // namespace plat
