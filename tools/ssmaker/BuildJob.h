#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/sspack/Manifest.h"

namespace maker {

// What to build: the manifest as the package builder read it, the runtime to copy and the saver
// to write.
struct BuildRequest {
    sspack::Manifest manifest;
    std::string runtimePath;
    std::string outputPath;
};

struct BuildOutcome {
    enum class Result { Built, Refused, Cancelled, Failed };
    Result result = Result::Failed;
    std::int64_t fileSize = 0;          // Built: the saver's size
    std::vector<std::string> problems;  // Refused: "file: reason", one a piece, as sspack names them
    std::string error;                  // Failed: why, in the builder's words
};

// Steps done of all: the checks of the pieces, then the writing (a piece at a time, then the file).
using BuildProgress = std::function<void(std::size_t done, std::size_t total)>;
using BuildDone = std::function<void(const BuildOutcome& outcome)>;

// Builds a screen saver on a thread of its own as `sspack build` does, with the same checks and
// writer, so the two make the same bytes: every piece is checked first, and a piece the screen
// saver would skip refuses the build with nothing written. Progress and Done run on the main
// thread. One build at a time.
class TBuildJob {
public:
    TBuildJob() = default;
    TBuildJob(const TBuildJob&) = delete;
    TBuildJob& operator=(const TBuildJob&) = delete;
    // A build still running is cancelled and left to end by itself; neither Progress nor Done is
    // called after this.
    ~TBuildJob();

    // Main thread. False, and nothing started, while a build runs.
    bool Start(BuildRequest request, BuildProgress progress, BuildDone done);
    // The checks not yet started are skipped and the writing stops at the next piece; Done then
    // tells Cancelled and no file is written (one of that name stays as it was). A build whose
    // file is already written ends Built.
    void Cancel();
    bool Running() const { return run_ != nullptr; }

    // Before the process ends: until no build thread is left in its work, serving what they hand
    // to the main thread meanwhile.
    static void WaitForAll();

private:
    struct Run;
    std::shared_ptr<Run> run_;
};

}  // namespace maker
