#pragma once

#include <string>
#include <vector>

namespace plat {

// Splits a command line into arguments the way the program's run-time library does: arguments are
// separated by blanks, double quotes group blanks into an argument and are themselves dropped.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace plat
