#include <windows.h>
#include <shellapi.h>

#include "platform/Shell.h"
#include "platform/win32/Win32Util.h"

namespace plat {

bool ShellOpen(const std::string& target, int showCommand) {
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, showCommand));
    return result > 32;
}

namespace {

// A started process's handle; its first thread's handle is let go of at once.
win32::Handle Start(const std::string& commandLine, int showCommand) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    std::string mutableLine = commandLine;
    if (!::CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                          CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        return nullptr;
    }
    win32::Handle threadHandle(process.hThread);
    return win32::Handle(process.hProcess);
}

}  // namespace

std::optional<int> RunProcessAndWait(const std::string& commandLine, int showCommand) {
    const win32::Handle process = Start(commandLine, showCommand);
    if (!process) {
        return std::nullopt;
    }
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

bool StartProcess(const std::string& commandLine, int showCommand) {
    return Start(commandLine, showCommand) != nullptr;
}

std::string LastErrorText() {
    const DWORD error = ::GetLastError();
    char* text = nullptr;
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n != 0 && text != nullptr ? std::string(text, n) : "Error " + std::to_string(error);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

std::string ShortPathName(const std::string& path) {
    char shortPath[MAX_PATH * 4];
    const DWORD n = ::GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return n != 0 && n < sizeof shortPath ? std::string(shortPath, n) : path;
}

LibraryCall LibraryHasExport(const std::string& libraryPath, const std::string& exportName) {
    win32::Library lib(::LoadLibraryA(libraryPath.c_str()));
    if (!lib) {
        return LibraryCall::NotLoaded;
    }
    return ::GetProcAddress(lib.get(), exportName.c_str()) != nullptr ? LibraryCall::Called : LibraryCall::NoExport;
}

LibraryCall CallPasswordChange(const std::string& libraryPath, const std::string& provider, WindowHandle window) {
    win32::Library lib(::LoadLibraryA(libraryPath.c_str()));
    if (!lib) {
        return LibraryCall::NotLoaded;
    }
    using Fn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    const auto change = win32::Export<Fn>(lib.get(), "PwdChangePasswordA");
    if (change == nullptr) {
        return LibraryCall::NoExport;
    }
    change(provider.c_str(), reinterpret_cast<HWND>(window), 0, 0);
    return LibraryCall::Called;
}

LibraryCall CallVerifyScreenSavePassword(const std::string& libraryPath, WindowHandle window, bool* accepted) {
    win32::Library lib(::LoadLibraryA(libraryPath.c_str()));
    if (!lib) {
        return LibraryCall::NotLoaded;
    }
    using Fn = BOOL(WINAPI*)(HWND);
    const auto verify = win32::Export<Fn>(lib.get(), "VerifyScreenSavePwd");
    if (verify == nullptr) {
        return LibraryCall::NoExport;
    }
    *accepted = verify(reinterpret_cast<HWND>(window)) != FALSE;
    return LibraryCall::Called;
}

}  // namespace plat
