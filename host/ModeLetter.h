#pragma once

#include <string>
#include <vector>

namespace host {

// The first argument, upper-cased, without its first character and cut after the next one:
// "/s", "-S" and "/S" give "S", "/c:1234" gives "C", no argument or a one-character one gives "".
std::string ModeLetter(const std::vector<std::string>& args);

}  // namespace host
