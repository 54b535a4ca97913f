#pragma once

// The edge between the system and our handlers: a window procedure, the message loop's hook, a
// timer, a step posted to the main thread. An exception that a handler throws stops here, with a
// trace line naming the place, and the program goes on; unwinding into the system's own frames
// would end it.

#include <exception>
#include <string>
#include <utility>

#include "common/Trace.h"

namespace plat {

namespace detail {

inline void TraceSwallowed(const char* where, const char* what) noexcept {
    try {
        core::Trace(std::string("Error swallowed in ") + where + (what != nullptr ? std::string(": ") + what : ""));
    } catch (...) {
        // Not even the trace line could be written: the error stays swallowed.
    }
}

}  // namespace detail

// The handler's result, or fallback when it threw.
template <typename Result, typename Handler>
Result AtBoundary(const char* where, Result fallback, Handler&& handler) noexcept {
    try {
        return std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        detail::TraceSwallowed(where, e.what());
    } catch (...) {
        detail::TraceSwallowed(where, nullptr);
    }
    return fallback;
}

template <typename Handler>
void AtBoundary(const char* where, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        detail::TraceSwallowed(where, e.what());
    } catch (...) {
        detail::TraceSwallowed(where, nullptr);
    }
}

}  // namespace plat
