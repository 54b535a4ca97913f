#include "tests/support/MediaEncoders.h"

#include <zlib.h>

#include <algorithm>
#include <string>

namespace testing_support {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes c;
    PutTag(c, tag);
    Put32(c, static_cast<std::uint32_t>(body.size()));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        c.push_back(0);
    }
    return c;
}

Bytes List(const char* outer, const char* type, const Bytes& body) {
    Bytes inner;
    PutTag(inner, type);
    inner.insert(inner.end(), body.begin(), body.end());
    return Chunk(outer, inner);
}

Bytes StreamHeader(const char* type, std::uint32_t scale, std::uint32_t rate, std::uint32_t length) {
    Bytes h;
    PutTag(h, type);
    Put32(h, 0);  // handler
    Put32(h, 0);  // flags
    Put32(h, 0);  // priority, language
    Put32(h, 0);  // initial frames
    Put32(h, scale);
    Put32(h, rate);
    Put32(h, 0);  // start
    Put32(h, length);
    Put32(h, 0);           // suggested buffer size
    Put32(h, 0xFFFFFFFF);  // quality
    Put32(h, 0);           // sample size
    Put32(h, 0);           // frame rectangle
    Put32(h, 0);
    return h;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

void PutBe32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// An ISO media box: its size and type before its body, all sizes big-endian.
Bytes Box(const char* type, const Bytes& body) {
    Bytes b;
    PutBe32(b, static_cast<std::uint32_t>(8 + body.size()));
    PutTag(b, type);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A version 0 full box header: version and flags, all zero.
Bytes FullBoxStart() { return Bytes(4, 0); }

Bytes IsoTrack(const char* handler, std::uint32_t ms, std::uint32_t width, std::uint32_t height) {
    Bytes tkhd = FullBoxStart();
    tkhd.resize(tkhd.size() + 16, 0);  // times, track, reserved
    PutBe32(tkhd, ms);
    tkhd.resize(tkhd.size() + 8 + 8 + 36, 0);  // reserved, layer, group, volume, matrix
    PutBe32(tkhd, width << 16);
    PutBe32(tkhd, height << 16);
    Bytes hdlr = FullBoxStart();
    PutBe32(hdlr, 0);
    PutTag(hdlr, handler);
    hdlr.resize(hdlr.size() + 13, 0);  // reserved and an empty name
    return Box("trak", Concat({Box("tkhd", tkhd), Box("mdia", Box("hdlr", hdlr))}));
}

// Bit fields from the most significant bit on, padded to a whole byte at the end.
class BitWriter {
public:
    void Put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i, ++used_) {
            if (used_ % 8 == 0) {
                bytes_.push_back(0);
            }
            bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (((value >> i) & 1u) << (7 - used_ % 8)));
        }
    }
    const Bytes& Data() const { return bytes_; }

private:
    Bytes bytes_;
    int used_ = 0;
};

// A tag's header: its code and a short length.
void PutShortTag(Bytes& b, std::uint16_t code, std::uint16_t length) {
    Put16(b, static_cast<std::uint16_t>(code << 6 | length));
}

}  // namespace

Bytes SilentWav(std::uint32_t ms) {
    Bytes fmt;
    Put16(fmt, 1);     // PCM
    Put16(fmt, 1);     // mono
    Put32(fmt, 8000);  // samples a second
    Put32(fmt, 8000);  // bytes a second
    Put16(fmt, 1);     // block align
    Put16(fmt, 8);     // bits
    const Bytes data(static_cast<std::size_t>(ms) * 8, 0x80);
    return List("RIFF", "WAVE", Concat({Chunk("fmt ", fmt), Chunk("data", data)}));
}

Bytes Mp3Frames(int frames) {
    Bytes b;
    for (int i = 0; i < frames; ++i) {
        // Sync, MPEG-1, Layer III, no CRC; 128 kbit/s, 44.1 kHz, no padding: 417 bytes.
        b.insert(b.end(), {0xFF, 0xFB, 0x90, 0x00});
        b.resize(b.size() + 413, 0);
    }
    return b;
}

Bytes MovieAvi(int width, int height, int frames, bool withSound) {
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    Bytes avih;
    Put32(avih, 100000);  // microseconds a frame
    Put32(avih, 0);
    Put32(avih, 0);
    Put32(avih, 0x10);  // has an index
    Put32(avih, static_cast<std::uint32_t>(frames));
    Put32(avih, 0);
    Put32(avih, withSound ? 2 : 1);
    Put32(avih, 0);
    Put32(avih, w);
    Put32(avih, h);
    avih.resize(avih.size() + 16, 0);
    Bytes bih;
    Put32(bih, 40);
    Put32(bih, w);
    Put32(bih, h);
    Put16(bih, 1);
    Put16(bih, 24);
    bih.resize(40, 0);
    Bytes streams = List("LIST", "strl", Concat({Chunk("strh", StreamHeader("vids", 1, 10, static_cast<std::uint32_t>(frames))),
                                                 Chunk("strf", bih)}));
    if (withSound) {
        Bytes wave;
        Put16(wave, 1);
        Put16(wave, 1);
        Put32(wave, 8000);
        Put32(wave, 8000);
        Put16(wave, 1);
        Put16(wave, 8);
        streams = Concat({streams, List("LIST", "strl", Concat({Chunk("strh", StreamHeader("auds", 1, 8000, 0)),
                                                               Chunk("strf", wave)}))});
    }
    const Bytes header = List("LIST", "hdrl", Concat({Chunk("avih", avih), streams}));
    const std::size_t frameBytes = ((w * 3 + 3) & ~3u) * h;
    Bytes movi;
    for (int i = 0; i < frames; ++i) {
        movi = Concat({movi, Chunk("00db", Bytes(frameBytes, static_cast<std::uint8_t>(i * 8)))});
    }
    return List("RIFF", "AVI ", Concat({header, List("LIST", "movi", movi)}));
}

Bytes IsoMedia(const IsoMediaFields& fields) {
    Bytes file;
    for (const char* type : fields.leading) {
        file = Concat({file, Box(type, Bytes(8, 0))});
    }
    if (fields.brand != nullptr) {
        Bytes ftyp;
        PutTag(ftyp, fields.brand);
        PutBe32(ftyp, 0);
        PutTag(ftyp, fields.brand);
        PutTag(ftyp, "isom");
        file = Concat({file, Box("ftyp", ftyp)});
    }
    Bytes mvhd = FullBoxStart();
    mvhd.resize(mvhd.size() + 8, 0);  // times
    PutBe32(mvhd, 1000);              // units a second
    PutBe32(mvhd, fields.ms);
    mvhd.resize(mvhd.size() + 80, 0);
    Bytes moov = Box("mvhd", mvhd);
    if (fields.width > 0) {
        moov = Concat({moov, IsoTrack("vide", fields.ms, static_cast<std::uint32_t>(fields.width),
                                      static_cast<std::uint32_t>(fields.height))});
    }
    if (fields.withSound) {
        moov = Concat({moov, IsoTrack("soun", fields.ms, 0, 0)});
    }
    return Concat({file, Box("moov", moov), Box("mdat", Bytes(64, 0))});
}

Bytes AdtsFrames(int frames) {
    Bytes b;
    constexpr std::uint32_t kLength = 64;
    for (int i = 0; i < frames; ++i) {
        // Sync, MPEG-4, no CRC; AAC LC, 44.1 kHz, two channels; the frame's length; one raw block.
        b.insert(b.end(), {0xFF, 0xF1, 0x50, static_cast<std::uint8_t>(0x80 | (kLength >> 11)),
                           static_cast<std::uint8_t>(kLength >> 3), static_cast<std::uint8_t>((kLength & 7) << 5 | 0x1F),
                           0xFC});
        b.resize(b.size() + kLength - 7, 0);
    }
    return b;
}

Bytes FlashMovie(const FlashMovieFields& fields) {
    const auto xMax = static_cast<std::uint32_t>(fields.width * 20 + fields.extraTwips);
    const auto yMax = static_cast<std::uint32_t>(fields.height * 20 + fields.extraTwips);
    int bits = 1;  // room for a sign bit, as the format's signed fields have
    while ((std::max(xMax, yMax) >> (bits - 1)) != 0) {
        ++bits;
    }
    BitWriter rect;
    rect.Put(static_cast<std::uint32_t>(bits), 5);
    for (const std::uint32_t v : {0u, xMax, 0u, yMax}) {
        rect.Put(v, bits);
    }
    Bytes body = rect.Data();
    Put16(body, fields.fps8_8);
    Put16(body, fields.frames);
    if (fields.background) {
        PutShortTag(body, 9, 3);
        body.push_back(static_cast<std::uint8_t>(*fields.background >> 16));
        body.push_back(static_cast<std::uint8_t>(*fields.background >> 8));
        body.push_back(static_cast<std::uint8_t>(*fields.background));
    }
    for (int i = 0; i < fields.frames; ++i) {
        PutShortTag(body, 1, 0);
    }
    PutShortTag(body, 0, 0);
    Bytes movie{static_cast<std::uint8_t>(fields.compressed ? 'C' : 'F'), 'W', 'S', 6};
    Put32(movie, static_cast<std::uint32_t>(8 + body.size()));
    if (fields.compressed) {
        uLongf size = compressBound(static_cast<uLong>(body.size()));
        Bytes packed(size);
        compress(packed.data(), &size, body.data(), static_cast<uLong>(body.size()));
        packed.resize(size);
        body = packed;
    }
    movie.insert(movie.end(), body.begin(), body.end());
    return movie;
}

}  // namespace testing_support
