#include "platform/CommandLine.h"

namespace plat {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    for (;;) {
        while (i < n && static_cast<unsigned char>(commandLine[i]) <= ' ') {
            ++i;
        }
        if (i >= n) {
            break;
        }
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || static_cast<unsigned char>(commandLine[i]) > ' ')) {
            if (commandLine[i] == '"') {
                quoted = !quoted;
            } else {
                arg += commandLine[i];
            }
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

}  // namespace plat
