#pragma once

#include <cstdint>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"

namespace gfx {

// Reduces a picture that arrives in pieces (a grid's tiles) to a smaller size by averaging the
// area each target pixel covers, colours weighted by their alpha, without ever holding the whole
// picture: only the target and the few target rows the current band of pieces reaches.
// Pieces come band by band from the top: every piece that reaches a source row is added before
// RowsDone passes that row. Parts of pieces outside `source` are left out.
class TAreaReducer {
public:
    // `source` is the part of the picture kept (in the coordinates pieces are given in); `target`
    // is at most as large on each side. Allocates the target (throws std::bad_alloc like any
    // bitmap).
    TAreaReducer(IntRect source, IntSize target);

    void Add(IntPoint at, const TBitmap32& piece);
    // Every piece reaching the source rows above `y` has been added.
    void RowsDone(std::int32_t y);
    // The reduced picture; rows no piece reached are transparent black.
    TBitmap32 Take();

private:
    // Where a source pixel's weight goes along one side: to `first`, and what is left of 1 to the
    // next target pixel.
    struct Share {
        std::int32_t first = 0;
        float weight = 1;
    };
    static std::vector<Share> Shares(std::int32_t from, std::int32_t to);
    void Finish(std::int32_t row, const float* sum);

    IntRect source_;
    TBitmap32 target_;
    std::vector<Share> columns_;
    std::vector<Share> rows_;
    double area_ = 1;  // how many source pixels one target pixel covers
    // Sums of alpha-weighted red, green, blue and of alpha, for target rows first_ on.
    std::vector<float> sums_;
    std::int32_t first_ = 0;
};

}  // namespace gfx
