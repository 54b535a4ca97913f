#pragma once

// The simulated Windows: the state a test or tool sets before it runs the program, and what it reads
// back afterwards. Time is virtual: it moves only when the message loop has nothing left to do, or
// when the program sleeps, and timers, scheduled actions and worker wake-ups happen in time order.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gfx/Color.h"
#include "gfx/Geometry.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/System.h"
#include "platform/sim/MediaFiles.h"

namespace sim {

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    std::uint32_t flags = 0;
    std::uint32_t time = 0;
};

struct ShellOpenRecord {
    std::string target;
    int showCommand = 0;
};

struct ProcessRecord {
    std::string commandLine;
    int showCommand = 0;
    bool waited = true;  // false for a process started and left running
};

struct FolderRequestRecord {
    std::string title;
    std::string initialFolder;
};

struct LibraryCallRecord {
    std::string library;
    std::string function;
    std::string argument;  // provider name, where there is one
    plat::WindowHandle window = 0;
};

// A library the simulated system can load, with the functions it exports.
struct SimLibrary {
    bool exportsPasswordChange = false;
    bool exportsVerifyPassword = false;
    bool verifyAccepts = true;
    bool exportsRegisterServer = false;
};

// One thing a media player did, at a virtual time: "open", "open failed", "play", "notice" (detail:
// how the play ended), "notice dropped", "close", "display", "rect", "volume". The Flash control
// logs as the player "Flash": "create", "movie", "menu", "bounds", "play", "stop", "playing",
// "destroy", and a failed call's name with " failed".
struct MediaEvent {
    std::uint64_t time = 0;
    std::string player;
    std::string event;
    std::string file;
    std::string detail;
};

struct RegValue {
    enum class Type { Integer, String, Binary } type = Type::Integer;
    std::int32_t integer = 0;
    std::string text;
};

// The current user's hive: key paths and value names ignore letter case, as on Windows.
class Registry {
public:
    bool KeyExists(const std::string& path) const;
    void CreateKey(const std::string& path);
    void DeleteKey(const std::string& path);
    std::optional<RegValue> Get(const std::string& path, const std::string& name) const;
    void Set(const std::string& path, const std::string& name, RegValue value);
    bool Delete(const std::string& path, const std::string& name);
    // Value names of a key, in the order they were first written.
    std::vector<std::string> ValueNames(const std::string& path) const;
    // The program may read the key and its sub-keys but neither create nor write them, as when the
    // user lacks the rights or the hive is full.
    void DenyWrites(const std::string& path) { denied_.insert(Fold(path)); }
    bool WritesDenied(const std::string& path) const;

    void SetInteger(const std::string& path, const std::string& name, std::int32_t v) {
        Set(path, name, {RegValue::Type::Integer, v, {}});
    }
    void SetString(const std::string& path, const std::string& name, const std::string& v) {
        Set(path, name, {RegValue::Type::String, 0, v});
    }
    void SetBinary(const std::string& path, const std::string& name) {
        Set(path, name, {RegValue::Type::Binary, 0, {}});
    }

private:
    struct Key {
        std::vector<std::pair<std::string, RegValue>> values;
    };
    static std::string Fold(const std::string& s);
    std::map<std::string, Key> keys_;
    std::set<std::string> denied_;
};

struct Machine {
    // What the system looks like.
    std::string ownFile;
    std::vector<std::string> args;
    std::string systemFolder = "/sim/system32";
    std::string windowsFolder = "/sim/windows";
    std::string tempPath = "/tmp/";
    std::optional<std::string> historyFolder;
    std::optional<std::string> appDataFolder;
    std::optional<std::string> localAppDataFolder;
    plat::SystemVersion version{true, 6, 1};
    std::map<std::string, std::string> environment;
    std::map<std::string, SimLibrary> libraries;  // by full path
    std::uint32_t seed = 12345;
    std::vector<gfx::IntRect> monitors{{0, 0, 1024, 768}};
    gfx::IntPoint cursor{512, 384};
    int dpi = 96;                        // every monitor's pixels an inch
    std::set<std::uint32_t> keysDown;    // keys held down (VK_CONTROL ...)
    gfx::Color32 desktopColor = 0xFF3A6EA5;  // what the desktop shows behind the program
    std::deque<int> messageBoxAnswers;  // IDOK when empty
    std::deque<std::vector<std::string>> openFileAnswers;  // cancelled when empty
    std::deque<std::string> saveFileAnswers;               // cancelled when empty
    std::deque<std::string> folderAnswers;                 // cancelled when empty
    std::deque<gfx::TColor> colorAnswers;                  // cancelled when empty
    std::optional<int> processExitCode = 0;  // nothing: the process cannot be started
    // Runs for every process started, as the process would act (a registration, say).
    std::function<void(const std::string& commandLine)> onProcess;
    bool flashInstalled = false;  // the Flash player control class is registered
    // Calls the Flash control fails, by the names its log gives them: "create", "movie", "menu",
    // "play", "stop", "playing", "is playing".
    std::set<std::string> flashFaults;
    // Files whose headers the media services do not read (and replacements for those they do), by
    // lower-case file name or, failing that, extension (".mid"). For a Flash movie (".swf") the
    // length replaces what its header gives.
    std::map<std::string, MediaInfo> mediaFiles;

    // What the program did.
    Registry registry;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<plat::SaveFileRequest> saveFileRequests;
    std::vector<FolderRequestRecord> folderRequests;
    std::vector<gfx::TColor> colorRequests;  // the colour each colour dialog opened on
    std::vector<ShellOpenRecord> shellOpens;
    std::vector<ProcessRecord> processes;
    std::vector<LibraryCallRecord> libraryCalls;
    std::optional<bool> screenSaverRunning;
    std::optional<bool> screenSaverActive;
    std::vector<std::string> wallpapers;  // the files the desktop wallpaper was set to, in order
    std::vector<MediaEvent> mediaLog;
    int showCursorCount = 0;
    // Calls on an image control after it was freed, by the name of the call ("CopyToCanvas" ...).
    std::vector<std::string> freedSurfaceUses;
};

Machine& M();

// A fresh machine at time 0: no messages, timers, workers or windows. Call between runs.
void Reset();

// Virtual time in milliseconds since Reset.
std::uint64_t Now();

// Runs action on the main thread, from the message loop, at the given virtual time.
void At(std::uint64_t time, std::function<void()> action);

// Puts a message in the application's queue, as input would arrive.
void PostMessage(const plat::Message& msg);

// RunMessageLoop returns (without the quit message) when virtual time would pass this point or
// nothing is left that could ever happen.
void SetRunLimit(std::uint64_t time);

// Explored order, from now until Reset: wherever real Windows could take things in more than one
// order (a posted message or a worker's hand-over first, a worker running before the queue, a timer
// or an input due now before either, a hand-over served a millisecond or two late, a worker woken
// before or after a timer of the same time), the choice is drawn from a generator with this seed.
// The same seed, package, settings and input give the same run.
void ExploreOrders(std::uint64_t seed);

// Runs on the main thread between any two steps of the message loop (a queued message or hand-over,
// a timer, an action, a worker's turn), so that a test can check what must hold in every order.
// Reset removes it.
void SetStepObserver(std::function<void()> observer);

// Workers whose body has not returned yet.
int WorkersInBody();

}  // namespace sim
