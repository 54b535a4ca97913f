#include "common/Flags.h"

namespace core {

namespace {
ProcessFlags g_flags;
}

ProcessFlags& Flags() { return g_flags; }

void ResetFlags() {
    g_flags.SaverActive = false;
    g_flags.PreviewMode = false;
    g_flags.PresentationMode = false;
    g_flags.PresentationPlaying = true;
    g_flags.InputSuspended = false;
    g_flags.TransBusy = false;
    g_flags.TransAbort = false;
    g_flags.TransCancel = false;
    g_flags.TransShutdown = false;
    g_flags.TransFrameCount = 0;
    g_flags.ActiveTransition = nullptr;
    g_flags.TransPending = 0;
}

}  // namespace core
