#include "tools/sspack/Units.h"

#include <cstdio>

namespace sspack {

std::string Grouped(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return (n < 0 ? "-" : "") + digits;
}

std::string SizeText(std::int64_t bytes) {
    if (bytes < 1024) {
        return Counted(bytes, "byte", "bytes");
    }
    char text[32];
    const bool mega = bytes >= 1024 * 1024;
    std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / (mega ? 1024.0 * 1024.0 : 1024.0),
                  mega ? "MB" : "KB");
    return text;
}

std::string ColorText(std::int64_t color) {
    const auto u = static_cast<std::uint32_t>(color);
    char text[16];
    if (u == 0x1FFFFFFF) {
        return "none";
    }
    if (u <= 0xFFFFFF) {
        // TColor keeps red in the low byte; people read #RRGGBB.
        std::snprintf(text, sizeof text, "#%06X", ((u & 0xFF) << 16) | (u & 0xFF00) | ((u >> 16) & 0xFF));
    } else {
        std::snprintf(text, sizeof text, "0x%08X", u);
    }
    return text;
}

std::string Counted(std::int64_t n, const std::string& singular, const std::string& plural) {
    return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

}  // namespace sspack
