#include "platform/Shell.h"
#include "platform/sim/Sim.h"

namespace plat {

bool ShellOpen(const std::string& target, int showCommand) {
    sim::M().shellOpens.push_back({target, showCommand});
    return true;
}

std::optional<int> RunProcessAndWait(const std::string& commandLine, int showCommand) {
    sim::M().processes.push_back({commandLine, showCommand});
    if (sim::M().processExitCode && sim::M().onProcess) {
        sim::M().onProcess(commandLine);
    }
    return sim::M().processExitCode;
}

bool StartProcess(const std::string& commandLine, int showCommand) {
    sim::M().processes.push_back({commandLine, showCommand, false});
    if (sim::M().processExitCode && sim::M().onProcess) {
        sim::M().onProcess(commandLine);
    }
    return sim::M().processExitCode.has_value();
}

std::string LastErrorText() { return "The system cannot find the file specified."; }

std::string ShortPathName(const std::string& path) { return path; }

namespace {

const sim::SimLibrary* FindLibrary(const std::string& path) {
    const auto& libs = sim::M().libraries;
    const auto it = libs.find(path);
    return it == libs.end() ? nullptr : &it->second;
}

}  // namespace

LibraryCall LibraryHasExport(const std::string& libraryPath, const std::string& exportName) {
    const sim::SimLibrary* lib = FindLibrary(libraryPath);
    if (lib == nullptr) {
        return LibraryCall::NotLoaded;
    }
    const bool has = (exportName == "DllRegisterServer" && lib->exportsRegisterServer) ||
                     (exportName == "PwdChangePasswordA" && lib->exportsPasswordChange) ||
                     (exportName == "VerifyScreenSavePwd" && lib->exportsVerifyPassword);
    return has ? LibraryCall::Called : LibraryCall::NoExport;
}

LibraryCall CallPasswordChange(const std::string& libraryPath, const std::string& provider, WindowHandle window) {
    const sim::SimLibrary* lib = FindLibrary(libraryPath);
    if (lib == nullptr) {
        return LibraryCall::NotLoaded;
    }
    if (!lib->exportsPasswordChange) {
        return LibraryCall::NoExport;
    }
    sim::M().libraryCalls.push_back({libraryPath, "PwdChangePasswordA", provider, window});
    return LibraryCall::Called;
}

LibraryCall CallVerifyScreenSavePassword(const std::string& libraryPath, WindowHandle window, bool* accepted) {
    const sim::SimLibrary* lib = FindLibrary(libraryPath);
    if (lib == nullptr) {
        return LibraryCall::NotLoaded;
    }
    if (!lib->exportsVerifyPassword) {
        return LibraryCall::NoExport;
    }
    sim::M().libraryCalls.push_back({libraryPath, "VerifyScreenSavePwd", {}, window});
    *accepted = lib->verifyAccepts;
    return LibraryCall::Called;
}

}  // namespace plat
