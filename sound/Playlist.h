#pragma once

#include <cstdint>
#include <vector>

namespace snd {

// Which track of the active playlist plays, and which comes after it: in order, wrapping round
// with Repeat, or in shuffled passes drawn from a bag of the track numbers.
struct TPlaylist {
    std::int32_t TrackCount = 0;
    std::int32_t CurrentTrack = 0;
    std::vector<std::int32_t> ShuffleBag;  // the rest of the current shuffled pass, drawn from the end
    bool BagExhausted = false;             // the only pass is over: the bag is never refilled

    // Chooses the track after CurrentTrack; afterwards CurrentTrack is outside 0..TrackCount-1
    // when the music is over.
    void Advance(bool shuffle, bool repeat);
    bool HasTrack() const { return CurrentTrack >= 0 && CurrentTrack < TrackCount; }

private:
    void RefillBag();
};

}  // namespace snd
