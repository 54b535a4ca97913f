#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Geometry.h"

namespace ssrender {

struct RunOptions {
    std::string saver;
    gfx::IntSize screen{1024, 768};  // the primary monitor
    std::vector<gfx::IntSize> others;  // more monitors, left to right after the primary
    std::int32_t seconds = 10;
    std::uint32_t seed = 12345;
    std::int32_t everyMs = 0;  // 0: no timed screenshots
    std::string outDir;
    std::string soundLog;  // where the media players' events go, with their virtual times
    // Lengths in ms of media the machine cannot read from their headers, by file name or extension.
    std::map<std::string, std::uint32_t> mediaLengths;
};

struct RunResult {
    int screenshots = 0;
    int transitions = 0;
    std::vector<std::int32_t> shown;   // the items put on screen, by index, in the order they came
    std::vector<std::string> skipped;  // "item 3: why", for each item the runtime could not show
};

// Runs a built saver full screen on the simulated machine for the given virtual time. The primary
// screen is written as screen-TTTTTTT.png every everyMs of virtual time, and after every completed
// transition as transition-NNNN.png; the other monitors' as monitor2-…, monitor3-… A
// movie shows in its panel as a grey rectangle. With soundLog, every open, play, notice and close
// of the media players is written there, one a line: time, player, event, file, detail, by tabs.
// Screenshots are written quickly compressed, while the run goes on; all are on disk on return.
// A saver that cannot start (its package cannot be read) throws std::runtime_error with the
// message the screen saver showed.
RunResult RunSaverFile(const RunOptions& options);

}  // namespace ssrender
