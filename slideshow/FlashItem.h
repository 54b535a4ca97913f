#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/Geometry.h"
#include "package/PackageFormat.h"
#include "platform/Flash.h"
#include "platform/Panel.h"
#include "platform/Timer.h"

namespace show {

// The movie's own frame size in pixels, from the frame rectangle of its header (twips / 20).
// Throws when the file cannot be read or is too short to hold the rectangle.
gfx::IntSize MovieFrameSize(const std::string& file);

// Flash items: a fresh player control shows the movie in PanelDisplay, placed by the item's size
// mode, and plays it by itself; FlashTimer asks it every 100 ms whether it still plays and, once it
// does not, asks the slideshow for the next item. The next tick closes the item.
class TFlashItem {
public:
    // nextItemNow asks the slideshow for the next item at once; repaint shows the image surfaces
    // again.
    TFlashItem(plat::Panel& panelDisplay, gfx::IntSize screen, std::function<void()> nextItemNow,
               std::function<void()> repaint);
    ~TFlashItem();
    TFlashItem(const TFlashItem&) = delete;
    TFlashItem& operator=(const TFlashItem&) = delete;

    // A fresh control in PanelDisplay, hidden; the one before is stopped and destroyed first.
    // Throws plat::FlashUnavailable.
    void CreateControl();
    // A fresh control with the movie in it and its frame size read; nothing shows yet. Throws.
    void Open(const std::string& file, bool exitMouseMove);
    // Lays the panel out for the movie, shows it, starts the poll and plays. An item without a
    // duration of its own is given 86400 seconds. Throws; the item is then closed again.
    void Play(pkg::ItemRecord& item, std::int32_t sizeMode);
    void FlashTimerTimer();
    void CloseAndStopFlash();
    // At the close: the item ends and the control goes.
    void Destroy();

    bool FlashShowing = false;
    plat::Timer& FlashTimer() { return flashTimer_; }
    plat::FlashPlayer* Player() { return player_.get(); }

private:
    void DestroyControl();

    plat::Panel& panelDisplay_;
    gfx::IntSize screen_;
    std::function<void()> nextItemNow_;
    std::function<void()> repaint_;
    std::unique_ptr<plat::FlashPlayer> player_;
    gfx::IntSize frame_;
    plat::Timer flashTimer_;
};

}  // namespace show
