#pragma once

#include <string>

namespace pkg {

// The folder every piece of the package is written to, computed afresh at each use and always
// ending with a separator. On NT 5.0, 5.1 and every 6.x it is the "Temp" folder beside the current
// user's "History" shell folder when that exists; otherwise the system's temporary path.
std::string TempFolder();

}  // namespace pkg
