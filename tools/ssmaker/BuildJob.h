#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/ssmaker/Job.h"
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

    static BuildOutcome Failed(std::string error);
};

// Steps done of all: the checks of the pieces, then the writing (a piece at a time, then the file).
using BuildProgress = JobProgress;
using BuildDone = std::function<void(const BuildOutcome& outcome)>;

// Builds a screen saver on a thread of its own as `sspack build` does, with the same checks and
// writer, so the two make the same bytes: every piece is checked first, and a piece the screen
// saver would skip refuses the build with nothing written. Progress and Done run on the main
// thread. One build at a time.
class TBuildJob {
public:
    // A build still running when the job goes is cancelled and left to end by itself; neither
    // Progress nor Done is called after that.

    // Main thread. False, and nothing started, while a build runs.
    bool Start(BuildRequest request, BuildProgress progress, BuildDone done);
    // The checks not yet started are skipped and the writing stops at the next piece; Done then
    // tells Cancelled and no file is written (one of that name stays as it was). A build whose
    // file is already written ends Built.
    void Cancel() { job_.Cancel(); }
    bool Running() const { return job_.Running(); }

    // Before the process ends: until no job thread is left in its work.
    static void WaitForAll() { WaitForJobs(); }

private:
    TJob<BuildOutcome> job_;
};

}  // namespace maker
