#include "gfx/decode/ConvertingRows.h"

#include <system_error>
#include <utility>

namespace gfx {

namespace {

// Rows of a turned picture in flight between the decoder and the converting thread: for a wide
// photograph a few hundred kilobytes, which stay in the cache.
constexpr std::int32_t kSlots = 16;
// Rows in flight in all: the decoder need not wait at every hitch of the converting thread.
constexpr std::int32_t kInFlight = 256;
// The converting thread is woken for this many rows at a time, not for each.
constexpr std::int32_t kBatch = 16;
// Below this many pixels a thread costs more than it saves.
constexpr std::int64_t kThreadedPixels = std::int64_t{1} << 20;

}  // namespace

TConvertingRows::TConvertingRows(const TSrgbConversion& toSrgb, IntSize stored, TStore store)
    : toSrgb_(toSrgb), width_(stored.width), store_(std::move(store)), handed_(kInFlight) {
    slots_.resize(static_cast<std::size_t>(width_) * kSlots);
    if (static_cast<std::int64_t>(stored.width) * stored.height >= kThreadedPixels) {
        try {
            worker_ = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            // Converted at once, then.
        }
    }
}

TConvertingRows::~TConvertingRows() { Finish(); }

Color32* TConvertingRows::Slot(std::int32_t y) {
    if (worker_.joinable()) {
        std::unique_lock lock(mutex_);
        WaitForRoom(lock, y, kSlots);
    }
    return slots_.data() + static_cast<std::size_t>(y % kSlots) * static_cast<std::size_t>(width_);
}

void TConvertingRows::Done(std::int32_t y, Color32* row) {
    const std::less_equal<const Color32*> notAfter;
    const bool inSlot = notAfter(slots_.data(), row) && !notAfter(slots_.data() + slots_.size(), row);
    const Handed handed{y, row, inSlot};
    if (!worker_.joinable()) {
        Convert(handed);
        return;
    }
    std::unique_lock lock(mutex_);
    WaitForRoom(lock, y, kInFlight);
    handed_[static_cast<std::size_t>(y % kInFlight)] = handed;
    ready_ = y + 1;
    if (workerWaits_ && ready_ - converted_ >= kBatch) {
        changed_.notify_all();
    }
}

void TConvertingRows::Finish() {
    if (!worker_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void TConvertingRows::Convert(const Handed& h) const {
    toSrgb_.ConvertRow(h.row, width_);
    if (h.inSlot) {
        store_(h.y, h.row);
    }
}

void TConvertingRows::WaitForRoom(std::unique_lock<std::mutex>& lock, std::int32_t y, std::int32_t room) {
    if (y - converted_ < room) {
        return;
    }
    decoderWaits_ = true;
    changed_.notify_all();  // the rows in flight may be fewer than a batch
    changed_.wait(lock, [&] { return y - converted_ < room; });
    decoderWaits_ = false;
}

void TConvertingRows::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workerWaits_ = true;
        changed_.wait(lock, [&] {
            const std::int32_t waiting = ready_ - converted_;
            return waiting >= kBatch || (waiting > 0 && decoderWaits_) || finishing_;
        });
        workerWaits_ = false;
        if (finishing_ && ready_ == converted_) {
            return;
        }
        const std::int32_t from = converted_;
        const std::int32_t to = ready_;
        lock.unlock();
        for (std::int32_t y = from; y < to; ++y) {
            Convert(handed_[static_cast<std::size_t>(y % kInFlight)]);
        }
        lock.lock();
        converted_ = to;
        if (decoderWaits_) {
            changed_.notify_all();
        }
    }
}

}  // namespace gfx
