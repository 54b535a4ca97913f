// Any registry: every value the saver reads, stored with any type and any value, and the saver (or
// its configuration panel) starts on the simulated machine with a small built saver of a few items
// (the first an introduction, one an animated GIF), runs for a few virtual seconds and is closed.
// Nothing may crash, break a sanitizer's rule or hang: a run that does not come back within the
// fuzzer's time limit is a hang, since virtual time alone never takes long.

#include <cstdint>
#include <string>

#include "common/Flags.h"
#include "config/Translation.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/SettingsInput.h"
#include "host/Cursor.h"
#include "host/SSWindow.h"
#include "host/Saver.h"
#include "package/Settings.h"
#include "platform/WinConst.h"
#include "platform/sim/Sim.h"

#ifndef SETTINGS_FUZZ_SAVER
#error "SETTINGS_FUZZ_SAVER names the fixture saver"
#endif

namespace {

// The fixture's name, which names its settings key.
constexpr char kSaverName[] = "Fuzz Settings";
constexpr char kDesktopKey[] = "\\Control Panel\\Desktop";

// The saver closes its window at the first time, and the run stops at the second whatever happens.
constexpr std::uint64_t kCloseAt = 2500;
constexpr std::uint64_t kRunLimit = 4000;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    std::int32_t Integer() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= std::uint32_t{Byte()} << (8 * i);
        }
        return static_cast<std::int32_t>(v);
    }

    std::string Text() {
        std::string s(Byte(), '\0');
        for (char& c : s) {
            c = static_cast<char>(Byte());
        }
        return s;
    }

    // One registry value, stored as the input says, or left out.
    void Store(const std::string& key, const std::string& name) {
        sim::Registry& registry = sim::M().registry;
        switch (static_cast<fuzz::ValueType>(Byte() & 3)) {
            case fuzz::ValueType::Absent: break;
            case fuzz::ValueType::Integer: registry.SetInteger(key, name, Integer()); break;
            case fuzz::ValueType::String: registry.SetString(key, name, Text()); break;
            case fuzz::ValueType::Other: registry.SetBinary(key, name); break;
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A fresh process on a fresh machine: small screens keep each run short.
void FreshMachine(bool configure) {
    sim::Reset();
    core::ResetFlags();
    host::ResetCursorState();
    config::FreeTranslationTable();
    fuzz::ClearPieces();
    sim::Machine& m = sim::M();
    m.tempPath = fuzz::PieceFolder();
    m.monitors = {{0, 0, 160, 120}, {160, 0, 240, 60}};
    m.ownFile = SETTINGS_FUZZ_SAVER;
    m.args = {configure ? "/c" : "/s"};
    sim::SetRunLimit(kRunLimit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    FreshMachine((in.Byte() & fuzz::kConfigMode) != 0);
    const std::string key = pkg::SettingsKey(kSaverName);
    for (const char* name : fuzz::kSettingNames) {
        in.Store(key, name);
    }
    const int items = in.Byte() & fuzz::kPlaylistItemsMask;
    for (int i = 0; i < items; ++i) {
        in.Store(key + "\\PlayList", "item" + std::to_string(i));
    }
    in.Store(kDesktopKey, "ScreenSaveUsePassword");

    host::RunSaver([](host::TSSWindow& w) {
        const plat::WindowHandle window = w.Window().Handle();
        sim::At(kCloseAt, [window] { sim::PostMessage({window, plat::WM_CLOSE, 0, 0}); });
    });
    sim::Reset();
    config::FreeTranslationTable();
    return 0;
}
