#include <cstdlib>

#include "platform/System.h"
#include "platform/sim/Sim.h"

namespace plat {

std::string OwnFileName() { return sim::M().ownFile; }

std::vector<std::string> CommandLineArgs() { return sim::M().args; }

std::string SystemFolder() { return sim::M().systemFolder; }

std::string WindowsFolder() { return sim::M().windowsFolder; }

std::string TempPath() { return sim::M().tempPath; }

std::optional<std::string> HistoryFolder() { return sim::M().historyFolder; }

std::optional<std::string> AppDataFolder() { return sim::M().appDataFolder; }

SystemVersion GetSystemVersion() { return sim::M().version; }

void SetScreenSaverRunning(bool running) { sim::M().screenSaverRunning = running; }

bool SetDesktopWallpaper(const std::string& bitmapPath) {
    sim::M().wallpapers.push_back(bitmapPath);
    return true;
}

// The machine's own variables first; the host's environment shows through for the rest, so that
// tools run on the simulated platform can still be traced.
std::string GetEnvironment(const std::string& name) {
    const auto& env = sim::M().environment;
    if (const auto it = env.find(name); it != env.end()) {
        return it->second;
    }
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

}  // namespace plat
