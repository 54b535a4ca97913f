#include "sound/Playlist.h"

#include <utility>

#include "common/Random.h"

namespace snd {

void TPlaylist::Advance(bool shuffle, bool repeat) {
    if (!shuffle) {
        ++CurrentTrack;
        if (CurrentTrack >= TrackCount && repeat) {
            CurrentTrack = 0;
        }
        return;
    }
    if (ShuffleBag.empty() && !BagExhausted) {
        RefillBag();
    }
    if (ShuffleBag.empty()) {
        CurrentTrack = -1;
        return;
    }
    CurrentTrack = ShuffleBag.back();
    ShuffleBag.pop_back();
    if (ShuffleBag.empty() && !repeat) {
        BagExhausted = true;
    }
}

// Every position swaps with one drawn from the whole range, so the first track of a new pass may
// be the one that just ended.
void TPlaylist::RefillBag() {
    const std::int32_t n = TrackCount > 0 ? TrackCount : 0;
    ShuffleBag.resize(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        ShuffleBag[static_cast<std::size_t>(i)] = i;
    }
    for (std::int32_t i = 0; i < n; ++i) {
        std::swap(ShuffleBag[static_cast<std::size_t>(i)], ShuffleBag[static_cast<std::size_t>(core::Random(n))]);
    }
}

}  // namespace snd
