#pragma once

#include <cstdint>
#include <string_view>

namespace trans {

// Effects are numbered 1..120; 0 is the immediate copy.
inline constexpr std::int32_t kEffectCount = 120;

// The name the user sees for effect 1..120, as the effect list shows it; "" for any other number.
std::string_view EffectName(std::int32_t effect);

}  // namespace trans
