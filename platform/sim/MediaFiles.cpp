#include "platform/sim/MediaFiles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/sim/Sim.h"

namespace sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

bool Tag(const Bytes& b, std::size_t at, const char (&tag)[5]) {
    return at + 4 <= b.size() && b[at] == tag[0] && b[at + 1] == tag[1] && b[at + 2] == tag[2] && b[at + 3] == tag[3];
}

std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           std::uint32_t{b[at + 3]};
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// RIFF chunks of a list body [begin, end): calls visit(tag offset, body offset, body size) for each.
template <typename Visit>
void EachChunk(const Bytes& b, std::size_t begin, std::size_t end, Visit visit) {
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::uint32_t size = Le32(b, at + 4);
        if (size > end - at - 8) {
            return;
        }
        visit(at, at + 8, size);
        at += 8 + size + (size & 1);
    }
}

std::optional<MediaInfo> ReadWave(const Bytes& b) {
    std::uint32_t bytesPerSecond = 0;
    std::optional<std::uint32_t> dataSize;
    EachChunk(b, 12, b.size(), [&](std::size_t tag, std::size_t body, std::uint32_t size) {
        if (Tag(b, tag, "fmt ") && size >= 16) {
            bytesPerSecond = Le32(b, body + 8);
        } else if (Tag(b, tag, "data")) {
            dataSize = size;
        }
    });
    if (bytesPerSecond == 0 || !dataSize) {
        return std::nullopt;
    }
    MediaInfo info;
    info.lengthMs = static_cast<std::uint32_t>(std::uint64_t{*dataSize} * 1000 / bytesPerSecond);
    return info;
}

std::optional<MediaInfo> ReadAvi(const Bytes& b) {
    std::optional<MediaInfo> found;
    bool sound = false;
    const auto visitList = [&](auto&& self, std::size_t begin, std::size_t end) -> void {
        EachChunk(b, begin, end, [&](std::size_t tag, std::size_t body, std::uint32_t size) {
            if (Tag(b, tag, "LIST") && size >= 4 && (Tag(b, body, "hdrl") || Tag(b, body, "strl"))) {
                self(self, body + 4, body + size);
            } else if (Tag(b, tag, "avih") && size >= 40) {
                MediaInfo info;
                info.lengthMs = static_cast<std::uint32_t>(std::uint64_t{Le32(b, body)} * Le32(b, body + 16) / 1000);
                info.picture = {static_cast<std::int32_t>(Le32(b, body + 32)), static_cast<std::int32_t>(Le32(b, body + 36))};
                found = info;
            } else if (Tag(b, tag, "strh") && size >= 4 && Tag(b, body, "auds")) {
                sound = true;
            }
        });
    };
    visitList(visitList, 12, b.size());
    if (found) {
        found->hasSound = sound;
    }
    return found;
}

// MPEG audio: the frames are counted, each carrying a fixed number of samples.
struct FrameHeader {
    std::size_t length = 0;
    std::uint32_t samples = 0;
    std::uint32_t rate = 0;
};

std::optional<FrameHeader> ParseFrame(const Bytes& b, std::size_t at) {
    if (at + 4 > b.size() || b[at] != 0xFF || (b[at + 1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int version = (b[at + 1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
    const int layer = (b[at + 1] >> 1) & 3;    // 1: III, 2: II, 3: I
    const int bitrateIndex = b[at + 2] >> 4;
    const int rateIndex = (b[at + 2] >> 2) & 3;
    const int padding = (b[at + 2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return std::nullopt;
    }
    static constexpr std::array<std::array<int, 15>, 5> kKbps{{
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // 1, I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // 1, II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // 1, III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // 2, I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // 2, II and III
    }};
    static constexpr std::array<std::uint32_t, 3> kRates{44100, 48000, 32000};
    const bool v1 = version == 3;
    const int table = v1 ? 3 - layer : (layer == 3 ? 3 : 4);
    const std::uint32_t bitrate = static_cast<std::uint32_t>(kKbps[static_cast<std::size_t>(table)][static_cast<std::size_t>(bitrateIndex)]) * 1000;
    const std::uint32_t rate = kRates[static_cast<std::size_t>(rateIndex)] >> (v1 ? 0 : version == 2 ? 1 : 2);
    FrameHeader f;
    f.rate = rate;
    if (layer == 3) {
        f.samples = 384;
        f.length = (12 * bitrate / rate + static_cast<std::uint32_t>(padding)) * 4;
    } else {
        f.samples = (layer == 1 && !v1) ? 576 : 1152;
        f.length = f.samples / 8 * bitrate / rate + static_cast<std::uint32_t>(padding);
    }
    return f.length >= 4 ? std::optional(f) : std::nullopt;
}

std::optional<MediaInfo> ReadMpegAudio(const Bytes& b) {
    std::size_t at = 0;
    if (b.size() >= 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3') {
        const std::size_t size = (std::size_t{b[6]} << 21) | (std::size_t{b[7]} << 14) | (std::size_t{b[8]} << 7) | b[9];
        at = 10 + size + ((b[5] & 0x10) ? 10 : 0);
    }
    // The first frame must be followed by another (or the end), so that stray sync bits do not count.
    while (at + 4 <= b.size()) {
        const auto f = ParseFrame(b, at);
        if (f && (at + f->length == b.size() || ParseFrame(b, at + f->length))) {
            break;
        }
        ++at;
    }
    std::uint64_t samples = 0;
    std::uint32_t rate = 0;
    int frames = 0;
    for (auto f = ParseFrame(b, at); f && at + f->length <= b.size(); f = ParseFrame(b, at)) {
        samples += f->samples;
        rate = f->rate;
        at += f->length;
        ++frames;
    }
    if (frames < 2 || rate == 0) {
        return std::nullopt;
    }
    MediaInfo info;
    info.lengthMs = static_cast<std::uint32_t>(samples * 1000 / rate);
    return info;
}

// ISO base media (MP4, M4A, MOV): boxes of a big-endian size and a type; a size of 1 is followed by
// a 64-bit one, a size of 0 runs to the end. Calls visit(type offset, body offset, body size).
template <typename Visit>
bool EachBox(const Bytes& b, std::size_t begin, std::size_t end, Visit visit) {
    std::size_t at = begin;
    while (at + 8 <= end) {
        std::uint64_t size = Be32(b, at);
        std::size_t header = 8;
        if (size == 1) {
            if (at + 16 > end) {
                return false;
            }
            size = (std::uint64_t{Be32(b, at + 8)} << 32) | Be32(b, at + 12);
            header = 16;
        } else if (size == 0) {
            size = end - at;
        }
        if (size < header || size > end - at) {
            return false;
        }
        visit(at + 4, at + header, static_cast<std::size_t>(size) - header);
        at += static_cast<std::size_t>(size);
    }
    return at == end;
}

// The types a QuickTime or MP4 file may begin with.
bool IsoStart(const Bytes& b) {
    return Tag(b, 4, "ftyp") || Tag(b, 4, "moov") || Tag(b, 4, "mdat") || Tag(b, 4, "wide") || Tag(b, 4, "free") ||
           Tag(b, 4, "skip") || Tag(b, 4, "pnot");
}

struct IsoTrack {
    gfx::IntSize size;
    bool picture = false;
    bool sound = false;
};

// A track's picture size (16.16 fixed point in its header) and its kind (the media handler).
IsoTrack ReadIsoTrack(const Bytes& b, std::size_t begin, std::size_t end) {
    IsoTrack track;
    const auto visit = [&](auto&& self, std::size_t from, std::size_t to) -> void {
        EachBox(b, from, to, [&](std::size_t type, std::size_t body, std::size_t size) {
            if (Tag(b, type, "tkhd") && size >= 4) {
                const std::size_t at = body + (b[body] == 1 ? 88 : 76);
                if (at + 8 <= body + size) {
                    track.size = {static_cast<std::int32_t>(Be32(b, at) >> 16),
                                  static_cast<std::int32_t>(Be32(b, at + 4) >> 16)};
                }
            } else if (Tag(b, type, "mdia")) {
                self(self, body, body + size);
            } else if (Tag(b, type, "hdlr") && size >= 12) {
                track.picture = Tag(b, body + 8, "vide");
                track.sound = Tag(b, body + 8, "soun");
            }
        });
    };
    visit(visit, begin, end);
    return track;
}

std::optional<MediaInfo> ReadIsoMedia(const Bytes& b) {
    std::optional<std::uint32_t> lengthMs;
    MediaInfo info;
    info.hasSound = false;
    const bool whole = EachBox(b, 0, b.size(), [&](std::size_t type, std::size_t body, std::size_t size) {
        if (!Tag(b, type, "moov")) {
            return;
        }
        EachBox(b, body, body + size, [&](std::size_t inner, std::size_t at, std::size_t length) {
            if (Tag(b, inner, "mvhd") && length >= 4) {
                // Version 1 has 64-bit times and length; a length that big is no test's.
                const bool wide = b[at] == 1;
                const std::size_t scaleAt = at + (wide ? 20 : 12);
                if (scaleAt + (wide ? 12 : 8) <= at + length && Be32(b, scaleAt) != 0) {
                    const std::uint64_t units = wide ? Be32(b, scaleAt + 8) : Be32(b, scaleAt + 4);
                    lengthMs = static_cast<std::uint32_t>(units * 1000 / Be32(b, scaleAt));
                }
            } else if (Tag(b, inner, "trak")) {
                const IsoTrack track = ReadIsoTrack(b, at, at + length);
                if (track.picture && info.picture.width == 0) {
                    info.picture = track.size;
                }
                info.hasSound = info.hasSound || track.sound;
            }
        });
    });
    if (!whole || !lengthMs) {
        return std::nullopt;
    }
    info.lengthMs = *lengthMs;
    return info;
}

// AAC in ADTS frames: each carries one to four blocks of 1024 samples.
std::optional<MediaInfo> ReadAdts(const Bytes& b) {
    static constexpr std::array<std::uint32_t, 13> kRates{96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                          22050, 16000, 12000, 11025, 8000,  7350};
    std::uint64_t samples = 0;
    std::uint32_t rate = 0;
    std::size_t at = 0;
    while (at + 7 <= b.size() && b[at] == 0xFF && (b[at + 1] & 0xF6) == 0xF0) {
        const std::size_t rateIndex = (b[at + 2] >> 2) & 0xF;
        const std::size_t length = (std::size_t{b[at + 3] & 3u} << 11) | (std::size_t{b[at + 4]} << 3) | (b[at + 5] >> 5);
        if (rateIndex >= kRates.size() || length < 7 || at + length > b.size()) {
            break;
        }
        rate = kRates[rateIndex];
        samples += 1024u * ((b[at + 6] & 3u) + 1);
        at += length;
    }
    if (at != b.size() || rate == 0) {
        return std::nullopt;
    }
    MediaInfo info;
    info.lengthMs = static_cast<std::uint32_t>(samples * 1000 / rate);
    return info;
}

}  // namespace

std::optional<MediaInfo> ReadMediaHeaders(const std::string& path) {
    const Bytes b = ReadAll(path);
    if (Tag(b, 0, "RIFF") && Tag(b, 8, "WAVE")) {
        return ReadWave(b);
    }
    if (Tag(b, 0, "RIFF") && Tag(b, 8, "AVI ")) {
        return ReadAvi(b);
    }
    if (IsoStart(b)) {
        return ReadIsoMedia(b);
    }
    if (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xF6) == 0xF0) {
        return ReadAdts(b);
    }
    return ReadMpegAudio(b);
}

std::optional<MediaInfo> MediaFileSetting(const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) {
        return std::nullopt;
    }
    const auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    const std::filesystem::path p(path);
    const auto& set = M().mediaFiles;
    for (const std::string& key : {lower(p.filename().string()), lower(p.extension().string())}) {
        if (const auto it = set.find(key); it != set.end()) {
            return it->second;
        }
    }
    return std::nullopt;
}

std::string RectText(const gfx::IntRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace sim
