#include "tools/ssmaker/FilesJob.h"

#include <utility>

#include "common/Paths.h"
#include "tools/ssmaker/CheckRelay.h"
#include "tools/ssmaker/Thumbnail.h"
#include "tools/sspack/CheckPool.h"
#include "tools/sspack/ContentCheck.h"

namespace maker {

FilesOutcome FilesOutcome::Failed(std::string error) {
    FilesOutcome outcome;
    outcome.error = std::move(error);
    return outcome;
}

TJob<FilesOutcome>::Work TakeFilesIn(std::vector<std::string> files, bool check, int side) {
    return [files = std::move(files), check, side](const JobProgress& report, std::stop_token stop) {
        FilesOutcome outcome;
        outcome.files.resize(files.size());
        std::vector<sspack::PieceCheck> checks;
        for (std::size_t i = 0; i < files.size(); ++i) {
            checks.push_back([&, i]() -> std::optional<std::string> {
                FileOutcome& file = outcome.files[i];
                if (check) {
                    file.problem = sspack::ItemProblem(files[i], core::UpperCase(core::ExtractFileExt(files[i])));
                }
                if (!file.problem) {
                    file.thumbnail = MakeThumbnail(files[i], side);
                }
                return std::nullopt;
            });
        }
        TCheckRelay::Run(
            [&](TCheckRelay& relay) {
                sspack::RunChecks(
                    checks, sspack::CheckWorkers(),
                    [&relay](std::size_t done, std::size_t total) { relay.Tell(done, total); }, stop);
            },
            report);
        if (stop.stop_requested()) {
            outcome.files.clear();
            outcome.cancelled = true;
        }
        return outcome;
    };
}

}  // namespace maker
