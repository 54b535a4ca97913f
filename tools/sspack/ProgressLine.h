#pragma once

#include <cstddef>
#include <ostream>

namespace sspack {

// How far the checks have come, on one line of the terminal that each count rewrites:
// "checked 12 of 320 files". The counts only grow, so each text covers the one before.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& out) : out_(out) {}

    void Show(std::size_t done, std::size_t total);
    // Ends the line when one was shown, so that what follows starts on a line of its own.
    void End();

private:
    std::ostream& out_;
    bool shown_ = false;
};

// Whether standard output goes to a terminal (a console on Windows), where a person watches it;
// piped or redirected output gets no progress line.
bool OutputIsTerminal();

}  // namespace sspack
