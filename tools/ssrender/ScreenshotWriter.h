#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gfx/Bitmap32.h"

namespace ssrender {

// Writes screenshots as fast-compressed PNG files on two threads of its own, so that the run goes on
// while they are written: at 4K a file takes longer to write than the run takes to reach the next
// screenshot. At most a few wait at a time: a screenshot handed over beyond that waits for room,
// which bounds the memory that large screens take.
class TScreenshotWriter {
public:
    TScreenshotWriter();
    // Writes what is still waiting.
    ~TScreenshotWriter();
    TScreenshotWriter(const TScreenshotWriter&) = delete;
    TScreenshotWriter& operator=(const TScreenshotWriter&) = delete;

    void Write(std::string path, gfx::TBitmap32 picture);
    // Waits until everything handed over is written; throws the first error of a write.
    void Finish();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::string, gfx::TBitmap32>> waiting_;
    int writing_ = 0;
    bool stop_ = false;
    std::exception_ptr error_;
    std::vector<std::thread> threads_;
};

}  // namespace ssrender
