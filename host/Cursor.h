#pragma once

namespace host {

// Shows or hides the pointer through the system's show-cursor counter, only when the flag differs
// from the last one given. The remembered state starts as hidden.
void SetCursorVisible(bool visible);

// Forgets the remembered state (a new run of the program in the same process).
void ResetCursorState();

}  // namespace host
