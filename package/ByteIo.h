#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace pkg {

// Little-endian fields at fixed offsets of a record buffer.

inline std::int32_t GetInt32(const std::uint8_t* p, std::size_t offset) {
    const std::uint8_t* b = p + offset;
    return static_cast<std::int32_t>(std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                                     (std::uint32_t{b[3]} << 24));
}

inline void PutInt32(std::uint8_t* p, std::size_t offset, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    p[offset] = static_cast<std::uint8_t>(v);
    p[offset + 1] = static_cast<std::uint8_t>(v >> 8);
    p[offset + 2] = static_cast<std::uint8_t>(v >> 16);
    p[offset + 3] = static_cast<std::uint8_t>(v >> 24);
}

inline bool GetFlag(const std::uint8_t* p, std::size_t offset) { return p[offset] != 0; }

inline void PutFlag(std::uint8_t* p, std::size_t offset, bool value) { p[offset] = value ? 1 : 0; }

// A fixed character field: the text, ending early at a zero byte.
inline std::string GetChars(const std::uint8_t* p, std::size_t offset, std::size_t width) {
    const auto* begin = reinterpret_cast<const char*>(p + offset);
    std::size_t n = 0;
    while (n < width && begin[n] != '\0') {
        ++n;
    }
    return std::string(begin, n);
}

// Writes text into a fixed character field, zero-padded; longer text is cut (writers check first).
inline void PutChars(std::uint8_t* p, std::size_t offset, std::size_t width, const std::string& text) {
    std::memset(p + offset, 0, width);
    std::memcpy(p + offset, text.data(), text.size() < width ? text.size() : width);
}

// A counted field: a length byte followed by up to width - 1 characters. A length byte larger
// than the field reads as the whole field.
inline std::string GetCounted(const std::uint8_t* p, std::size_t offset, std::size_t width) {
    std::size_t n = p[offset];
    if (n > width - 1) {
        n = width - 1;
    }
    return std::string(reinterpret_cast<const char*>(p + offset + 1), n);
}

inline void PutCounted(std::uint8_t* p, std::size_t offset, std::size_t width, const std::string& text) {
    std::memset(p + offset, 0, width);
    const std::size_t n = text.size() < width - 1 ? text.size() : width - 1;
    p[offset] = static_cast<std::uint8_t>(n);
    std::memcpy(p + offset + 1, text.data(), n);
}

}  // namespace pkg
