#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "package/PackageFormat.h"
#include "package/Settings.h"
#include "platform/Surface.h"
#include "slideshow/FlashItem.h"
#include "slideshow/GifAnimator.h"
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
    plat::Surface& main;      // Image32
    plat::Surface* second;    // the second monitor's image control, when in use
    bool previewMode = false;
    std::function<void()> restartTimer;  // the transition's completion handler
    TVideoItem* video = nullptr;         // the player of video items
    TFlashItem* flash = nullptr;         // the player control of Flash items
    std::function<void(std::int32_t)> loadEnterSound;
};

// LoadImage: one item of the package to the screen. A still image is decoded, filtered, masked and
// laid out on a full-window frame over the background with the logo and its caption, then brought
// on screen through a transition (or at once for the first item).
class TItemLoader {
public:
    explicit TItemLoader(TLoadStage stage) : stage_(std::move(stage)) {}

    // Index below 0: only the background refresh and the desktop picture.
    void LoadImage(std::int32_t index, bool desktopFirst);

    // The frame size: the main image control's.
    gfx::IntSize FrameSize() const { return stage_.main.Bounds().Size(); }

    bool DirectShow = false;
    std::int32_t ShownIndex = -1;
    std::int32_t StillIndex = -1;
    bool AlternateTarget = false;
    bool ImageHeld = false;
    bool IsGifItem = false;
    gfx::IntRect ImageRect;
    const gfx::TBitmap32& MemImage() const { return memImage_; }

private:
    void LoadItem(std::int32_t index, bool desktopFirst, gfx::TBitmap32& workFrame);
    void ShowVideo(std::int32_t index, std::int32_t sizeMode, const std::string& file, gfx::TBitmap32& workFrame);
    void ShowFlash(std::int32_t index, std::int32_t sizeMode, const std::string& file, gfx::TBitmap32& workFrame);
    void ShowBehindPanel(gfx::TBitmap32& workFrame);
    void DecodeStill(const pkg::ItemRecord& item, const std::string& file, std::int32_t sizeMode);
    void DrawStill(std::int32_t sizeMode, gfx::TBitmap32& workFrame);
    plat::Surface& ChooseTarget();
    void Present(plat::Surface& target, const pkg::ItemRecord& item, const gfx::TBitmap32& workFrame);

    TLoadStage stage_;
    gfx::TBitmap32 memImage_;  // a large photograph may be decoded smaller than its own size
    gfx::IntSize imageSize_;    // the picture's own size, by which it is laid out
    std::optional<gfx::TBitmap32> memMask_;
    gfx::TBitmap32 gifbackg_;
    // The item is a picture of several frames in a format other than GIF (an animated WebP): the
    // GIF animator plays it.
    bool animatedStill_ = false;
};

}  // namespace show
