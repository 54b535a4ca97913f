// Any bytes as a Flash movie: its frame size is nothing, or two sizes within what 31-bit twips
// give, read from the plain header or from the inflated body of a compressed one.

#include <cstdint>

#include "slideshow/FlashMovie.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto frame = show::MovieFrameSize({data, size});
    constexpr std::int32_t kLargest = 0x7FFFFFFF / 20;
    if (frame && (frame->width < 0 || frame->height < 0 || frame->width > kLargest || frame->height > kLargest)) {
        __builtin_trap();
    }
    return 0;
}
