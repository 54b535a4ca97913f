#include "tools/ssmaker/BuildJob.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

#include "platform/Boundary.h"
#include "platform/MessageLoop.h"
#include "platform/Worker.h"
#include "tools/sspack/CheckPool.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/PackageWriter.h"

namespace maker {

namespace {

// Build threads still in their work, abandoned ones included.
std::atomic<int> g_working{0};

class Working {
public:
    Working() = default;
    Working(const Working&) = delete;
    Working& operator=(const Working&) = delete;
    ~Working() { --g_working; }
};

// Brings the checks' counts, told on whichever thread finished a check, to the build's own thread,
// the only one that may hand them to the main thread. A checking thread waits until its count has
// been handed over, so that the window shows what has been checked and a cancel made there stops
// the very next check.
class CheckRelay {
public:
    // On a checking thread; RunChecks tells one count at a time, each one more than the last.
    void Tell(std::size_t done, std::size_t total) {
        std::unique_lock lock(mutex_);
        told_ = done;
        total_ = total;
        changed_.notify_all();
        changed_.wait(lock, [this, done] { return handed_ >= done; });
    }

    // On the checking thread, once the checks have ended.
    void Finish() {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }

    // On the build's thread until the checks have ended; hand must not throw, or a checking thread
    // would wait for ever.
    void HandOver(const sspack::CheckProgress& hand) {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return told_ > handed_ || finished_; });
            if (told_ == handed_) {
                return;
            }
            const std::size_t done = told_;
            const std::size_t total = total_;
            lock.unlock();
            hand(done, total);
            lock.lock();
            handed_ = done;
            changed_.notify_all();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t told_ = 0;
    std::size_t total_ = 0;
    std::size_t handed_ = 0;
    bool finished_ = false;
};

BuildOutcome Ended(BuildOutcome::Result result) {
    BuildOutcome outcome;
    outcome.result = result;
    return outcome;
}

BuildOutcome Failed(std::string error) {
    BuildOutcome outcome = Ended(BuildOutcome::Result::Failed);
    outcome.error = std::move(error);
    return outcome;
}

}  // namespace

// What a build shares between the main thread and its own: the request and the cancel are set
// before the thread starts, the outcome is written by the thread before its completion is served,
// and the owner and the handlers are the main thread's alone.
struct TBuildJob::Run {
    BuildRequest request;
    BuildProgress progress;
    BuildDone done;
    std::stop_source stop;
    BuildOutcome outcome;
    TBuildJob* owner = nullptr;

    // The build's thread: the checks, then the writing, as `sspack build` does them.
    BuildOutcome Work();
    // The problems the checks found; on a thread of their own, while this one hands their counts to
    // the main thread.
    std::vector<std::string> Check(const sspack::CheckProgress& hand);
    // Hands a count to the window, unless the build was cancelled or the window has gone. Never
    // throws: what the window's handler throws stays on the main thread.
    void Report(std::size_t done, std::size_t total) noexcept;
};

BuildOutcome TBuildJob::Run::Work() {
    const std::size_t writing = sspack::BuildSteps(request.manifest);
    std::size_t checks = 0;
    auto problems = Check([this, &checks, writing](std::size_t done, std::size_t total) {
        checks = total;
        Report(done, total + writing);
    });
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
    options.cancel = stop.get_token();
    options.progress = [this, checks](std::size_t done, std::size_t total) { Report(checks + done, checks + total); };
    try {
        BuildOutcome built = Ended(BuildOutcome::Result::Built);
        built.fileSize = sspack::BuildPackageFile(request.manifest, runtime, request.outputPath, options).fileSize;
        return built;
    } catch (const sspack::BuildCancelled&) {
        return Ended(BuildOutcome::Result::Cancelled);
    }
}

std::vector<std::string> TBuildJob::Run::Check(const sspack::CheckProgress& hand) {
    CheckRelay relay;
    std::vector<std::string> problems;
    std::exception_ptr error;
    {
        const std::jthread checking([this, &relay, &problems, &error] {
            try {
                problems = sspack::ManifestProblems(
                    request.manifest, sspack::CheckWorkers(),
                    [&relay](std::size_t done, std::size_t total) { relay.Tell(done, total); }, stop.get_token());
            } catch (...) {
                error = std::current_exception();
            }
            relay.Finish();
        });
        relay.HandOver(hand);
    }
    if (error) {
        std::rethrow_exception(error);
    }
    return problems;
}

void TBuildJob::Run::Report(std::size_t done, std::size_t total) noexcept {
    if (stop.stop_requested()) {
        return;
    }
    plat::AtBoundary("build progress", [this, done, total] {
        plat::Synchronize([this, done, total] {
            plat::AtBoundary("build progress", [this, done, total] {
                if (owner != nullptr && progress) {
                    progress(done, total);
                }
            });
        });
    });
}

TBuildJob::~TBuildJob() {
    if (run_) {
        run_->owner = nullptr;
        run_->stop.request_stop();
    }
}

bool TBuildJob::Start(BuildRequest request, BuildProgress progress, BuildDone done) {
    if (run_) {
        return false;
    }
    auto run = std::make_shared<Run>();
    run->request = std::move(request);
    run->progress = std::move(progress);
    run->done = std::move(done);
    run->owner = this;
    ++g_working;
    try {
        plat::StartWorker(
            [run] {
                const Working working;
                try {
                    run->outcome = run->Work();
                } catch (const std::exception& e) {
                    run->outcome = Failed(e.what());
                } catch (...) {
                    run->outcome = Failed("the build failed");
                }
            },
            [run] {
                TBuildJob* owner = std::exchange(run->owner, nullptr);
                if (owner == nullptr) {
                    return;
                }
                // The job is free before Done runs, which may start the next build or close the window.
                owner->run_.reset();
                const BuildDone done = std::move(run->done);
                plat::AtBoundary("build done", [&] {
                    if (done) {
                        done(run->outcome);
                    }
                });
            });
    } catch (...) {
        --g_working;
        throw;
    }
    run_ = std::move(run);
    return true;
}

void TBuildJob::Cancel() {
    if (run_) {
        run_->stop.request_stop();
    }
}

void TBuildJob::WaitForAll() {
    while (g_working > 0) {
        plat::ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace maker
