#include <array>
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

std::optional<std::string> LocalAppDataFolder() { return sim::M().localAppDataFolder; }

SystemVersion GetSystemVersion() { return sim::M().version; }

void SetScreenSaverRunning(bool running) { sim::M().screenSaverRunning = running; }

void SetScreenSaverActive(bool active) { sim::M().screenSaverActive = active; }

bool SetDesktopWallpaper(const std::string& bitmapPath) {
    sim::M().wallpapers.push_back(bitmapPath);
    return true;
}

// The system's classic default colours, by display element: scroll bar, desktop, active caption,
// inactive caption, menu, window, window frame, menu text, window text, caption text, active
// border, inactive border, application workspace, highlight, highlight text, button face, button
// shadow, grey text, button text, inactive caption text, button highlight, dark 3D shadow, light 3D,
// tooltip text, tooltip background, alternate button face, hot tracking, the two caption gradient
// ends, menu highlight and menu bar.
gfx::TColor SystemColor(int index) {
    static constexpr std::array<gfx::TColor, 31> kTable = {
        gfx::TColorFromRgb(212, 208, 200), gfx::TColorFromRgb(58, 110, 165),  gfx::TColorFromRgb(10, 36, 106),
        gfx::TColorFromRgb(128, 128, 128), gfx::TColorFromRgb(212, 208, 200), gfx::TColorFromRgb(255, 255, 255),
        gfx::TColorFromRgb(0, 0, 0),       gfx::TColorFromRgb(0, 0, 0),       gfx::TColorFromRgb(0, 0, 0),
        gfx::TColorFromRgb(255, 255, 255), gfx::TColorFromRgb(212, 208, 200), gfx::TColorFromRgb(212, 208, 200),
        gfx::TColorFromRgb(128, 128, 128), gfx::TColorFromRgb(10, 36, 106),   gfx::TColorFromRgb(255, 255, 255),
        gfx::TColorFromRgb(212, 208, 200), gfx::TColorFromRgb(128, 128, 128), gfx::TColorFromRgb(128, 128, 128),
        gfx::TColorFromRgb(0, 0, 0),       gfx::TColorFromRgb(212, 208, 200), gfx::TColorFromRgb(255, 255, 255),
        gfx::TColorFromRgb(64, 64, 64),    gfx::TColorFromRgb(212, 208, 200), gfx::TColorFromRgb(0, 0, 0),
        gfx::TColorFromRgb(255, 255, 225), gfx::TColorFromRgb(181, 181, 181), gfx::TColorFromRgb(0, 0, 200),
        gfx::TColorFromRgb(166, 202, 240), gfx::TColorFromRgb(192, 192, 192), gfx::TColorFromRgb(10, 36, 106),
        gfx::TColorFromRgb(212, 208, 200),
    };
    return index >= 0 && index < static_cast<int>(kTable.size()) ? kTable[static_cast<std::size_t>(index)] : 0;
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
