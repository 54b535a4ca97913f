// Any file as a Flash movie: its header is nothing, or a frame rectangle of at most 31-bit values
// read from the plain header or from the inflated body of a compressed one, with a play time that
// follows from its rate and count.

#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "platform/MovieHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header = plat::ReadMovieHeader(fuzz::WriteInput(data, size));
    if (!header) {
        return 0;
    }
    constexpr std::uint32_t kLargest = 0x7FFFFFFF;
    if (header->xMin > kLargest || header->xMax > kLargest || header->yMin > kLargest || header->yMax > kLargest ||
        (size > 3 && (data[0] == 'C') != header->compressed && data[1] == 'W' && data[2] == 'S')) {
        __builtin_trap();
    }
    const std::uint64_t ms = plat::MoviePlayMs(*header);
    if (header->frameRate == 0 && ms != 0) {
        __builtin_trap();
    }
    return 0;
}
