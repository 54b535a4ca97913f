#pragma once

#include <cstdint>
#include <string>

namespace sspack {

// 33554432 as "33,554,432".
std::string Grouped(std::int64_t n);

// A file size as people read it: "512 bytes", "20.5 KB", "30.8 MB" (1 KB = 1024 bytes, as Windows
// counts).
std::string SizeText(std::int64_t bytes);

// A TColor as people read it: "#RRGGBB", "none", or the number of a system colour.
std::string ColorText(std::int64_t color);

// "1 picture", "12 pictures".
std::string Counted(std::int64_t n, const std::string& singular, const std::string& plural);

}  // namespace sspack
