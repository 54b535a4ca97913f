#include "common/Trace.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/Clock.h"
#include "platform/System.h"

namespace core {

namespace {

std::mutex g_mutex;
std::function<void(std::string_view)> g_sink;
thread_local std::vector<std::string>* t_held = nullptr;

}  // namespace

TraceHold::TraceHold() { t_held = &held_; }

TraceHold::~TraceHold() { t_held = nullptr; }

void Trace(std::string_view text) {
    if (t_held != nullptr) {
        t_held->emplace_back(text);
        return;
    }
    const std::lock_guard lock(g_mutex);
    if (g_sink) {
        g_sink(text);
    }
    const std::string name = plat::GetEnvironment("SAVER_TRACE");
    if (name.empty()) {
        return;
    }
    // Opened for each line so that the file is complete even when the process is killed.
    if (std::FILE* f = std::fopen(name.c_str(), "a")) {
        std::fprintf(f, "%10u %.*s\n", static_cast<unsigned>(plat::GetTickCount()), static_cast<int>(text.size()),
                     text.data());
        std::fclose(f);
    }
}

void SetTraceSink(std::function<void(std::string_view)> sink) {
    const std::lock_guard lock(g_mutex);
    g_sink = std::move(sink);
}

}  // namespace core
