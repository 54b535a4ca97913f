#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The lines of a text: CR LF, CR and LF each end one. An empty text is one empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace plat
