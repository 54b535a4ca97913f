#include "package/Extension.h"

namespace pkg {

bool IsSafeExtension(const std::string& ext) {
    if (ext.size() < 2 || ext.size() > 8 || ext[0] != '.') {
        return false;
    }
    for (std::size_t i = 1; i < ext.size(); ++i) {
        const char c = ext[i];
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

}  // namespace pkg
