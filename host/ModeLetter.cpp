#include "host/ModeLetter.h"

#include "common/Paths.h"

namespace host {

std::string ModeLetter(const std::vector<std::string>& args) {
    if (args.empty() || args[0].size() < 2) {
        return {};
    }
    return core::UpperCase(args[0].substr(1, 1));
}

}  // namespace host
