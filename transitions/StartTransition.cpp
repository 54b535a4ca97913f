#include "transitions/StartTransition.h"

#include "common/Flags.h"
#include "common/Random.h"
#include "platform/MessageLoop.h"
#include "transitions/TransThread.h"

namespace trans {

void StartTransition(plat::Surface& target, const gfx::TBitmap32& image, std::int32_t effect, std::int32_t frameDelay,
                     std::int32_t frameCount, bool wait) {
    core::Randomize();
    core::ProcessFlags& flags = core::Flags();
    flags.TransAbort = false;
    flags.TransCancel = false;
    flags.TransBusy = true;
    flags.TransFrameCount = frameCount;

    if (effect == 0) {
        // CopyWhole: the image at once, no worker.
        try {
            target.CopyToCanvas(image, image.BoundsRect(), image.BoundsRect());
        } catch (...) {
        }
        flags.TransBusy = false;
        return;
    }

    try {
        // The worker takes its own copy: no temporary one in between, which at a large screen would be
        // one more full-screen bitmap alive while the worker starts.
        auto* worker = new TTransThread(effect, target, image, frameDelay);
        flags.ActiveTransition = worker;
        worker->Start();
        // Its completion handler runs on this thread, so not before this returns.
        ++flags.TransPending;
    } catch (...) {
        // No worker exists to clear the flag.
        flags.ActiveTransition = nullptr;
        flags.TransBusy = false;
        throw;
    }
    if (wait) {
        while (flags.TransBusy) {
            plat::ProcessMessages();
        }
    }
}

}  // namespace trans
