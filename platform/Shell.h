#pragma once

#include <optional>
#include <string>

#include "platform/Window.h"

namespace plat {

// Opens an address or a file with the default verb. False when the shell refused.
bool ShellOpen(const std::string& target, int showCommand);

// Starts a command line as a new process and waits for it; returns its exit code, or nothing
// when it could not be started (then LastErrorText tells why).
std::optional<int> RunProcessAndWait(const std::string& commandLine, int showCommand);

// Starts a command line as a new process and leaves it running; false when it could not be
// started (then LastErrorText tells why).
bool StartProcess(const std::string& commandLine, int showCommand);

// The system's message text for the last error of the calling thread.
std::string LastErrorText();

// The short (8.3) form of an existing path; the path itself where there is none.
std::string ShortPathName(const std::string& path);

enum class LibraryCall { NotLoaded, NoExport, Called };

// Loads a library and tells whether it exports a function, then unloads it.
LibraryCall LibraryHasExport(const std::string& libraryPath, const std::string& exportName);

// The password providers: "PwdChangePasswordA" of the given library, called with the provider
// name, the window handle, 0 and 0.
LibraryCall CallPasswordChange(const std::string& libraryPath, const std::string& provider, WindowHandle window);

// "VerifyScreenSavePwd" of the given library, called with the window; result in *accepted.
LibraryCall CallVerifyScreenSavePassword(const std::string& libraryPath, WindowHandle window, bool* accepted);

}  // namespace plat
