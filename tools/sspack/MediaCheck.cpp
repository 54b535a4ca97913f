#include "tools/sspack/MediaCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

#include "common/Paths.h"
#include "platform/MovieHeader.h"

namespace sspack {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every kind is known by its first bytes.
constexpr std::size_t kHeadBytes = 64;

// The ASF header object's identifier, with which every WMA and WMV file begins.
constexpr std::array<std::uint8_t, 16> kAsfHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

std::optional<Bytes> Head(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    Bytes head(kHeadBytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

bool At(const Bytes& b, std::size_t at, std::string_view magic) {
    return b.size() >= at + magic.size() &&
           std::equal(magic.begin(), magic.end(), b.begin() + static_cast<long>(at),
                      [](char m, std::uint8_t c) { return static_cast<std::uint8_t>(m) == c; });
}

bool IsAsf(const Bytes& b) {
    return b.size() >= kAsfHeader.size() && std::equal(kAsfHeader.begin(), kAsfHeader.end(), b.begin());
}

// An MPEG audio frame header: the sync bits, a layer, a bit rate and a sampling rate that exist.
bool IsMpegAudioFrame(const Bytes& b) {
    return b.size() >= 4 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && ((b[1] >> 3) & 3) != 1 && ((b[1] >> 1) & 3) != 0 &&
           (b[2] >> 4) != 15 && ((b[2] >> 2) & 3) != 3;
}

// An ADTS frame header of AAC: the sync bits, layer 0 and a sampling rate that exists.
bool IsAdtsFrame(const Bytes& b) {
    return b.size() >= 7 && b[0] == 0xFF && (b[1] & 0xF6) == 0xF0 && ((b[2] >> 2) & 0xF) < 13;
}

// ISO base media (MP4, M4A) and QuickTime files are a chain of boxes, each a big-endian size and a
// type. QuickTime files need not begin with "ftyp": they may begin with the movie, its data or
// padding atoms.
bool IsIsoMedia(const Bytes& b) {
    for (const std::string_view type : {"ftyp", "moov", "mdat", "wide", "free", "skip", "pnot"}) {
        if (At(b, 4, type)) {
            return true;
        }
    }
    return false;
}

// The brands of an "ftyp" box that begins the file: the major brand and the compatible ones.
bool HasBrand(const Bytes& b, std::string_view brand) {
    if (!At(b, 4, "ftyp")) {
        return false;
    }
    const std::size_t size = (std::size_t{b[0]} << 24) | (std::size_t{b[1]} << 16) | (std::size_t{b[2]} << 8) | b[3];
    const std::size_t end = std::min(size, b.size());
    for (std::size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {  // the minor version is no brand
        if (At(b, at, brand)) {
            return true;
        }
    }
    return false;
}

const char* SoundKind(const Bytes& b) {
    if (At(b, 0, "RIFF") && At(b, 8, "WAVE")) {
        return "WAV";
    }
    if (At(b, 0, "ID3") || IsMpegAudioFrame(b)) {
        return "MP3";
    }
    if (At(b, 0, "MThd") || (At(b, 0, "RIFF") && At(b, 8, "RMID"))) {
        return "MIDI";
    }
    if (IsIsoMedia(b) && (HasBrand(b, "M4A ") || HasBrand(b, "M4B "))) {
        return "M4A";
    }
    if (IsAdtsFrame(b)) {
        return "AAC";
    }
    return IsAsf(b) ? "WMA" : nullptr;
}

const char* VideoKind(const Bytes& b) {
    using namespace std::string_view_literals;
    if (At(b, 0, "RIFF") && At(b, 8, "AVI ")) {
        return "AVI";
    }
    if (IsAsf(b)) {
        return "ASF";
    }
    if (IsIsoMedia(b)) {
        return At(b, 4, "ftyp") && !HasBrand(b, "qt  ") ? "MP4" : "MOV";
    }
    return At(b, 0, "\0\0\1\xBA"sv) || At(b, 0, "\0\0\1\xB3"sv) ? "MPEG" : nullptr;
}

bool IsIsoKind(std::string_view kind) { return kind == "MP4" || kind == "MOV"; }

// The extension a video of a kind goes by.
std::string ExtensionFor(std::string_view kind) {
    if (kind == "MPEG") {
        return ".mpg";
    }
    if (kind == "ASF") {
        return ".wmv";
    }
    return kind == "AVI" ? ".avi" : kind == "MOV" ? ".mov" : ".mp4";
}

}  // namespace

std::optional<std::string> SoundProblem(const std::string& path) {
    const auto head = Head(path);
    if (!head) {
        return "cannot be read";
    }
    if (SoundKind(*head) == nullptr) {
        return "not a sound the screen saver can play (it plays WAV, MP3, MIDI, WMA, M4A and AAC)";
    }
    return std::nullopt;
}

std::optional<std::string> VideoProblem(const std::string& path, const std::string& ext) {
    const auto head = Head(path);
    if (!head) {
        return "cannot be read";
    }
    const char* kind = VideoKind(*head);
    if (kind == nullptr) {
        return "not a video the screen saver can play (it plays AVI, ASF, WMV, MPEG, MP4 and MOV)";
    }
    // The extension chooses what plays the file: the AVI device reads only AVI, MP4 and MOV go to
    // the system's media services that read them, and the other extensions to the device that reads
    // ASF and MPEG.
    const std::string upper = core::UpperCase(ext);
    const std::string_view found(kind);
    const std::string an = found == "MP4" || found == "MPEG" || found == "AVI" || found == "ASF" ? "an " : "a ";
    if (upper == ".AVI" && found != "AVI") {
        return an + kind + " video under the extension " + ext + ", which plays only AVI videos: name it " +
               ExtensionFor(found);
    }
    const bool isoExtension = upper == ".MP4" || upper == ".M4V" || upper == ".MOV";
    if (isoExtension && !IsIsoKind(found)) {
        return an + kind + " video under the extension " + ext + ", which plays only MP4 and MOV videos: name it " +
               ExtensionFor(found);
    }
    if (!isoExtension && IsIsoKind(found)) {
        return an + kind + " video under the extension " + ext + ", which plays no MP4 or MOV videos: name it " +
               ExtensionFor(found);
    }
    return std::nullopt;
}

std::optional<std::string> MovieProblem(const std::string& path) {
    const auto head = Head(path);
    if (!head) {
        return "cannot be read";
    }
    if ((!At(*head, 0, "FWS") && !At(*head, 0, "CWS")) || !plat::ReadMovieHeader(path)) {
        return "not a Flash movie the screen saver can show (it reads movies that start with FWS or CWS)";
    }
    return std::nullopt;
}

}  // namespace sspack
