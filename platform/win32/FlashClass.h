#pragma once

// The class id of the Flash player control: the program creates the control by it, and the
// control's library registers itself under it.

#include <windows.h>

namespace plat::win32 {

inline constexpr CLSID kFlashClassId = {0x1cdd5588, 0x39ef, 0x4a61, {0xbe, 0x1c, 0x70, 0x8a, 0x6f, 0xce, 0x93, 0x6f}};

}  // namespace plat::win32
