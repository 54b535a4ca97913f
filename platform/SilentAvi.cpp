#include "platform/SilentAvi.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Files.h"

namespace plat {

namespace {

using Bytes = std::vector<std::uint8_t>;

// The stream headers sit in the header list right after the RIFF header; a larger list is not
// a movie this is meant for.
constexpr std::uint32_t kMaxHeaderList = 1u << 20;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

bool Is(const std::uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

// Renames every sound stream header of the chunks in [begin, end); returns how many.
int SilenceStreams(Bytes& b, std::size_t begin, std::size_t end) {
    int silenced = 0;
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::uint32_t size = Le32(&b[at + 4]);
        if (size > end - at - 8) {
            break;
        }
        const std::size_t body = at + 8;
        if (Is(&b[at], "LIST") && size >= 4 && Is(&b[body], "strl")) {
            silenced += SilenceStreams(b, body + 4, body + size);
        } else if (Is(&b[at], "strh") && size >= 4 && Is(&b[body], "auds")) {
            std::memcpy(&b[body], "none", 4);
            ++silenced;
        }
        at = body + size + (size & 1);
    }
    return silenced;
}

}  // namespace

bool WriteSilentAviCopy(const std::string& source, const std::string& target) {
    try {
        File in = File::OpenRead(source);
        Bytes head(24);
        in.ReadExact(head.data(), head.size());
        if (!Is(&head[0], "RIFF") || !Is(&head[8], "AVI ") || !Is(&head[12], "LIST") || !Is(&head[20], "hdrl")) {
            return false;
        }
        const std::uint32_t listSize = Le32(&head[16]);
        if (listSize < 4 || listSize > kMaxHeaderList) {
            return false;
        }
        head.resize(20 + listSize);
        in.ReadExact(&head[24], listSize - 4);
        if (SilenceStreams(head, 24, head.size()) == 0) {
            return false;
        }
        File out = File::Create(target);
        out.Write(head.data(), head.size());
        Bytes block(1u << 20);
        for (std::size_t n = in.Read(block.data(), block.size()); n > 0; n = in.Read(block.data(), block.size())) {
            out.Write(block.data(), n);
        }
        return true;
    } catch (const FileError&) {
        RemoveFile(target);
        return false;
    }
}

}  // namespace plat
