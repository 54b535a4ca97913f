#include "gfx/Blit.h"

#include <algorithm>
#include <cstring>

namespace gfx {

void CopyRow(Color32* target, const Color32* source, std::int32_t n) {
#if defined(_WIN32)
    // The system's copy has no such slow path, and outruns the compiler's loop on long rows, which
    // in the 32-bit build moves 16 bytes at a time. A short row, as a line or a strip of a few
    // dozen pixels has, is copied in place: the system copy's call and setup cost more than its bytes.
    if (n <= 256) {
        std::int32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            std::memcpy(target + i, source + i, 4 * sizeof(Color32));
        }
        for (; i < n; ++i) {
            target[i] = source[i];
        }
        return;
    }
    std::memcpy(target, source, static_cast<std::size_t>(n) * sizeof(Color32));
    return;
#endif
    if (n <= 256) {
        std::memcpy(target, source, static_cast<std::size_t>(std::max(n, 0)) * sizeof(Color32));
        return;
    }
    for (std::int32_t i = 0; i < n; ++i) {
        target[i] = source[i];
    }
}

void CopyPixels(const PixelView& target, IntPoint at, const ConstPixelView& source, const IntRect& sourceRect) {
    // Clip the source rectangle to the source, then its shifted image to the target.
    const IntRect src = sourceRect.Intersect(source.Bounds());
    if (src.IsEmpty()) {
        return;
    }
    const std::int32_t dx = at.x + (src.left - sourceRect.left);
    const std::int32_t dy = at.y + (src.top - sourceRect.top);
    const IntRect dst = IntRect::FromSize(dx, dy, src.Width(), src.Height()).Intersect(target.Bounds());
    if (dst.IsEmpty()) {
        return;
    }
    const std::int32_t sx = src.left + (dst.left - dx);
    const std::int32_t sy = src.top + (dst.top - dy);
    for (std::int32_t y = 0; y < dst.Height(); ++y) {
        CopyRow(target.Row(dst.top + y) + dst.left, source.Row(sy + y) + sx, dst.Width());
    }
}

namespace {

// The source pixel for target pixel i of n, in a source span of m pixels starting at s: the one
// under the target pixel's centre.
inline std::int32_t Nearest(std::int32_t i, std::int32_t n, std::int32_t s, std::int32_t m) {
    return s + static_cast<std::int32_t>((2 * std::int64_t{i} + 1) * m / (2 * std::int64_t{n}));
}

// The first and one-past-last target index of [0, n) whose source lies in [0, limit).
void ValidRange(std::int32_t n, std::int32_t s, std::int32_t m, std::int32_t limit, std::int32_t& first,
                std::int32_t& last) {
    first = 0;
    while (first < n && Nearest(first, n, s, m) < 0) {
        ++first;
    }
    last = n;
    while (last > first && Nearest(last - 1, n, s, m) >= limit) {
        --last;
    }
}

// Target columns [at, at + length) that come from source columns [from, from + length).
struct TRun {
    std::int32_t at;
    std::int32_t from;
    std::int32_t length;
};

// Runs pay for themselves over a plain gather when they are this long on average.
constexpr std::int32_t kShortestMeanRun = 4;
constexpr std::int32_t kBlock = 8;

// The runs of a column table, in order; returns how many.
std::int32_t Runs(const std::int32_t* columns, std::int32_t n, TRun* runs) {
    std::int32_t count = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        if (count > 0 && columns[i] == runs[count - 1].from + runs[count - 1].length) {
            ++runs[count - 1].length;
        } else {
            runs[count++] = {i, columns[i], 1};
        }
    }
    return count;
}

// How many of the runs, from the first, may be copied in whole blocks of pixels: a run's last block
// may reach past its end into the next run's place, which that run then writes, but not past the
// chunk (n target pixels) nor past the source row (width pixels).
std::int32_t BlockRuns(const TRun* runs, std::int32_t count, std::int32_t n, std::int32_t width) {
    std::int32_t safe = count;
    while (safe > 0) {
        const TRun& r = runs[safe - 1];
        const std::int32_t reach = (r.length + kBlock - 1) / kBlock * kBlock;
        if (r.at + reach <= n && r.from + reach <= width) {
            break;
        }
        --safe;
    }
    return safe;
}

// Copies a run in blocks of kBlock pixels, the last one reaching past its end.
inline void CopyBlocks(Color32* out, const Color32* in, std::int32_t length) {
    for (std::int32_t k = 0; k < length; k += kBlock) {
        std::memcpy(out + k, in + k, kBlock * sizeof(Color32));
    }
}

}  // namespace

void CopyRectStretched(const PixelView& target, const IntRect& targetRect, const ConstPixelView& source,
                       const IntRect& sourceRect) {
    if (targetRect.IsEmpty() || sourceRect.IsEmpty()) {
        return;
    }
    if (targetRect.Size() == sourceRect.Size()) {
        // The clipped source and the clipped target are each other's image.
        const IntRect dst = targetRect.Intersect(target.Bounds());
        if (dst.IsEmpty()) {
            return;
        }
        const IntRect src = dst.Offset(sourceRect.left - targetRect.left, sourceRect.top - targetRect.top);
        CopyPixels(target, {dst.left, dst.top}, source, src);
        return;
    }
    const std::int32_t tw = targetRect.Width();
    const std::int32_t th = targetRect.Height();
    const std::int32_t sw = sourceRect.Width();
    const std::int32_t sh = sourceRect.Height();
    std::int32_t x0 = 0;
    std::int32_t x1 = 0;
    std::int32_t y0 = 0;
    std::int32_t y1 = 0;
    ValidRange(tw, sourceRect.left, sw, source.width, x0, x1);
    ValidRange(th, sourceRect.top, sh, source.height, y0, y1);
    x0 = std::max(x0, -targetRect.left);
    x1 = std::min(x1, target.width - targetRect.left);
    y0 = std::max(y0, -targetRect.top);
    y1 = std::min(y1, target.height - targetRect.top);
    if (x0 >= x1) {
        return;
    }
    if (sw == tw || sw == 1) {
        // Rows stretched only in height are copies of source rows; a column one pixel wide stretched
        // across is one colour a row.
        for (std::int32_t j = y0; j < y1; ++j) {
            const Color32* in = source.Row(Nearest(j, th, sourceRect.top, sh)) + sourceRect.left;
            Color32* out = target.Row(targetRect.top + j) + targetRect.left;
            if (sw == tw) {
                CopyRow(out + x0, in + x0, x1 - x0);
            } else {
                std::fill(out + x0, out + x1, in[0]);
            }
        }
        return;
    }
    // The source column of every target column is worked out once for a chunk of columns and used by
    // every row: a table on the stack rather than a division, or a stepping branch, per pixel. Where
    // the picture is shrunk (or grown) by less than half, target columns come in runs that follow each
    // other in the source too, and the rows are copied run by run, a block of pixels at a time.
    constexpr std::int32_t kChunk = 4096;
    std::int32_t columns[kChunk];
    TRun runs[kChunk];
    for (std::int32_t c0 = x0; c0 < x1; c0 += kChunk) {
        const std::int32_t n = std::min(kChunk, x1 - c0);
        for (std::int32_t i = 0; i < n; ++i) {
            columns[i] = Nearest(c0 + i, tw, sourceRect.left, sw);
        }
        const std::int32_t count = Runs(columns, n, runs);
        const bool byRuns = count * kShortestMeanRun <= n;
        // Blocks may be written past a run's end only where a later run writes them again.
        const std::int32_t blocks = byRuns ? BlockRuns(runs, count, n, source.width) : 0;
        for (std::int32_t j = y0; j < y1; ++j) {
            const Color32* in = source.Row(Nearest(j, th, sourceRect.top, sh));
            Color32* out = target.Row(targetRect.top + j) + targetRect.left + c0;
            if (byRuns) {
                for (std::int32_t r = 0; r < blocks; ++r) {
                    CopyBlocks(out + runs[r].at, in + runs[r].from, runs[r].length);
                }
                for (std::int32_t r = blocks; r < count; ++r) {
                    CopyRow(out + runs[r].at, in + runs[r].from, runs[r].length);
                }
            } else {
                for (std::int32_t i = 0; i < n; ++i) {
                    out[i] = in[columns[i]];
                }
            }
        }
    }
}

void FillPixels(const PixelView& target, const IntRect& rect, Color32 color) {
    const IntRect r = rect.Intersect(target.Bounds());
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        std::fill(target.Row(y) + r.left, target.Row(y) + r.right, color);
    }
}

}  // namespace gfx
