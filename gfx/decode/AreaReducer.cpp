#include "gfx/decode/AreaReducer.h"

#include <algorithm>
#include <cmath>

namespace gfx {

std::vector<TAreaReducer::Share> TAreaReducer::Shares(std::int32_t from, std::int32_t to) {
    // In units of 1 / (from * to) of the side: source pixel i spans [i * to, (i + 1) * to), target
    // pixel t spans [t * from, (t + 1) * from). As to <= from, a source pixel touches at most two.
    std::vector<Share> shares(static_cast<std::size_t>(from));
    for (std::int32_t i = 0; i < from; ++i) {
        const std::int64_t start = std::int64_t{i} * to;
        const auto first = static_cast<std::int32_t>(start / from);
        const std::int64_t boundary = std::int64_t{first + 1} * from;
        Share& share = shares[static_cast<std::size_t>(i)];
        share.first = first;
        share.weight = start + to <= boundary ? 1.0f : static_cast<float>(boundary - start) / static_cast<float>(to);
    }
    return shares;
}

TAreaReducer::TAreaReducer(IntRect source, IntSize target)
    : source_(source), target_(target.width, target.height, 0) {
    columns_ = Shares(source.Width(), target.width);
    rows_ = Shares(source.Height(), target.height);
    area_ = static_cast<double>(source.Width()) / target.width * source.Height() / target.height;
}

void TAreaReducer::Add(IntPoint at, const TBitmap32& piece) {
    const IntRect kept = IntRect::FromSize(at.x, at.y, piece.Width(), piece.Height()).Intersect(source_);
    if (kept.IsEmpty()) {
        return;
    }
    const auto width = static_cast<std::size_t>(target_.Width()) * 4;
    // The piece's last row may reach one target row beyond its own share.
    const std::int32_t lastRow =
        std::min(rows_[static_cast<std::size_t>(kept.bottom - 1 - source_.top)].first + 1, target_.Height() - 1);
    if (lastRow < first_) {
        return;  // a piece out of order: its rows' targets are already finished
    }
    const auto needed = static_cast<std::size_t>(lastRow - first_ + 1) * width;
    if (sums_.size() < needed) {
        sums_.resize(needed, 0.0f);
    }
    for (std::int32_t y = kept.top; y < kept.bottom; ++y) {
        const Share row = rows_[static_cast<std::size_t>(y - source_.top)];
        if (row.first < first_) {
            continue;  // a piece out of order: its rows' targets are already finished
        }
        const Color32* in = piece.Row(y - at.y);
        const auto offset = static_cast<std::size_t>(row.first - first_) * width;
        float* into[2] = {&sums_[offset], row.weight < 1.0f ? &sums_[offset + width] : nullptr};
        const float rowWeights[2] = {row.weight, 1.0f - row.weight};
        for (std::int32_t x = kept.left; x < kept.right; ++x) {
            const Color32 c = in[x - at.x];
            const Share column = columns_[static_cast<std::size_t>(x - source_.left)];
            const float a = AlphaOf(c);
            const float values[4] = {RedOf(c) * a, GreenOf(c) * a, BlueOf(c) * a, a};
            for (int r = 0; r < 2; ++r) {
                if (into[r] == nullptr) {
                    continue;
                }
                float* sum = into[r] + static_cast<std::size_t>(column.first) * 4;
                const float w = rowWeights[r] * column.weight;
                for (int k = 0; k < 4; ++k) {
                    sum[k] += values[k] * w;
                }
                if (column.weight < 1.0f) {
                    const float rest = rowWeights[r] * (1.0f - column.weight);
                    for (int k = 0; k < 4; ++k) {
                        sum[4 + k] += values[k] * rest;
                    }
                }
            }
        }
    }
}

void TAreaReducer::Finish(std::int32_t row, const float* sum) {
    Color32* out = target_.Row(row);
    for (std::int32_t x = 0; x < target_.Width(); ++x, sum += 4) {
        const float alpha = sum[3];
        if (alpha <= 0.0f) {
            out[x] = 0;
            continue;
        }
        auto channel = [](double v) {
            return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0l, 255l));
        };
        out[x] = MakeColor32(channel(sum[0] / alpha), channel(sum[1] / alpha), channel(sum[2] / alpha),
                             channel(alpha / area_));
    }
}

void TAreaReducer::RowsDone(std::int32_t y) {
    // Target row t is complete once the source rows covering it, up to the one holding its end,
    // have all come.
    const std::int32_t done = std::clamp(y, source_.top, source_.bottom) - source_.top;
    const std::int32_t complete =
        done >= source_.Height()
            ? target_.Height()
            : static_cast<std::int32_t>(std::int64_t{done} * target_.Height() / source_.Height());
    if (complete <= first_) {
        return;
    }
    const auto rowFloats = static_cast<std::size_t>(target_.Width()) * 4;
    const auto rows = static_cast<std::size_t>(complete - first_);
    if (sums_.size() < rows * rowFloats) {
        sums_.resize(rows * rowFloats, 0.0f);
    }
    for (std::size_t r = 0; r < rows; ++r) {
        Finish(first_ + static_cast<std::int32_t>(r), &sums_[r * rowFloats]);
    }
    // The finished rows leave the sums; the first unfinished one moves to the front.
    sums_.erase(sums_.begin(), sums_.begin() + static_cast<std::ptrdiff_t>(rows * rowFloats));
    first_ = complete;
}

TBitmap32 TAreaReducer::Take() {
    RowsDone(source_.bottom);
    return std::move(target_);
}

}  // namespace gfx
