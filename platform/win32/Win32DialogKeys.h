#pragma once

#include <windows.h>

namespace plat::win32 {

// Containers of controls whose keys the dialog manager handles: Tab and Shift+Tab, the arrows in
// a group, the access keys of "&" captions.
void AddDialogKeys(HWND container);
void RemoveDialogKeys(HWND container);

// True when the message was a dialog key of one of those containers and has been handled.
bool HandleDialogKeys(MSG& msg);

}  // namespace plat::win32
