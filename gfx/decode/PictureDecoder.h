#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"

namespace gfx {

class TSrgbConversion;

// What happens to a GIF frame's rectangle before the next frame is drawn.
enum class TDisposal : std::uint8_t {
    Unspecified = 0,
    DoNotDispose = 1,
    RestoreBackground = 2,
    RestorePrevious = 3,
};

// One frame as the file stores it: its own pixels at its own place on the picture, not composed
// with the frames before it.
struct TPictureFrame {
    // The frame's pixels at the frame's own size. Pixels of the transparent colour have alpha 0
    // and keep that colour's red, green and blue.
    TBitmap32 bitmap;
    IntPoint position;  // top-left corner on the picture
    std::int32_t delayMs = 0;
    TDisposal disposal = TDisposal::Unspecified;
    std::int32_t transparentIndex = -1;  // palette index of the transparent colour; -1 for none
    Color32 transparentColor = 0;        // that palette colour, opaque; 0 for none
    // False for a frame cut off by damage: the rows its data did not reach have alpha 0 too.
    bool complete = true;

    IntRect Rect() const { return IntRect::FromSize(position.x, position.y, bitmap.Width(), bitmap.Height()); }
    bool HasTransparency() const { return transparentIndex >= 0; }
    // Whether every pixel of the frame's rectangle is drawn.
    bool Opaque() const { return !HasTransparency() && complete; }
};

// A decoded picture: one frame covering it for still formats, every frame of an animation.
struct TPicture {
    IntSize size;  // for a GIF, its logical screen
    std::vector<TPictureFrame> frames;
    std::optional<Color32> backgroundColor;  // a GIF's background colour from its global palette
    // Set when a GIF carries the looping extension: its repeat count, 0 for "for ever".
    std::optional<std::uint16_t> loopCount;
};

// A still picture as one frame at the origin.
TPicture StillPicture(TBitmap32 bitmap);

// One picture format. Open reads only the header; Frames decodes. The bytes given to Open must
// stay alive until the last Frames call. Every failure (broken, truncated or hostile data, a size
// beyond the pixel cap, running out of memory) is "nothing": Open gives false, Frames nothing,
// and Failure says why.
class TPictureDecoder {
public:
    virtual ~TPictureDecoder() = default;

    virtual bool Open(std::span<const std::uint8_t> bytes) = 0;
    // The size of the decoded picture as it is seen: upright, after any reduction for the pixel
    // cap. Valid after Open.
    virtual IntSize Size() const = 0;
    // Tells the decoder the picture will be drawn into a rectangle of `drawn` (upright), between
    // Open and Frames. One that can decode at a reduced scale may then give smaller frames, never
    // smaller than `drawn`; Size stays the picture's own. The others decode as they are.
    virtual void ReduceFor(IntSize drawn) { static_cast<void>(drawn); }
    virtual std::optional<TPicture> Frames() = 0;

    // The ICC profile embedded in the picture, as Open found it; empty when it has none or when
    // the decoder leaves it aside (one that does not fit the colours it gives). Frames gives the
    // profile's colours; DecodePicture converts them to sRGB.
    const std::vector<std::uint8_t>& IccProfile() const { return iccProfile_; }
    // Asks Frames to convert each row to sRGB by `toSrgb` while the row is fresh in the cache,
    // between Open and Frames; `toSrgb` must outlive Frames. A decoder that can gives true; the
    // frames of the others are converted whole afterwards.
    virtual bool ConvertRowsWith(const TSrgbConversion& toSrgb) {
        static_cast<void>(toSrgb);
        return false;
    }

    // Why the last Open or Frames gave nothing, in a few words (the library's own where it gives
    // one); empty after a success.
    const std::string& Failure() const { return failure_; }

    // The size the header states, once Open has read that far (0 x 0 otherwise), also when Open
    // refused the picture for the pixel cap: so that a refusal can say why.
    IntSize StatedSize() const { return stated_; }

protected:
    void SetFailure(std::string why) { failure_ = std::move(why); }
    void ClearFailure() { failure_.clear(); }

    // Frames around a decoder's own decoding: running out of memory fails like anything else, and
    // a success clears the last failure.
    template <typename Decode>
    std::optional<TPicture> Guarded(Decode decode) {
        try {
            auto picture = decode();
            if (picture) {
                ClearFailure();
            }
            return picture;
        } catch (const std::bad_alloc&) {
            SetFailure("out of memory");
            return std::nullopt;
        }
    }

    IntSize stated_;

protected:
    std::vector<std::uint8_t> iccProfile_;

private:
    std::string failure_;
};

// "W x H pixels are beyond the pixel cap" for a refused size.
std::string BeyondCap(std::int64_t width, std::int64_t height);

}  // namespace gfx
