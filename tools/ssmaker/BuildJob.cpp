#include "tools/ssmaker/BuildJob.h"

#include <utility>

#include "tools/ssmaker/CheckRelay.h"
#include "tools/sspack/CheckPool.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/PackageWriter.h"

namespace maker {

namespace {

BuildOutcome Ended(BuildOutcome::Result result) {
    BuildOutcome outcome;
    outcome.result = result;
    return outcome;
}

// The problems the checks find, on threads of their own, while this one hands their counts on.
std::vector<std::string> CheckPieces(const sspack::Manifest& manifest, const JobProgress& hand,
                                     std::stop_token stop) {
    std::vector<std::string> problems;
    TCheckRelay::Run(
        [&](TCheckRelay& relay) {
            problems = sspack::ManifestProblems(
                manifest, sspack::CheckWorkers(),
                [&relay](std::size_t done, std::size_t total) { relay.Tell(done, total); }, stop);
        },
        hand);
    return problems;
}

// The job's thread: the checks, then the writing, as `sspack build` does them.
BuildOutcome Build(const BuildRequest& request, const JobProgress& report, std::stop_token stop) {
    const std::size_t writing = sspack::BuildSteps(request.manifest);
    std::size_t checks = 0;
    auto problems = CheckPieces(
        request.manifest,
        [&](std::size_t done, std::size_t total) {
            checks = total;
            report(done, total + writing);
        },
        stop);
    if (stop.stop_requested()) {
        return Ended(BuildOutcome::Result::Cancelled);
    }
    if (!problems.empty()) {
        BuildOutcome refused = Ended(BuildOutcome::Result::Refused);
        refused.problems = std::move(problems);
        return refused;
    }
    const auto runtime = sspack::ReadFileBytes(request.runtimePath);
    sspack::BuildOptions options;
    options.cancel = stop;
    options.progress = [&](std::size_t done, std::size_t total) { report(checks + done, checks + total); };
    try {
        BuildOutcome built = Ended(BuildOutcome::Result::Built);
        built.fileSize = sspack::BuildPackageFile(request.manifest, runtime, request.outputPath, options).fileSize;
        return built;
    } catch (const sspack::BuildCancelled&) {
        return Ended(BuildOutcome::Result::Cancelled);
    }
}

}  // namespace

BuildOutcome BuildOutcome::Failed(std::string error) {
    BuildOutcome outcome = Ended(Result::Failed);
    outcome.error = std::move(error);
    return outcome;
}

bool TBuildJob::Start(BuildRequest request, BuildProgress progress, BuildDone done) {
    return job_.Start(
        [request = std::move(request)](const JobProgress& report, std::stop_token stop) {
            return Build(request, report, stop);
        },
        std::move(progress), std::move(done));
}

}  // namespace maker
