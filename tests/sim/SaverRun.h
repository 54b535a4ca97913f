#pragma once

// Runs the whole program on the simulated machine: a built saver as the program's own file, a
// command line, input at chosen virtual times, and the trace, registry, shell and message boxes
// read back afterwards.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/Flags.h"
#include "common/Trace.h"
#include "config/Translation.h"
#include "host/Cursor.h"
#include "host/SSWindow.h"
#include "host/Saver.h"
#include "platform/WinConst.h"
#include "platform/sim/Sim.h"
#include "tests/support/Savers.h"

namespace testing_support {

class SaverRunTest : public SaverTest {
protected:
    SaverRunTest() {
        host::ResetCursorState();
        core::SetTraceSink([this](std::string_view text) { trace.emplace_back(text); });
    }
    ~SaverRunTest() override {
        core::SetTraceSink({});
        config::FreeTranslationTable();
    }

    // Runs the program until it ends or virtual time reaches the limit; -1 when it was still running.
    int Run(const std::string& ownFile, std::vector<std::string> args, std::uint64_t limit = 20000,
            const std::function<void(host::TSSWindow&)>& onCreated = {}) {
        // Each run is a fresh process: process-wide state starts over.
        core::ResetFlags();
        host::ResetCursorState();
        config::FreeTranslationTable();
        Machine().ownFile = ownFile;
        Machine().args = std::move(args);
        sim::SetRunLimit(limit);
        return host::RunSaver(onCreated);
    }

    bool Traced(const std::string& text) const { return std::find(trace.begin(), trace.end(), text) != trace.end(); }
    int Count(const std::string& text) const { return static_cast<int>(std::count(trace.begin(), trace.end(), text)); }

    // The items in the order they reached the screen.
    std::vector<int> Shown() const {
        std::vector<int> shown;
        for (const std::string& line : trace) {
            int item = 0;
            if (std::sscanf(line.c_str(), "Item %d shown", &item) == 1 && line.ends_with(" shown")) {
                shown.push_back(item);
            }
        }
        return shown;
    }

    // What one player did, in order.
    static std::vector<sim::MediaEvent> Events(const std::string& player, const std::string& event) {
        std::vector<sim::MediaEvent> found;
        for (const sim::MediaEvent& e : sim::M().mediaLog) {
            if (e.player == player && e.event == event) {
                found.push_back(e);
            }
        }
        return found;
    }

    // Input as the system would queue it.
    static void Key(std::uint64_t at, std::uint32_t key, std::uint32_t message = plat::WM_KEYDOWN) {
        sim::At(at, [=] { sim::PostMessage({0, message, key, 0}); });
    }
    static void Post(std::uint64_t at, std::uint32_t message) {
        sim::At(at, [=] { sim::PostMessage({0, message, 0, 0}); });
    }
    static void MoveCursor(std::uint64_t at, int dx, int dy) {
        sim::At(at, [=] {
            sim::M().cursor.x += dx;
            sim::M().cursor.y += dy;
            sim::PostMessage({0, plat::WM_MOUSEMOVE, 0, 0});
        });
    }

    std::vector<std::string> trace;
};

}  // namespace testing_support
