#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tools/sspack/JsonValues.h"

namespace sspack {

// The numeric codes of the package by name: a manifest may give either, and listings say what a
// code means in words.

struct CodeName {
    std::int32_t code = 0;
    std::string_view name;   // as a manifest writes it, matched without regard to case
    std::string_view words;  // what it means, for listings
};

struct CodeTable {
    std::string_view what;  // "size mode"
    std::span<const CodeName> names;
};

const CodeTable& SizeModes();      // "Stretch": 0..5
const CodeTable& ItemSizeModes();  // an item's "sizeMode": the same and -1 "default"
const CodeTable& Orders();
const CodeTable& GradientStyles();
const CodeTable& ImageModes();  // how the background picture is placed
const CodeTable& Positions();   // logo and caption corners
const CodeTable& MaskKinds();
// Bit sets: each name is one bit.
const CodeTable& Filters();
const CodeTable& FontStyles();

// A code given by its number min..max or by its name.
std::int32_t ReadCode(const Json& value, const std::string& path, const CodeTable& table, std::int32_t min,
                      std::int32_t max);

// A bit set given as a number, one name or an array of names.
std::int32_t ReadBits(const Json& value, const std::string& path, const CodeTable& table);

// An EffectSelection from an array of effect numbers 1..120 and effect names (as the effect list
// shows them, matched without regard to case): one character per effect.
std::string ReadEffects(const Json& value, const std::string& path, std::size_t maxCount);

// A code in words ("resized to fit the screen"), or its number when it has no name.
std::string CodeWords(const CodeTable& table, std::int32_t code);
// The names of the bits that are set, joined by commas; "none" for 0.
std::string BitNames(const CodeTable& table, std::int32_t bits);

}  // namespace sspack
