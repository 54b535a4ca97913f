#include "tools/ssrender/ScreenshotWriter.h"

#include "gfx/io/ImageFiles.h"

namespace ssrender {

namespace {

constexpr int kThreads = 2;
// Two 4K screens' worth while others are written.
constexpr std::size_t kMostWaiting = 4;

}  // namespace

TScreenshotWriter::TScreenshotWriter() {
    for (int i = 0; i < kThreads; ++i) {
        threads_.emplace_back([this] { Run(); });
    }
}

TScreenshotWriter::~TScreenshotWriter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_) {
        t.join();
    }
}

void TScreenshotWriter::Write(std::string path, gfx::TBitmap32 picture) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
    waiting_.emplace_back(std::move(path), std::move(picture));
    changed_.notify_all();
}

void TScreenshotWriter::Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && writing_ == 0; });
    if (error_) {
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
}

void TScreenshotWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
        if (waiting_.empty()) {
            return;  // stopped, with nothing left
        }
        auto [path, picture] = std::move(waiting_.front());
        waiting_.pop_front();
        ++writing_;
        changed_.notify_all();
        lock.unlock();
        try {
            gfx::io::WritePng(path, picture, gfx::io::PngCompression::Fast);
        } catch (...) {
            lock.lock();
            if (!error_) {
                error_ = std::current_exception();
            }
            lock.unlock();
        }
        lock.lock();
        --writing_;
        changed_.notify_all();
    }
}

}  // namespace ssrender
