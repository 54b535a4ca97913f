#pragma once

// The test control: an in-place control with a window of its own that stands in for the Flash
// player. It reads the movie's header, paints its window in the movie's background colour, and
// plays for frame count / frame rate seconds after Play.

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace test_control {

// The library's module handle, and how many of its objects and locks are alive (it may be unloaded
// at 0).
extern HINSTANCE g_module;
extern std::atomic<long> g_live;

// A new control, its IUnknown with one reference.
IUnknown* NewControl();

// When the library is unloaded: the controls' window class goes with it.
void UnregisterControlWindowClass();

}  // namespace test_control
