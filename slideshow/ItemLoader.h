#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "package/PackageFormat.h"
#include "package/Settings.h"
#include "platform/Surface.h"
#include "slideshow/FlashItem.h"
#include "slideshow/GifAnimator.h"
#include "slideshow/ItemPreparer.h"
#include "slideshow/Overlays.h"
#include "slideshow/Sequencer.h"
#include "slideshow/VideoItem.h"

namespace show {

// What loading an item works with; owned by the main window.
struct TLoadStage {
    pkg::Package& package;
    std::string packageFile;
    const pkg::SaverSettings& settings;
    TOverlays& overlays;
    TGifAnimator& gif;
    TSequencer& sequencer;
    plat::Surface& main;                 // Image32
    std::vector<plat::Surface*> others;  // the other monitors' image controls, in the system's order
    bool previewMode = false;
    std::function<void()> restartTimer;  // the transition's completion handler
    TVideoItem* video = nullptr;         // the player of video items
    TFlashItem* flash = nullptr;         // the player control of Flash items
    std::function<void(std::int32_t)> loadEnterSound;
    TItemPreparer* preparer = nullptr;   // prepares the next still while the current item shows
};

// LoadImage: one item of the package to the screen. A still image is decoded, filtered, masked and
// laid out on a full-window frame over the background with the logo and its caption, then brought
// on screen through a transition (or at once for the first item). Still images go round the
// monitors in the system's order, the main one first, each composed at its monitor's own size;
// movies, the desktop start and the preview stay on the main monitor.
class TItemLoader {
public:
    explicit TItemLoader(TLoadStage stage) : stage_(std::move(stage)) {}

    // Index below 0: only the background refresh and the desktop picture.
    void LoadImage(std::int32_t index, bool desktopFirst);

    // After a transition: the item at index is prepared for the monitor it will go to, when the
    // tick would make it the same way ahead of its time. The tick takes it, or throws it away.
    void PrepareNext(std::int32_t index);
    // Whether the item at index is being prepared for the monitor its tick would give it.
    bool BeingPrepared(std::int32_t index) const;

    // A monitor besides the main one (counted from 0) went away: its turn is skipped from now on.
    // Nothing may still draw on its image control.
    void DropOther(std::size_t other);
    // A monitor came: its image control takes its turn after the others.
    void AddOther(plat::Surface& image);
    // The image control that shows the current still image, and its monitor: 0 the main one, n the
    // n-th other.
    plat::Surface& TargetSurface() { return Screen(TargetScreen); }

    bool DirectShow = false;
    // Whether the next still is prepared ahead of its tick, and how many came so.
    bool Preparing = true;
    std::int32_t PreparedShown = 0;
    std::int32_t ShownIndex = -1;
    std::int32_t StillIndex = -1;
    // With two monitors in use: the main one (true) or the second receives the current still image.
    bool AlternateTarget = false;
    std::size_t TargetScreen = 0;
    bool ImageHeld = false;
    bool IsGifItem = false;
    gfx::IntRect ImageRect;
    const gfx::TBitmap32& MemImage() const { return memImage_; }

private:
    void LoadItem(std::int32_t index, bool desktopFirst, gfx::TBitmap32& workFrame, const TPreparedStill* prepared);
    std::int32_t StillMode(const pkg::ItemRecord& item) const;
    bool Preparable(std::int32_t index) const;
    std::optional<TPreparedStill> TakePrepared(std::int32_t index, bool still);
    void ShowVideo(std::int32_t index, std::int32_t sizeMode, const std::string& file, gfx::TBitmap32& workFrame);
    void ShowFlash(std::int32_t index, std::int32_t sizeMode, const std::string& file, gfx::TBitmap32& workFrame);
    void ShowBehindPanel(gfx::TBitmap32& workFrame);
    void ShowStillOnOthers(const pkg::ItemRecord& item, std::int32_t sizeMode);
    void DecodeStill(const pkg::ItemRecord& item, const std::string& file, std::int32_t sizeMode);
    gfx::IntRect DrawStill(std::int32_t sizeMode, gfx::TBitmap32& workFrame);
    plat::Surface& ChooseTarget();
    void Present(plat::Surface& target, const pkg::ItemRecord& item, const gfx::TBitmap32& workFrame,
                 std::int32_t sizeMode);
    std::size_t ScreenCount() const { return 1 + stage_.others.size(); }
    plat::Surface& Screen(std::size_t screen) { return screen == 0 ? stage_.main : *stage_.others[screen - 1]; }
    gfx::IntSize ScreenSize(std::size_t screen) { return Screen(screen).Bounds().Size(); }
    gfx::TBitmap32 ScreenBackground(std::size_t screen);
    // The size a still is decoded for: its monitor's, or with the first item, which shows on every
    // monitor, the largest of them.
    gfx::IntSize DecodeFrame();

    TLoadStage stage_;
    std::size_t screen_ = 0;      // the monitor the item being loaded is composed for
    bool turnTaken_ = false;      // some still image has had its monitor
    gfx::TBitmap32 memImage_;  // a large photograph may be decoded smaller than its own size
    gfx::IntSize imageSize_;    // the picture's own size, by which it is laid out
    std::optional<gfx::TBitmap32> memMask_;
    gfx::TBitmap32 gifbackg_;
    // The item is a picture of several frames in a format other than GIF (an animated WebP): the
    // GIF animator plays it.
    bool animatedStill_ = false;
};

}  // namespace show
