#include "gfx/decode/HeifGrid.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include <libheif/heif.h>

#include "gfx/decode/AreaReducer.h"
#include "gfx/decode/HeifItems.h"
#include "gfx/decode/HeifSamples.h"

namespace gfx {

namespace {

// A fraction as libheif's clean aperture arithmetic keeps it: the same operations in the same
// order round the same way, so that the crop here is the one its whole-picture decode makes.
struct Fraction {
    std::int64_t n = 0;
    std::int64_t d = 1;

    Fraction operator+(const Fraction& b) const {
        return d == b.d ? Fraction{n + b.n, d} : Fraction{n * b.d + b.n * d, d * b.d};
    }
    Fraction operator-(const Fraction& b) const {
        return d == b.d ? Fraction{n - b.n, d} : Fraction{n * b.d - b.n * d, d * b.d};
    }
    Fraction operator+(std::int64_t v) const { return {n + v * d, d}; }
    Fraction operator-(std::int64_t v) const { return {n - v * d, d}; }
    Fraction operator/(std::int64_t v) const { return {n, d * v}; }
    std::int64_t RoundDown() const { return n / d; }
    std::int64_t Round() const { return (n + d / 2) / d; }
};

std::uint32_t Be32(std::span<const std::uint8_t> p, std::size_t at) {
    return (std::uint32_t{p[at]} << 24) | (std::uint32_t{p[at + 1]} << 16) | (std::uint32_t{p[at + 2]} << 8) |
           p[at + 3];
}

// The picture as the grid's properties make it: its pixel (x, y) is the canvas pixel
// origin + x * across + y * down, and it is size wide and high.
struct View {
    std::int64_t ox = 0, oy = 0;
    int ax = 1, ay = 0;  // a step to the right in the picture, on the canvas
    int bx = 0, by = 1;  // a step down
    std::int64_t w = 0, h = 0;

    void Move(std::int64_t along, std::int64_t downward) {
        ox += along * ax + downward * bx;
        oy += along * ay + downward * by;
    }
    // As libheif turns a picture anticlockwise.
    void Rotate(int degrees) {
        if (degrees == 90) {
            Move(w - 1, 0);
            const int x = ax, y = ay;
            ax = bx, ay = by, bx = -x, by = -y;
            std::swap(w, h);
        } else if (degrees == 180) {
            Move(w - 1, h - 1);
            ax = -ax, ay = -ay, bx = -bx, by = -by;
        } else if (degrees == 270) {
            Move(0, h - 1);
            const int x = ax, y = ay;
            ax = -bx, ay = -by, bx = x, by = y;
            std::swap(w, h);
        }
    }
    void Mirror(bool leftToRight) {
        if (leftToRight) {
            Move(w - 1, 0);
            ax = -ax, ay = -ay;
        } else {
            Move(0, h - 1);
            bx = -bx, by = -by;
        }
    }
    // libheif's clean aperture: false when it leaves nothing.
    bool Crop(std::span<const std::uint8_t> clap) {
        if (clap.size() < 32) {
            return false;
        }
        std::uint32_t v[8];
        for (std::size_t i = 0; i < 8; ++i) {
            v[i] = Be32(clap, 4 * i);
        }
        const auto top = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
        if (v[0] > top || v[1] > top || v[2] > top || v[3] > top || v[5] > top || v[7] > top || v[1] == 0 ||
            v[3] == 0 || v[5] == 0 || v[7] == 0) {
            return false;
        }
        const Fraction width{v[0], v[1]};
        const Fraction height{v[2], v[3]};
        const Fraction across{static_cast<std::int32_t>(v[4]), static_cast<std::int32_t>(v[5])};
        const Fraction down{static_cast<std::int32_t>(v[6]), static_cast<std::int32_t>(v[7])};
        std::int64_t left = (across + Fraction{w - 1, 2} - (width - 1) / 2).RoundDown();
        std::int64_t right = (width - 1 + left).Round();
        std::int64_t topRow = (down + Fraction{h - 1, 2} - (height - 1) / 2).Round();
        std::int64_t bottom = (height - 1 + topRow).Round();
        left = std::max<std::int64_t>(left, 0);
        topRow = std::max<std::int64_t>(topRow, 0);
        right = std::min(right, w - 1);
        bottom = std::min(bottom, h - 1);
        if (left > right || topRow > bottom) {
            return false;
        }
        Move(left, topRow);
        w = right - left + 1;
        h = bottom - topRow + 1;
        return true;
    }

    IntRect OnCanvas() const {
        const std::int64_t x1 = ox + (w - 1) * ax + (h - 1) * bx;
        const std::int64_t y1 = oy + (w - 1) * ay + (h - 1) * by;
        return {static_cast<std::int32_t>(std::min(ox, x1)), static_cast<std::int32_t>(std::min(oy, y1)),
                static_cast<std::int32_t>(std::max(ox, x1) + 1), static_cast<std::int32_t>(std::max(oy, y1) + 1)};
    }
    // The orientation that puts the shown part of the canvas upright as this view sees it.
    TOrientation Orientation() const {
        struct Entry {
            int ax, ay, bx, by;
            TOrientation orientation;
        };
        static constexpr Entry kEntries[] = {
            {1, 0, 0, 1, TOrientation::TopLeft},      {-1, 0, 0, 1, TOrientation::TopRight},
            {-1, 0, 0, -1, TOrientation::BottomRight}, {1, 0, 0, -1, TOrientation::BottomLeft},
            {0, 1, 1, 0, TOrientation::LeftTop},      {0, -1, 1, 0, TOrientation::RightTop},
            {0, -1, -1, 0, TOrientation::RightBottom}, {0, 1, -1, 0, TOrientation::LeftBottom},
        };
        for (const Entry& e : kEntries) {
            if (e.ax == ax && e.ay == ay && e.bx == bx && e.by == by) {
                return e.orientation;
            }
        }
        return TOrientation::TopLeft;  // unreachable: the steps stay a turn or mirror of the canvas
    }
};

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

// The file as libheif's reader reads it, with the hidden flags of the tiles read as clear.
class UnhiddenFile {
public:
    UnhiddenFile(std::span<const std::uint8_t> bytes, const std::vector<std::size_t>& flags)
        : bytes_(bytes), flags_(flags) {
        reader_.reader_api_version = 1;
        reader_.get_position = [](void* self) { return static_cast<UnhiddenFile*>(self)->position_; };
        reader_.read = [](void* data, size_t size, void* self) {
            return static_cast<UnhiddenFile*>(self)->Read(static_cast<std::uint8_t*>(data), size);
        };
        reader_.seek = [](int64_t position, void* self) {
            auto* file = static_cast<UnhiddenFile*>(self);
            if (position < 0 || static_cast<std::uint64_t>(position) > file->bytes_.size()) {
                return 1;
            }
            file->position_ = position;
            return 0;
        };
        reader_.wait_for_file_size = [](int64_t size, void* self) {
            return size >= 0 && static_cast<std::uint64_t>(size) <= static_cast<UnhiddenFile*>(self)->bytes_.size()
                       ? heif_reader_grow_status_size_reached
                       : heif_reader_grow_status_size_beyond_eof;
        };
    }
    UnhiddenFile(const UnhiddenFile&) = delete;
    UnhiddenFile& operator=(const UnhiddenFile&) = delete;

    const heif_reader* Reader() const { return &reader_; }

private:
    int Read(std::uint8_t* data, std::size_t size) {
        const auto at = static_cast<std::size_t>(position_);
        if (size > bytes_.size() - at) {
            return 1;
        }
        std::memcpy(data, bytes_.data() + at, size);
        for (const std::size_t flag : flags_) {
            if (flag >= at && flag - at < size) {
                data[flag - at] &= 0xFE;
            }
        }
        position_ += static_cast<std::int64_t>(size);
        return 0;
    }

    std::span<const std::uint8_t> bytes_;
    const std::vector<std::size_t>& flags_;
    std::int64_t position_ = 0;
    heif_reader reader_{};
};

bool IsCodedImage(const std::string& type) { return type == "hvc1" || type == "av01"; }

// What a grid item says: its tiles and their places, and how the whole is shown.
struct GridLayout {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    IntSize canvas;
    std::vector<std::uint32_t> tiles;  // row by row
    View view;
};

std::optional<GridLayout> ReadLayout(const THeifItems& items, std::uint32_t id, std::string& why) {
    const auto data = items.Data(id, 12);
    if (!data || data->size() < 8 || (((*data)[1] & 1) != 0 && data->size() < 12)) {
        why = "its grid description is missing";
        return std::nullopt;
    }
    const std::vector<std::uint8_t>& d = *data;
    GridLayout layout;
    layout.rows = d[2] + 1;
    layout.columns = d[3] + 1;
    if ((d[1] & 1) != 0) {
        layout.canvas = {static_cast<std::int32_t>(std::min<std::uint32_t>(Be32(d, 4), 0x7FFFFFFF)),
                         static_cast<std::int32_t>(std::min<std::uint32_t>(Be32(d, 8), 0x7FFFFFFF))};
    } else {
        layout.canvas = {(d[4] << 8) | d[5], (d[6] << 8) | d[7]};
    }
    layout.tiles = items.References(id, "dimg");
    if (layout.tiles.size() != static_cast<std::size_t>(layout.rows) * static_cast<std::size_t>(layout.columns)) {
        why = "its grid has " + std::to_string(layout.rows * layout.columns) + " places but " +
              std::to_string(layout.tiles.size()) + " tiles";
        return std::nullopt;
    }
    for (const std::uint32_t tile : layout.tiles) {
        const THeifItems::Item* item = items.Find(tile);
        if (item == nullptr || !IsCodedImage(item->type)) {
            why = "its tile " + std::to_string(tile) + " is not a coded image";
            return std::nullopt;
        }
    }
    // The properties apply in their order, as libheif applies them to the whole picture.
    layout.view.w = layout.canvas.width;
    layout.view.h = layout.canvas.height;
    for (const THeifItems::Property& property : items.Properties(id)) {
        if (property.type == "irot" && !property.payload.empty()) {
            layout.view.Rotate((property.payload[0] & 3) * 90);
        } else if (property.type == "imir" && !property.payload.empty()) {
            layout.view.Mirror((property.payload[0] & 1) != 0);
        } else if (property.type == "clap" && !layout.view.Crop(property.payload)) {
            why = "its crop leaves nothing";
            return std::nullopt;
        }
    }
    return layout;
}

// The item that is `primary`'s alpha, as libheif finds it: an auxiliary image of an alpha type.
std::optional<std::uint32_t> AlphaOf(const THeifItems& items, std::uint32_t primary) {
    static constexpr std::string_view kAlphaTypes[] = {"urn:mpeg:avc:2015:auxid:1", "urn:mpeg:hevc:2015:auxid:1",
                                                       "urn:mpeg:mpegB:cicp:systems:auxiliary:alpha"};
    for (const std::uint32_t id : items.ReferencesTo(primary, "auxl")) {
        for (const THeifItems::Property& property : items.Properties(id)) {
            if (property.type != "auxC" || property.payload.size() < 4) {
                continue;
            }
            // A full box: the type follows version and flags, ended by a zero byte.
            const std::string_view text(reinterpret_cast<const char*>(property.payload.data()) + 4,
                                        property.payload.size() - 4);
            const std::string_view type = text.substr(0, text.find('\0'));
            for (const std::string_view alpha : kAlphaTypes) {
                if (type == alpha) {
                    return id;
                }
            }
        }
    }
    return std::nullopt;
}

struct Decoded {
    std::unique_ptr<heif_image, ImageFree> image;
    const std::uint8_t* plane = nullptr;
    int stride = 0;
    int bits = 0;   // of the luma, as the tile's configuration states
    IntSize stated;  // as its header states it
    IntSize coded;   // as decoded: as stated, or larger when the coder padded it
};

// One tile alone, as interleaved RGB (16-bit words when deep).
std::optional<Decoded> DecodeTile(heif_context* context, std::uint32_t id, const heif_decoding_options* options,
                                  std::string& why) {
    why = "tile " + std::to_string(id) + ": ";
    heif_image_handle* raw = nullptr;
    const heif_error got = heif_context_get_image_handle(context, id, &raw);
    const std::unique_ptr<heif_image_handle, HandleFree> tile(raw);
    if (got.code != heif_error_Ok || !tile) {
        why += HeifMessage(got);
        return std::nullopt;
    }
    Decoded decoded;
    decoded.stated = {heif_image_handle_get_width(tile.get()), heif_image_handle_get_height(tile.get())};
    decoded.bits = heif_image_handle_get_luma_bits_per_pixel(tile.get());
    heif_image* image = nullptr;
    const heif_error error =
        heif_decode_image(tile.get(), &image, heif_colorspace_RGB,
                          decoded.bits > 8 ? heif_chroma_interleaved_RRGGBB_LE : heif_chroma_interleaved_RGB, options);
    decoded.image.reset(image);
    if (error.code != heif_error_Ok || !decoded.image) {
        why += HeifMessage(error);
        return std::nullopt;
    }
    decoded.plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &decoded.stride);
    decoded.coded = {heif_image_get_width(image, heif_channel_interleaved),
                     heif_image_get_height(image, heif_channel_interleaved)};
    if (decoded.plane == nullptr || decoded.coded.width < decoded.stated.width ||
        decoded.coded.height < decoded.stated.height) {
        why += "its data is smaller than its header states";
        return std::nullopt;
    }
    return decoded;
}

// The colour tile's samples with the alpha tile's red as their fourth channel, interleaved as
// libheif gives RGBA: `bytes` a sample each (1 or 2).
std::vector<std::uint8_t> WithAlpha(const Decoded& colour, const Decoded& alpha, IntSize size, int bytes) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size.width) * size.height * 4 * bytes);
    std::uint8_t* out = rgba.data();
    for (std::int32_t y = 0; y < size.height; ++y) {
        const std::uint8_t* c = colour.plane + static_cast<std::ptrdiff_t>(y) * colour.stride;
        const std::uint8_t* a = alpha.plane + static_cast<std::ptrdiff_t>(y) * alpha.stride;
        for (std::int32_t x = 0; x < size.width; ++x, c += 3 * bytes, a += 3 * bytes, out += 4 * bytes) {
            std::memcpy(out, c, 3 * static_cast<std::size_t>(bytes));
            std::memcpy(out + 3 * bytes, a, static_cast<std::size_t>(bytes));
        }
    }
    return rgba;
}

}  // namespace

std::optional<THeifGrid> THeifGrid::Read(std::span<const std::uint8_t> file, std::uint32_t primary, IntSize upright,
                                         bool alpha, std::int64_t maxTilePixels, std::string& why) {
    const auto items = THeifItems::Read(file);
    const THeifItems::Item* item = items ? items->Find(primary) : nullptr;
    if (item == nullptr || item->type != "grid") {
        why = kNotTiled;
        return std::nullopt;
    }
    const auto layout = ReadLayout(*items, primary, why);
    if (!layout) {
        return std::nullopt;
    }
    if (layout->view.w != upright.width || layout->view.h != upright.height) {
        why = "its grid is not the size its header states";
        return std::nullopt;
    }
    THeifGrid grid;
    grid.file_ = file;
    grid.maxTilePixels_ = maxTilePixels;
    grid.rows_ = layout->rows;
    grid.columns_ = layout->columns;
    grid.canvas_ = layout->canvas;
    grid.tiles_ = layout->tiles;
    grid.crop_ = layout->view.OnCanvas();
    grid.orientation_ = layout->view.Orientation();
    if (alpha) {
        // libheif shows the alpha through its own properties: it must be laid out and shown as
        // the colours are for its tiles to go with theirs.
        const auto alphaItem = AlphaOf(*items, primary);
        const THeifItems::Item* found = alphaItem ? items->Find(*alphaItem) : nullptr;
        std::string alphaWhy;
        const auto alphaLayout =
            found != nullptr && found->type == "grid" ? ReadLayout(*items, *alphaItem, alphaWhy) : std::nullopt;
        if (!alphaLayout || alphaLayout->rows != grid.rows_ || alphaLayout->columns != grid.columns_ ||
            alphaLayout->canvas != grid.canvas_ || alphaLayout->view.OnCanvas() != grid.crop_ ||
            alphaLayout->view.Orientation() != grid.orientation_) {
            why = "its alpha is not in tiles like its colours";
            return std::nullopt;
        }
        grid.alphaTiles_ = alphaLayout->tiles;
    }
    for (const auto* tiles : {&grid.tiles_, &grid.alphaTiles_}) {
        for (const std::uint32_t id : *tiles) {
            const THeifItems::Item* tile = items->Find(id);
            if (tile != nullptr && tile->hidden) {
                grid.hiddenFlags_.push_back(tile->flagsAt);
            }
        }
    }
    return grid;
}

std::optional<TBitmap32> THeifGrid::Decode(IntSize reduced, const heif_image_handle* primary, bool iccProfile,
                                           int maxSide, std::string& why) const {
    if ((heif_image_handle_has_alpha_channel(primary) != 0) != !alphaTiles_.empty()) {
        why = "its alpha is not the one its grid was read with";
        return std::nullopt;
    }
    UnhiddenFile unhidden(file_, hiddenFlags_);
    const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    const std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!context || !options) {
        why = "out of memory";
        return std::nullopt;
    }
    heif_context_set_maximum_image_size_limit(context.get(), maxSide);
    const heif_error read = heif_context_read_from_reader(context.get(), unhidden.Reader(), &unhidden, nullptr);
    if (read.code != heif_error_Ok) {
        why = HeifMessage(read);
        return std::nullopt;
    }
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 0;

    // The reduction happens on the canvas as stored; the orientation turns the reduced picture.
    const IntSize stored = OrientedSize(reduced, orientation_);
    TAreaReducer reducer(crop_, stored);
    THeifConversion conversion;
    conversion.alpha = !alphaTiles_.empty();
    conversion.premultiplied = conversion.alpha && heif_image_handle_is_premultiplied_alpha(primary) != 0;
    int depth = 0;  // the tiles' bits, from the first one decoded
    std::int32_t y0 = 0;
    std::size_t index = 0;
    for (std::int32_t row = 0; row < rows_; ++row) {
        std::int32_t x0 = 0;
        std::int32_t rowHeight = 0;
        for (std::int32_t column = 0; column < columns_; ++column, ++index) {
            if (x0 >= canvas_.width || y0 >= canvas_.height) {
                why = "tile " + std::to_string(tiles_[index]) + ": the grid places it outside the picture";
                return std::nullopt;
            }
            // The tile's stated size places the next one; libheif reads it before decoding.
            heif_image_handle* raw = nullptr;
            const heif_error got = heif_context_get_image_handle(context.get(), tiles_[index], &raw);
            const std::unique_ptr<heif_image_handle, HandleFree> handle(raw);
            if (got.code != heif_error_Ok || !handle) {
                why = "tile " + std::to_string(tiles_[index]) + ": " + HeifMessage(got);
                return std::nullopt;
            }
            const IntSize size{heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get())};
            if (size.width <= 0 || size.height <= 0 || std::int64_t{size.width} * size.height > maxTilePixels_) {
                why = "tile " + std::to_string(tiles_[index]) + ": its size is out of bounds";
                return std::nullopt;
            }
            // libheif pastes each tile whole where the grid puts it and the next tile over it, so
            // that a tile coded larger than its stated size (padded) shows its padding only in the
            // last column and row, as far as the picture reaches.
            const IntPoint at{x0, y0};
            x0 += size.width;
            rowHeight = size.height;
            const IntRect reach =
                IntRect::FromSize(at.x, at.y, column + 1 == columns_ ? canvas_.width - at.x : size.width,
                                  row + 1 == rows_ ? canvas_.height - at.y : size.height);
            // A tile wholly cropped away is not decoded at all.
            if (reach.Intersect(crop_).IsEmpty()) {
                continue;
            }
            const auto colour = DecodeTile(context.get(), tiles_[index], options.get(), why);
            if (!colour) {
                return std::nullopt;
            }
            if (depth != 0 && colour->bits != depth) {
                why += "its samples are of another depth than the other tiles'";
                return std::nullopt;
            }
            IntSize shown{std::min(colour->coded.width, reach.Width()), std::min(colour->coded.height, reach.Height())};
            std::optional<Decoded> alpha;
            if (conversion.alpha) {
                alpha = DecodeTile(context.get(), alphaTiles_[index], options.get(), why);
                if (!alpha) {
                    return std::nullopt;
                }
                if (alpha->stated != colour->stated || alpha->bits != colour->bits) {
                    why += "it is not the size and depth of the colours' tile";
                    return std::nullopt;
                }
                shown = {std::min(shown.width, alpha->coded.width), std::min(shown.height, alpha->coded.height)};
            }
            const bool deep = colour->bits > 8;
            if (depth == 0) {
                depth = colour->bits;
                conversion.bits =
                    deep ? heif_image_get_bits_per_pixel_range(colour->image.get(), heif_channel_interleaved) : 8;
                if (conversion.bits < 1 || conversion.bits > 16) {
                    why += "libheif gave samples of " + std::to_string(conversion.bits) + " bits";
                    return std::nullopt;
                }
                if (!iccProfile) {
                    conversion.toneMap = HeifToneMap(primary, colour->image.get(), conversion.bits);
                }
            }
            TBitmap32 piece(shown.width, shown.height);
            if (alpha) {
                const int bytes = deep ? 2 : 1;
                const std::vector<std::uint8_t> rgba = WithAlpha(*colour, *alpha, shown, bytes);
                ConvertHeifPlane(rgba.data(), shown.width * 4 * bytes, conversion, deep, piece);
            } else {
                ConvertHeifPlane(colour->plane, colour->stride, conversion, deep, piece);
            }
            reducer.Add(at, piece);
        }
        y0 += rowHeight;
        reducer.RowsDone(y0);
    }
    TBitmap32 reducedStored = reducer.Take();
    if (orientation_ == TOrientation::TopLeft) {
        return reducedStored;
    }
    TOrientedRows upright(stored, orientation_);
    for (std::int32_t y = 0; y < stored.height; ++y) {
        upright.Put(0, y, reducedStored.Row(y), stored.width);
    }
    return upright.Take();
}

}  // namespace gfx
