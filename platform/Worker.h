#pragma once

#include <functional>

namespace plat {

// Starts body on a thread of its own. When body has returned, onDone runs on the main thread
// through Synchronize (the worker waits for it) and the thread ends by itself; both are destroyed
// with the thread. When the main thread is gone first (a simulated machine reset mid-run), onDone
// is destroyed unrun, so that what it owns is still freed.
// The simulated platform lets virtual time pass only while the worker is blocked in the seam.
void StartWorker(std::function<void()> body, std::function<void()> onDone);

}  // namespace plat
