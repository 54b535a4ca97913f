#pragma once

#include <functional>

namespace host {

class TSSWindow;

// The program: start-up, the main window and the message loop. Returns the process exit code.
// onCreated sees the main window once it exists (tests and tools script it from there).
int RunSaver(const std::function<void(TSSWindow&)>& onCreated = {});

}  // namespace host
