#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "gfx/Geometry.h"
#include "platform/Window.h"

namespace plat {

// The player control class could not be created (it is not registered with the system).
class FlashUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The Flash player control hosted in a panel of one of our windows.
class FlashPlayer {
public:
    // Throws FlashUnavailable when the control class does not exist.
    static std::unique_ptr<FlashPlayer> Create(Window& host, const gfx::IntRect& bounds);
    virtual ~FlashPlayer() = default;

    virtual void SetBounds(const gfx::IntRect& bounds) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetMovie(const std::string& path) = 0;
    virtual void SetPlaying(bool playing) = 0;
    virtual void SetMenu(bool menu) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
};

}  // namespace plat
