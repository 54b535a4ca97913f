#include "tools/sspack/ProgressLine.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace sspack {

void ProgressLine::Show(std::size_t done, std::size_t total) {
    out_ << "\rchecked " << done << " of " << total << (total == 1 ? " file" : " files") << std::flush;
    shown_ = true;
}

void ProgressLine::End() {
    if (shown_) {
        out_ << "\n" << std::flush;
        shown_ = false;
    }
}

bool OutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

}  // namespace sspack
