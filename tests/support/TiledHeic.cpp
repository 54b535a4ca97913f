#include "tests/support/TiledHeic.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testing_support {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Check(heif_error error) {
    if (error.code != heif_error_Ok) {
        throw std::runtime_error(std::string("libheif: ") + error.message);
    }
}

// One tile as libheif writes it alone: its decoder configuration (the hvcC box, whole) and its
// coded data (the payload of the file's only mdat box).
struct CodedTile {
    Bytes hvcC;
    Bytes data;
};

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct ImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct EncoderDeleter {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};

heif_error WriteToBytes(heif_context*, const void* data, size_t size, void* userdata) {
    auto* out = static_cast<Bytes*>(userdata);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->assign(bytes, bytes + size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// The first box of type `type` anywhere in the file (boxes nest, so a plain scan of sizes along
// the containers libheif writes finds it): its offset and size.
std::pair<std::size_t, std::size_t> FindBox(const Bytes& file, std::string_view type, std::size_t from,
                                            std::size_t to) {
    static constexpr std::string_view kContainers[] = {"meta", "iprp", "ipco"};
    for (std::size_t at = from; at + 8 <= to;) {
        const std::size_t size = Be32(file, at);
        if (size < 8 || at + size > to) {
            break;
        }
        const std::string_view name(reinterpret_cast<const char*>(&file[at + 4]), 4);
        if (name == type) {
            return {at, size};
        }
        for (const auto container : kContainers) {
            if (name == container) {
                const std::size_t header = name == "meta" ? 12 : 8;  // meta is a full box
                const auto found = FindBox(file, type, at + header, at + size);
                if (found.second != 0) {
                    return found;
                }
            }
        }
        at += size;
    }
    return {0, 0};
}

// A tile's pixels, the picture's last column and row repeated where the tile reaches beyond it.
std::vector<gfx::Color32> TilePixels(const gfx::TBitmap32& bitmap, int left, int top, int tile) {
    std::vector<gfx::Color32> pixels;
    pixels.reserve(static_cast<std::size_t>(tile) * tile);
    for (int y = 0; y < tile; ++y) {
        const int sy = std::min(top + y, bitmap.Height() - 1);
        for (int x = 0; x < tile; ++x) {
            pixels.push_back(bitmap.Pixel(std::min(left + x, bitmap.Width() - 1), sy));
        }
    }
    return pixels;
}

CodedTile EncodeTile(const std::vector<gfx::Color32>& pixels, int tile, int quality) {
    heif_image* raw = nullptr;
    Check(heif_image_create(tile, tile, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &raw));
    std::unique_ptr<heif_image, ImageDeleter> image(raw);
    Check(heif_image_add_plane(raw, heif_channel_interleaved, tile, tile, 8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
    for (int y = 0; y < tile; ++y) {
        for (int x = 0; x < tile; ++x) {
            const gfx::Color32 c = pixels[static_cast<std::size_t>(y) * tile + x];
            std::uint8_t* p = plane + static_cast<std::ptrdiff_t>(y) * stride + x * 3;
            p[0] = gfx::RedOf(c);
            p[1] = gfx::GreenOf(c);
            p[2] = gfx::BlueOf(c);
        }
    }
    std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    Check(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder));
    std::unique_ptr<heif_encoder, EncoderDeleter> encoder(rawEncoder);
    Check(heif_encoder_set_lossy_quality(rawEncoder, quality));
    Check(heif_context_encode_image(context.get(), raw, rawEncoder, nullptr, nullptr));
    Bytes file;
    heif_writer writer{1, WriteToBytes};
    Check(heif_context_write(context.get(), &writer, &file));

    const auto [hvcAt, hvcSize] = FindBox(file, "hvcC", 0, file.size());
    const auto [mdatAt, mdatSize] = FindBox(file, "mdat", 0, file.size());
    if (hvcSize == 0 || mdatSize == 0) {
        throw std::runtime_error("libheif wrote a tile without hvcC or mdat");
    }
    return {Bytes(file.begin() + hvcAt, file.begin() + hvcAt + hvcSize),
            Bytes(file.begin() + mdatAt + 8, file.begin() + mdatAt + mdatSize)};
}

// Big-endian fields and boxes.
struct Writer {
    Bytes out;
    void U8(std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) { U8(v >> 8), U8(v); }
    void U32(std::uint32_t v) { U16(v >> 16), U16(v & 0xFFFF); }
    void Type(std::string_view t) { out.insert(out.end(), t.begin(), t.end()); }
    void Append(const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
    // Starts a box; End fills in its size.
    std::size_t Begin(std::string_view type, int version = -1, std::uint32_t flags = 0) {
        const std::size_t at = out.size();
        U32(0);
        Type(type);
        if (version >= 0) {
            U32((static_cast<std::uint32_t>(version) << 24) | flags);
        }
        return at;
    }
    void End(std::size_t at) {
        const auto size = static_cast<std::uint32_t>(out.size() - at);
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
        }
    }
};

void Ispe(Writer& w, int width, int height) {
    const auto box = w.Begin("ispe", 0);
    w.U32(static_cast<std::uint32_t>(width));
    w.U32(static_cast<std::uint32_t>(height));
    w.End(box);
}

}  // namespace

std::vector<std::uint8_t> EncodeTiledHeic(const gfx::TBitmap32& bitmap, int tile, int quality) {
    return EncodeTiledHeic(bitmap, tile, quality, {});
}

std::vector<std::uint8_t> EncodeTiledHeic(const gfx::TBitmap32& bitmap, int tile, int quality,
                                          const std::vector<TGridTransform>& transforms, bool alpha) {
    const int columns = (bitmap.Width() + tile - 1) / tile;
    const int rows = (bitmap.Height() + tile - 1) / tile;
    if (columns > 255 || rows > 255 || bitmap.Width() > 0xFFFF || bitmap.Height() > 0xFFFF) {
        throw std::runtime_error("too many tiles for a grid");
    }
    // Tiles of the same pixels are coded once and their items share the data, as a large picture
    // of few colours needs only a few codings. The alpha's tiles follow the colours'.
    std::vector<CodedTile> coded;
    std::vector<std::size_t> codedOf;
    std::map<std::vector<gfx::Color32>, std::size_t> known;
    auto code = [&](std::vector<gfx::Color32> pixels) {
        const auto [it, added] = known.try_emplace(std::move(pixels), coded.size());
        if (added) {
            coded.push_back(EncodeTile(it->first, tile, quality));
        }
        codedOf.push_back(it->second);
    };
    for (int pass = 0; pass < (alpha ? 2 : 1); ++pass) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                auto pixels = TilePixels(bitmap, c * tile, r * tile, tile);
                if (pass == 1) {
                    for (gfx::Color32& p : pixels) {
                        const std::uint8_t a = gfx::AlphaOf(p);
                        p = gfx::MakeColor32(a, a, a);
                    }
                }
                code(std::move(pixels));
            }
        }
    }
    auto tileData = [&](std::size_t i) -> const CodedTile& { return coded[codedOf[i]]; };
    const auto count = static_cast<std::uint32_t>(rows * columns);
    const auto tileItems = static_cast<std::uint32_t>(codedOf.size());
    // Item IDs: the grid, its tiles from 2 on; then the alpha's grid and its tiles.
    constexpr std::uint32_t kGrid = 1;
    const std::uint32_t alphaGrid = kGrid + count + 1;
    auto tileId = [&](std::uint32_t i) { return i < count ? kGrid + 1 + i : alphaGrid + 1 + (i - count); };
    const std::uint32_t items = tileItems + (alpha ? 2 : 1);
    // The grid's description: version, flags (16-bit sizes), rows and columns less one, the size.
    const Bytes grid = {0,
                        0,
                        static_cast<std::uint8_t>(rows - 1),
                        static_cast<std::uint8_t>(columns - 1),
                        static_cast<std::uint8_t>(bitmap.Width() >> 8),
                        static_cast<std::uint8_t>(bitmap.Width()),
                        static_cast<std::uint8_t>(bitmap.Height() >> 8),
                        static_cast<std::uint8_t>(bitmap.Height())};

    Writer w;
    auto box = w.Begin("ftyp");
    w.Type("heic"), w.U32(0), w.Type("mif1"), w.Type("heic");
    w.End(box);

    const auto meta = w.Begin("meta", 0);
    box = w.Begin("hdlr", 0);
    w.U32(0), w.Type("pict"), w.U32(0), w.U32(0), w.U32(0), w.U8(0);
    w.End(box);
    box = w.Begin("pitm", 0);
    w.U16(kGrid);
    w.End(box);

    // Every item one extent in mdat; the offsets are patched once mdat's place is known.
    box = w.Begin("iloc", 0);
    w.U8(0x44), w.U8(0x00);  // 4-byte offsets and lengths, no base offset
    w.U16(items);
    std::vector<std::size_t> gridFields;
    std::vector<std::size_t> tileFields;
    auto extent = [&](std::uint32_t id, std::size_t length, std::vector<std::size_t>& fields) {
        w.U16(id), w.U16(0), w.U16(1);
        fields.push_back(w.out.size());
        w.U32(0), w.U32(static_cast<std::uint32_t>(length));
    };
    extent(kGrid, grid.size(), gridFields);
    if (alpha) {
        extent(alphaGrid, grid.size(), gridFields);  // the same description
    }
    for (std::uint32_t i = 0; i < tileItems; ++i) {
        extent(tileId(i), tileData(i).data.size(), tileFields);
    }
    w.End(box);

    const auto iinf = w.Begin("iinf", 0);
    w.U16(items);
    auto infe = [&](std::uint32_t id, std::string_view type, bool hidden) {
        const auto entry = w.Begin("infe", 2, hidden ? 1 : 0);
        w.U16(id), w.U16(0), w.Type(type), w.U8(0);
        w.End(entry);
    };
    infe(kGrid, "grid", false);
    if (alpha) {
        infe(alphaGrid, "grid", true);
    }
    for (std::uint32_t i = 0; i < tileItems; ++i) {
        infe(tileId(i), "hvc1", true);
    }
    w.End(iinf);

    box = w.Begin("iref", 0);
    for (std::uint32_t g = 0; g < (alpha ? 2u : 1u); ++g) {
        const auto dimg = w.Begin("dimg");
        w.U16(g == 0 ? kGrid : alphaGrid), w.U16(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            w.U16(tileId(g * count + i));
        }
        w.End(dimg);
    }
    if (alpha) {
        const auto auxl = w.Begin("auxl");
        w.U16(alphaGrid), w.U16(1), w.U16(kGrid);
        w.End(auxl);
    }
    w.End(box);

    // Properties: 1 the grid's size, 2 a tile's size, 3 on each tile's decoder configuration, then
    // the grid's transformations, then the alpha's type.
    const auto iprp = w.Begin("iprp");
    const auto ipco = w.Begin("ipco");
    Ispe(w, bitmap.Width(), bitmap.Height());
    Ispe(w, tile, tile);
    for (std::uint32_t i = 0; i < tileItems; ++i) {
        w.Append(tileData(i).hvcC);
    }
    for (const TGridTransform& t : transforms) {
        const auto property = w.Begin(t.type);
        if (t.type == "clap") {
            w.U32(static_cast<std::uint32_t>(t.width)), w.U32(1);
            w.U32(static_cast<std::uint32_t>(t.height)), w.U32(1);
            w.U32(static_cast<std::uint32_t>(t.offsetX2)), w.U32(2);
            w.U32(static_cast<std::uint32_t>(t.offsetY2)), w.U32(2);
        } else {
            w.U8(static_cast<std::uint32_t>(t.value));
        }
        w.End(property);
    }
    const auto auxType = static_cast<std::uint32_t>(3 + tileItems + transforms.size());
    if (alpha) {
        const auto auxC = w.Begin("auxC", 0);
        const std::string_view urn = "urn:mpeg:hevc:2015:auxid:1";
        w.out.insert(w.out.end(), urn.begin(), urn.end());
        w.U8(0);
        w.End(auxC);
    }
    w.End(ipco);
    // 15-bit property indices: a large grid has more than 127 properties.
    box = w.Begin("ipma", 0, 1);
    w.U32(tileItems + (alpha ? 2 : 1));
    for (std::uint32_t g = 0; g < (alpha ? 2u : 1u); ++g) {
        w.U16(g == 0 ? kGrid : alphaGrid), w.U8(1 + static_cast<std::uint32_t>(transforms.size()) + g), w.U16(1);
        for (std::size_t i = 0; i < transforms.size(); ++i) {
            w.U16(0x8000 | (3 + tileItems + static_cast<std::uint32_t>(i)));  // transformations are essential
        }
        if (g == 1) {
            w.U16(0x8000 | auxType);
        }
    }
    for (std::uint32_t i = 0; i < tileItems; ++i) {
        w.U16(tileId(i)), w.U8(2), w.U16(0x8000 | (3 + i)), w.U16(2);
    }
    w.End(box);
    w.End(iprp);
    w.End(meta);

    const auto mdat = w.Begin("mdat");
    std::size_t at = w.out.size();
    auto patch = [&](std::size_t field, std::size_t offset) {
        for (int i = 0; i < 4; ++i) {
            w.out[field + i] = static_cast<std::uint8_t>(offset >> (24 - 8 * i));
        }
    };
    for (const std::size_t field : gridFields) {
        patch(field, at);
    }
    w.Append(grid);
    at += grid.size();
    std::vector<std::size_t> offsets;
    for (const CodedTile& t : coded) {
        offsets.push_back(at);
        w.Append(t.data);
        at += t.data.size();
    }
    for (std::uint32_t i = 0; i < tileItems; ++i) {
        patch(tileFields[i], offsets[codedOf[i]]);
    }
    w.End(mdat);
    return w.out;
}

}  // namespace testing_support
