#include "common/Paths.h"

#include <cctype>

namespace core {

std::string ExtractFileExt(const std::string& path) {
    const auto at = path.find_last_of(".\\/:");
    if (at == std::string::npos || path[at] != '.') {
        return {};
    }
    return path.substr(at);
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace core
