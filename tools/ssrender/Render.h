#pragma once

// What ssrender does, apart from reading its command line: transitions run through the real engine
// on the simulated platform, headless.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace ssrender {

// One transition from one picture to another of the same size.
struct Transition {
    gfx::TBitmap32 from;
    gfx::TBitmap32 to;
    std::int32_t effect = 1;
    std::int32_t frames = 32;
    std::int32_t delayMs = 10;
};

// What the canvas shows at one moment of a transition, and the virtual time in milliseconds.
using FrameSink = std::function<void(const gfx::TBitmap32& canvas, std::uint64_t timeMs)>;

// A picture file of any format the runtime decodes (by its extension), as one bitmap: an animation
// gives its first frame. Throws std::runtime_error saying why a file cannot be shown.
gfx::TBitmap32 ReadPicture(const std::string& path);

// Runs the transition on a fresh simulated machine: the canvas shows `from`, StartTransition draws
// `to` on it. The sink sees the canvas, opaque as a screen shows it, before the first frame, after
// every frame and after the final frame. Returns how many times it was called.
std::int32_t RunTransition(const Transition& transition, const FrameSink& sink);

struct EffectOptions {
    std::int32_t effect = 1;
    std::string from;  // both empty: the built-in pictures
    std::string to;
    std::optional<gfx::IntSize> size;  // default: the size of `to`, or 160 x 120 for the built-in ones
    std::int32_t frames = 32;
    std::int32_t delayMs = 10;
    std::string outDir;   // frame-0001.png ...
    std::string gifFile;  // or one animated GIF
};

// Returns the number of frames written.
std::int32_t RenderEffect(const EffectOptions& options);

struct SheetOptions {
    std::string out;
    gfx::IntSize size{160, 120};
    std::int32_t frames = 32;
    double at = 0.5;
    std::vector<std::int32_t> effects;
    std::string from;  // built-in pictures when empty
    std::string to;
    std::int32_t columns = 8;
};

// A contact sheet: each effect's canvas at the fraction `at` of its frames, labelled with its number
// and name.
void RenderSheet(const SheetOptions& options);

// "WxH" with both at least 1; nothing when the text is not of that form.
std::optional<gfx::IntSize> ParseSize(const std::string& text);
// "1-64", "5", "1-8,23,40-42"; nothing when the text is not of that form or a number is not 1..120.
std::optional<std::vector<std::int32_t>> ParseEffects(const std::string& text);

// The pictures the sheet uses when it is given none: 0 is the old picture, 1 the new one.
gfx::TBitmap32 SamplePicture(int which, gfx::IntSize size);

}  // namespace ssrender
