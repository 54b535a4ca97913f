#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "gfx/decode/ColorProfile.h"

namespace gfx {

// Converts a decoder's rows to sRGB on a second thread while the decoder goes on with the rows
// below, so that on a machine with a core to spare a large picture's conversion adds next to
// nothing to its decoding; each row is converted while it is still in the cache. The decoder
// writes each row either at its final place or, when that place is not a row of the picture (a
// turned picture), into a slot given here; `store` then takes the converted slot to its place.
// A small picture, or one for which no thread can be started, has every row converted at once.
//
// The rows must be handed over in order from one thread. Every row handed over has been
// converted, and stored, once Finish has returned, or the object is gone.
class TConvertingRows {
public:
    using TStore = std::function<void(std::int32_t y, const Color32* row)>;

    TConvertingRows(const TSrgbConversion& toSrgb, IntSize stored, TStore store);
    ~TConvertingRows();
    TConvertingRows(const TConvertingRows&) = delete;
    TConvertingRows& operator=(const TConvertingRows&) = delete;

    // Where row y may be written when it has no place of its own; waits until the slot is free.
    Color32* Slot(std::int32_t y);
    // Row y is written, at `row`: its place in the picture, or its slot.
    void Done(std::int32_t y, Color32* row);
    // Waits until every row handed over is converted and stored.
    void Finish();

private:
    struct Handed {
        std::int32_t y;
        Color32* row;
        bool inSlot;
    };

    void Convert(const Handed& h) const;
    // Waits, with the lock held, until row y is fewer than `room` rows ahead of the converted ones.
    void WaitForRoom(std::unique_lock<std::mutex>& lock, std::int32_t y, std::int32_t room);
    void Work();

    const TSrgbConversion& toSrgb_;
    std::int32_t width_;
    TStore store_;
    std::vector<Color32> slots_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Handed> handed_;  // a ring of the rows in flight, indexed by row
    std::int32_t ready_ = 0;      // rows handed over
    std::int32_t converted_ = 0;  // rows converted and stored
    bool finishing_ = false;
    bool decoderWaits_ = false;
    bool workerWaits_ = false;
    std::thread worker_;
};

}  // namespace gfx
