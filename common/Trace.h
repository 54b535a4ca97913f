#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The trace routine: short fixed texts at fixed points of the program. They go, one a line with the
// tick count, to the file named by the environment variable SAVER_TRACE when it is set, and are
// discarded otherwise.
void Trace(std::string_view text);

// Lets tests and tools see the texts as well; an empty function removes the sink.
void SetTraceSink(std::function<void(std::string_view)> sink);

// While one lives, what its thread traces is kept instead of written, so that work done ahead of
// its time can write its lines later, in the place they have when the work is done in turn.
class TraceHold {
public:
    TraceHold();
    ~TraceHold();
    TraceHold(const TraceHold&) = delete;
    TraceHold& operator=(const TraceHold&) = delete;

    std::vector<std::string> Take() { return std::move(held_); }

private:
    std::vector<std::string> held_;
};

}  // namespace core
