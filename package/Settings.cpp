#include "package/Settings.h"

#include "platform/Registry.h"

namespace pkg {

namespace {

constexpr int kEffectCount = 120;

// The settings by registry value name, with their types: integers, Booleans and the one string.
template <typename Visit>
void ForEachSetting(SaverSettings& s, Visit&& visit) {
    visit("Seconds", s.Seconds);
    visit("Stretch", s.Stretch);
    visit("DisplayOrder", s.DisplayOrder);
    visit("DesktopStart", s.DesktopStart);
    visit("Loop", s.Loop);
    visit("Mute", s.Mute);
    visit("ShuffleMelody", s.ShuffleMelody);
    visit("Effect", s.Effect);
    visit("EffectSpeed", s.EffectSpeed);
    visit("PlayOneRandom", s.PlayOneRandom);
    visit("ExitMouseMove", s.ExitMouseMove);
    visit("ExitMouseButton", s.ExitMouseButton);
    visit("ExitKeyboard", s.ExitKeyboard);
    visit("ExitESC", s.ExitESC);
    visit("UseCustomPlaylist", s.UseCustomPlaylist);
    visit("DisableTwoMonitors", s.DisableTwoMonitors);
}

void CheckEffectSelection(const std::string& selection) {
    for (const char c : selection) {
        const int code = static_cast<unsigned char>(c);
        if (code == 0 || code > kEffectCount) {
            throw SettingsError("\"Effect\" names effect " + std::to_string(code));
        }
    }
}

// A registry value of another type than its setting makes the whole reading fail.
template <typename F>
auto Read(const char* name, F&& read) {
    try {
        return read();
    } catch (const plat::RegistryError&) {
        throw SettingsError(std::string("\"") + name + "\" has the wrong registry type");
    }
}

struct Reader {
    const plat::RegistryKey& key;

    void operator()(const char* name, std::int32_t& value) const {
        if (key.ValueExists(name)) {
            value = Read(name, [&] { return key.ReadInteger(name); });
        }
    }
    void operator()(const char* name, bool& value) const {
        if (key.ValueExists(name)) {
            value = Read(name, [&] { return key.ReadBool(name); });
        }
    }
    void operator()(const char* name, std::string& value) const {
        if (key.ValueExists(name)) {
            value = Read(name, [&] { return key.ReadString(name); });
            CheckEffectSelection(value);
        }
    }
};

struct Writer {
    plat::RegistryKey& key;
    std::vector<std::string>& failed;

    template <typename T>
    void operator()(const char* name, const T& value) const {
        try {
            Write(name, value);
        } catch (const plat::RegistryError&) {
            failed.emplace_back(name);
        }
    }
    void Write(const char* name, std::int32_t value) const { key.WriteInteger(name, value); }
    void Write(const char* name, bool value) const { key.WriteBool(name, value); }
    void Write(const char* name, const std::string& value) const { key.WriteString(name, value); }
};

// Names every setting, for a key that cannot be written at all.
struct Namer {
    std::vector<std::string>& names;

    template <typename T>
    void operator()(const char* name, const T&) const {
        names.emplace_back(name);
    }
};

}  // namespace

std::string SettingsKey(const std::string& saverName) { return "\\Software\\Tavolisk\\" + saverName; }

SaverSettings DefaultSettings(const PackageHeader& h, const PackageStrings& strings) {
    SaverSettings s;
    s.Seconds = h.Seconds;
    s.Stretch = h.Stretch;
    s.DisplayOrder = h.DisplayOrder;
    s.DesktopStart = h.DesktopStart;
    s.Loop = h.Loop;
    s.Mute = h.Mute;
    s.ShuffleMelody = h.ShuffleMelody;
    s.Effect = strings[PackageString::Effect];
    s.EffectSpeed = h.EffectSpeed;
    s.PlayOneRandom = h.PlayOneRandom;
    s.ExitMouseMove = h.ExitMouseMove;
    s.ExitMouseButton = h.ExitMouseButton;
    s.ExitKeyboard = h.ExitKeyboard;
    s.ExitESC = h.ExitESC;
    s.UseCustomPlaylist = false;
    s.DisableTwoMonitors = h.DisableTwoMonitors;
    return s;
}

void ReadSettings(SaverSettings& settings, const std::string& keyPath) {
    const auto key = plat::RegistryKey::Open(keyPath, false);
    if (!key) {
        return;
    }
    ForEachSetting(settings, Reader{*key});
}

std::vector<std::string> WriteSettings(const SaverSettings& settings, const std::string& keyPath) {
    std::vector<std::string> failed;
    SaverSettings copy = settings;
    const auto key = plat::RegistryKey::Open(keyPath, true);
    if (key) {
        ForEachSetting(copy, Writer{*key, failed});
    } else {
        ForEachSetting(copy, Namer{failed});
    }
    return failed;
}

void ApplyPresentationExit(SaverSettings& s) {
    s.ExitMouseMove = false;
    s.ExitMouseButton = false;
    s.ExitKeyboard = false;
    s.ExitESC = true;
}

}  // namespace pkg
