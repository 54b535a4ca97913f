#pragma once

#include <atomic>
#include <cstdint>

namespace trans {
class TTransThread;
}

namespace core {

// Process-wide state shared across subsystems.
struct ProcessFlags {
    // Mode flags: main thread only.
    bool SaverActive = false;
    bool PreviewMode = false;
    bool PresentationMode = false;
    bool PresentationPlaying = true;
    bool InputSuspended = false;

    // Transition flags: single values shared with the transition worker, no lock.
    std::atomic<bool> TransBusy{false};
    std::atomic<bool> TransAbort{false};
    std::atomic<bool> TransCancel{false};
    std::atomic<bool> TransShutdown{false};
    std::atomic<std::int32_t> TransFrameCount{0};
    std::atomic<trans::TTransThread*> ActiveTransition{nullptr};

    // Main thread only: transition workers whose completion handler has yet to run. A worker
    // clears TransBusy before its completion handler is served, so until this is 0 a new
    // transition must not start and a surface it drew on must not go.
    std::int32_t TransPending = 0;
};

ProcessFlags& Flags();

// Back to the state at process start (tests run many programs in one process).
void ResetFlags();

}  // namespace core
