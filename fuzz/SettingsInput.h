#pragma once

// The input of the registry target, shared with the program that writes its seeds: how the saver
// starts, then every registry value the saver reads, each with any type and value.
//
//   byte        the mode: bit 0 set runs the configuration panel ("/c"), else the saver ("/s")
//   value...    each value of kSettingNames in turn, then the playlist: a byte whose low three bits
//               count its items ("item0" ...), and that many values; then the system's
//               "ScreenSaveUsePassword"
//
// A value is a type byte (its low two bits: 0 absent, 1 integer, 2 string, 3 of another type),
// then for an integer its 4 bytes, little-endian, and for a string a length byte and that many
// bytes. Bytes past the end of the input read as 0.

#include <array>
#include <cstdint>
#include <string>

namespace fuzz {

inline constexpr std::array<const char*, 16> kSettingNames = {
    "Seconds",       "Stretch",       "DisplayOrder",    "DesktopStart", "Loop",         "Mute",
    "ShuffleMelody", "Effect",        "EffectSpeed",     "PlayOneRandom", "ExitMouseMove", "ExitMouseButton",
    "ExitKeyboard",  "ExitESC",       "UseCustomPlaylist", "DisableTwoMonitors"};

inline constexpr int kPlaylistItemsMask = 7;

enum class ValueType : std::uint8_t { Absent = 0, Integer = 1, String = 2, Other = 3 };

inline constexpr std::uint8_t kConfigMode = 1;

// Writes inputs in this form, for the seeds.
class SettingsInputWriter {
public:
    explicit SettingsInputWriter(std::uint8_t mode) { bytes_.push_back(static_cast<char>(mode)); }

    SettingsInputWriter& Absent() { return Type(ValueType::Absent); }
    SettingsInputWriter& Integer(std::int32_t v) {
        Type(ValueType::Integer);
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i)));
        }
        return *this;
    }
    SettingsInputWriter& String(const std::string& s) {
        const std::string kept = s.substr(0, 255);
        Type(ValueType::String);
        bytes_.push_back(static_cast<char>(kept.size()));
        bytes_ += kept;
        return *this;
    }
    SettingsInputWriter& Other() { return Type(ValueType::Other); }
    SettingsInputWriter& Count(int n) {
        bytes_.push_back(static_cast<char>(n));
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    SettingsInputWriter& Type(ValueType t) {
        bytes_.push_back(static_cast<char>(t));
        return *this;
    }
    std::string bytes_;
};

}  // namespace fuzz
