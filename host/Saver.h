#pragma once

namespace host {

// The program: start-up, mode dispatch and the message loop. Returns the process exit code.
int RunSaver();

}  // namespace host
