#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "package/Pieces.h"

namespace show {

// What the preparing thread works on: copies of everything it needs, so that it shares nothing
// with the main thread or a transition.
struct TStillJob {
    std::string packageFile;
    pkg::Piece piece;
    std::optional<pkg::Piece> maskPiece;
    std::uint8_t maskKind = 0;
    std::int32_t filters = 0;
    std::int32_t index = -1;
    std::size_t screen = 0;  // the monitor it goes to: 0 the main one, n the n-th other
    std::int32_t sizeMode = 0;
    gfx::TBitmap32 background;  // that monitor's background, at its size
};

// A still laid out ahead of its tick: the frame the tick would make, but for the logo and the
// caption, which the tick draws.
struct TPreparedStill {
    std::int32_t index = -1;
    std::size_t screen = 0;
    std::int32_t sizeMode = 0;
    gfx::TBitmap32 frame;
    gfx::IntRect imageRect;
    gfx::IntSize imageSize;    // the picture's own size, by which it was laid out
    gfx::IntSize decodedSize;  // the size it was decoded at
    std::vector<std::string> traced;  // what decoding traced, for the tick to write in its place
};

// Decodes, filters, masks and lays out the next still on a thread of its own while the current
// item shows. One at a time: a job asked for while one runs, even an abandoned one, is not started,
// so that no more than one picture is decoded ahead. The thread's files get names of their own, so
// that the tick may take the same item out meanwhile.
class TItemPreparer {
public:
    TItemPreparer() = default;
    TItemPreparer(const TItemPreparer&) = delete;
    TItemPreparer& operator=(const TItemPreparer&) = delete;
    ~TItemPreparer();

    // Main thread.
    void Start(TStillJob job);
    // The prepared still when it is the one asked for; whatever else is ready is thrown away.
    std::optional<TPreparedStill> Take(std::int32_t index, std::size_t screen, std::int32_t sizeMode);
    // What is ready goes; what runs is abandoned, its result thrown away when it comes.
    void Discard();
    bool Running() const { return run_ != nullptr; }
    // Whether the one running is for this item, monitor and size mode.
    bool RunningFor(std::int32_t index, std::size_t screen, std::int32_t sizeMode) const;
    // How often what was prepared or being prepared was thrown away.
    int Discards() const { return discards_; }
    bool Ready() const { return ready_.has_value(); }
    // Threads of this preparer still in their work, abandoned ones included.
    int Working() const { return *working_; }

    // Before the process ends: until no preparing thread is left in its work (a decoder's state
    // must not go away under it).
    static void WaitForAll();

    // Tests: runs on the preparing thread between its steps (taking out, decoding, masking), where
    // the simulated machine may let time pass as a large picture's decoding does.
    static void SetStepHook(std::function<void()> hook);

private:
    struct Run;
    std::shared_ptr<Run> run_;
    std::optional<TPreparedStill> ready_;
    int discards_ = 0;
    std::shared_ptr<std::atomic<int>> working_ = std::make_shared<std::atomic<int>>(0);
};

// The work itself, on any thread: nothing when the still cannot be prepared (it cannot be taken
// out or decoded, or it is an animation), and the tick then loads it as it always did.
std::optional<TPreparedStill> PrepareStill(TStillJob job, const std::atomic<bool>& abandoned);

}  // namespace show
