#pragma once

// The identity of the system's Flash player control: the program creates the control by its class
// id, and the player's library registers itself under that id and under its ProgID.

#include <windows.h>

namespace plat::win32 {

// {D27CDB6E-AE6D-11cf-96B8-444553540000}
inline constexpr CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

inline constexpr wchar_t kFlashProgId[] = L"ShockwaveFlash.ShockwaveFlash";

}  // namespace plat::win32
