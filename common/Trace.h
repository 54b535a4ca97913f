#pragma once

#include <functional>
#include <string_view>

namespace core {

// The trace routine: short fixed texts at fixed points of the program. They go, one a line with the
// tick count, to the file named by the environment variable SAVER_TRACE when it is set, and are
// discarded otherwise.
void Trace(std::string_view text);

// Lets tests and tools see the texts as well; an empty function removes the sink.
void SetTraceSink(std::function<void(std::string_view)> sink);

}  // namespace core
