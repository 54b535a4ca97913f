#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

// What libheif 1.15 does not tell of a HEIF file's items: the hidden ones (a grid's tiles), the
// references between items, an item's own bytes and its properties in their order. Read from the
// meta box alone; every offset and count is checked against the file, and anything malformed
// makes Read give nothing.
class THeifItems {
public:
    struct Item {
        std::uint32_t id = 0;
        std::string type;  // "hvc1", "av01", "grid" …
        bool hidden = false;
        std::size_t flagsAt = 0;  // the file offset of the byte that holds the hidden flag (bit 0)
    };
    struct Property {
        std::string type;                      // "irot", "imir", "clap", "auxC" …
        std::span<const std::uint8_t> payload;  // after the box header
    };

    static std::optional<THeifItems> Read(std::span<const std::uint8_t> file);

    const Item* Find(std::uint32_t id) const;
    // The items `from` refers to by references of `type` ("dimg", "auxl"), in the stored order.
    std::vector<std::uint32_t> References(std::uint32_t from, std::string_view type) const;
    // The items that refer to `to` by references of `type`.
    std::vector<std::uint32_t> ReferencesTo(std::uint32_t to, std::string_view type) const;
    // The item's data, its extents one after the other, at most `most` bytes of it; nothing when
    // it lies outside the file.
    std::optional<std::vector<std::uint8_t>> Data(std::uint32_t id, std::size_t most = SIZE_MAX) const;
    // The item's properties in the order of its associations, which is the order they apply in.
    std::vector<Property> Properties(std::uint32_t id) const;

    // Whether every grid and overlay the item is made of (itself included) describes a canvas of
    // at most `maxPixels`: libheif allocates each canvas at the size its description states,
    // whatever size the image's header gives.
    bool CanvasesWithin(std::uint32_t id, std::int64_t maxPixels) const;

private:
    struct Reference {
        std::string type;
        std::uint32_t from = 0;
        std::vector<std::uint32_t> to;
    };
    struct Extent {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };
    struct Location {
        std::uint32_t id = 0;
        int method = 0;  // 0 in the file, 1 in the idat box
        std::vector<Extent> extents;
    };
    struct Association {
        std::uint32_t id = 0;
        std::vector<std::uint16_t> indices;  // 1-based into the property container
    };

    class Parser;

    std::span<const std::uint8_t> file_;
    std::span<const std::uint8_t> idat_;
    std::vector<Item> items_;
    std::vector<Reference> references_;
    std::vector<Location> locations_;
    std::vector<Property> properties_;
    std::vector<Association> associations_;
};

}  // namespace gfx
