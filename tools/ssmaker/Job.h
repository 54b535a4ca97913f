#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <utility>

#include "platform/Boundary.h"
#include "platform/MessageLoop.h"
#include "platform/Worker.h"

namespace maker {

// Steps done of all, on the main thread.
using JobProgress = std::function<void(std::size_t done, std::size_t total)>;

namespace jobs {

// The job threads still in their work, abandoned ones included: one more before a thread starts,
// one fewer as its last act.
void Starting();
void Ended();

}  // namespace jobs

// Before the process ends: until no job thread is left in its work, serving what they hand to the
// main thread meanwhile.
void WaitForJobs();

// A piece of the maker's work on a thread of its own, one at a time: its progress and its outcome
// reach the main thread, and the window may cancel it or go while it runs.
//
// Outcome::Failed(text) is what a job whose work threw ends with.
template <typename Outcome>
class TJob {
public:
    // On the job's thread: `report` hands a count to the main thread (from this thread only), and
    // `stop` tells that the job was cancelled.
    using Work = std::function<Outcome(const JobProgress& report, std::stop_token stop)>;
    using Done = std::function<void(const Outcome& outcome)>;

    TJob() = default;
    TJob(const TJob&) = delete;
    TJob& operator=(const TJob&) = delete;
    // A job still running is cancelled and left to end by itself; neither its progress nor its
    // end is told after this.
    ~TJob() {
        if (run_) {
            run_->owner = nullptr;
            run_->stop.request_stop();
        }
    }

    // Main thread. False, and nothing started, while a job runs.
    bool Start(Work work, JobProgress progress, Done done);
    // The work sees its stop requested; no more progress is told.
    void Cancel() {
        if (run_) {
            run_->stop.request_stop();
        }
    }
    bool Running() const { return run_ != nullptr; }

private:
    // Shared by the main thread and the job's: the work and the stop are set before the thread
    // starts, the outcome is written by the thread before its end is served, the owner and the
    // handlers are the main thread's alone.
    struct Run {
        Work work;
        JobProgress progress;
        Done done;
        std::stop_source stop;
        Outcome outcome;
        TJob* owner = nullptr;

        void Report(std::size_t done, std::size_t total) noexcept {
            if (stop.stop_requested()) {
                return;
            }
            plat::AtBoundary("job progress", [this, done, total] {
                plat::Synchronize([this, done, total] {
                    plat::AtBoundary("job progress", [this, done, total] {
                        if (owner != nullptr && progress) {
                            progress(done, total);
                        }
                    });
                });
            });
        }
    };

    std::shared_ptr<Run> run_;
};

template <typename Outcome>
bool TJob<Outcome>::Start(Work work, JobProgress progress, Done done) {
    if (run_) {
        return false;
    }
    auto run = std::make_shared<Run>();
    run->work = std::move(work);
    run->progress = std::move(progress);
    run->done = std::move(done);
    run->owner = this;
    jobs::Starting();
    try {
        plat::StartWorker(
            [run] {
                try {
                    run->outcome = run->work([&run](std::size_t d, std::size_t t) { run->Report(d, t); },
                                             run->stop.get_token());
                } catch (const std::exception& e) {
                    run->outcome = Outcome::Failed(e.what());
                } catch (...) {
                    run->outcome = Outcome::Failed("the work failed");
                }
                jobs::Ended();
            },
            [run] {
                TJob* owner = std::exchange(run->owner, nullptr);
                if (owner == nullptr) {
                    return;
                }
                // The job is free before Done runs, which may start the next one or close the window.
                owner->run_.reset();
                const Done done = std::move(run->done);
                plat::AtBoundary("job done", [&] {
                    if (done) {
                        done(run->outcome);
                    }
                });
            });
    } catch (...) {
        jobs::Ended();
        throw;
    }
    run_ = std::move(run);
    return true;
}

}  // namespace maker
