#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/PackageFormat.h"

namespace pkg {

// The user's settings of one screen saver: the package defaults, replaced by the registry values
// that exist.
struct SaverSettings {
    std::int32_t Seconds = 5;
    std::int32_t Stretch = 0;
    std::int32_t DisplayOrder = 0;
    bool DesktopStart = false;
    bool Loop = false;
    bool Mute = false;
    bool ShuffleMelody = false;
    std::string Effect;  // one character per selected effect, its code the effect number
    std::int32_t EffectSpeed = 5;
    bool PlayOneRandom = false;
    bool ExitMouseMove = false;
    bool ExitMouseButton = false;
    bool ExitKeyboard = false;
    bool ExitESC = false;
    bool UseCustomPlaylist = false;
    bool DisableTwoMonitors = false;

    friend bool operator==(const SaverSettings&, const SaverSettings&) = default;
};

// A registry value that cannot be used: of another type than its setting, or an effect selection
// naming no effect.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "\Software\Tavolisk\" followed by the screen saver's name.
std::string SettingsKey(const std::string& saverName);

SaverSettings DefaultSettings(const PackageHeader& header, const PackageStrings& strings);

// Replaces each default by the registry value of the same name when the key and value exist.
// Throws SettingsError for a value of the wrong type or an effect code of 0 or above 120.
void ReadSettings(SaverSettings& settings, const std::string& key);

// Writes every value, creating the key when needed. Returns the names of the values that could not
// be stored (all of them when the key cannot be opened); each value is tried on its own.
std::vector<std::string> WriteSettings(const SaverSettings& settings, const std::string& key);

// A presentation ends by Esc only, whatever the stored exit settings say; the registry is untouched.
void ApplyPresentationExit(SaverSettings& settings);

}  // namespace pkg
