#include "gfx/decode/HeifItems.h"

#include <algorithm>
#include <set>

namespace gfx {

namespace {

// Thrown by the cursor when a field runs past its box: the file is malformed.
struct Malformed {};

// Big-endian fields of one box's payload, every read checked against its end.
class Cursor {
public:
    Cursor(std::span<const std::uint8_t> file, std::size_t from, std::size_t to) : file_(file), at_(from), end_(to) {}

    std::size_t At() const { return at_; }
    std::size_t End() const { return end_; }
    bool Done() const { return at_ >= end_; }

    std::uint64_t Read(int bytes) {
        if (bytes < 0 || bytes > 8 || end_ - at_ < static_cast<std::size_t>(bytes)) {
            throw Malformed{};
        }
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = (value << 8) | file_[at_++];
        }
        return value;
    }
    std::uint32_t U8() { return static_cast<std::uint32_t>(Read(1)); }
    std::uint32_t U16() { return static_cast<std::uint32_t>(Read(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Read(4)); }
    std::string Type() {
        const std::uint32_t v = U32();
        return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                static_cast<char>(v)};
    }
    void Skip(std::size_t bytes) {
        if (end_ - at_ < bytes) {
            throw Malformed{};
        }
        at_ += bytes;
    }

private:
    std::span<const std::uint8_t> file_;
    std::size_t at_;
    std::size_t end_;
};

// One box: its type, where its payload begins and where the box ends.
struct Box {
    std::string type;
    std::size_t start = 0;
    std::size_t payload = 0;
    std::size_t end = 0;
};

// The box at the cursor, which moves past it.
Box NextBox(Cursor& c) {
    Box box;
    box.start = c.At();
    std::uint64_t size = c.U32();
    box.type = c.Type();
    if (size == 1) {
        size = c.Read(8);
    } else if (size == 0) {
        size = c.End() - box.start;
    }
    box.payload = c.At();
    if (size < box.payload - box.start || size > c.End() - box.start) {
        throw Malformed{};
    }
    box.end = box.start + static_cast<std::size_t>(size);
    c.Skip(box.end - c.At());
    return box;
}

// A full box's version; its flags go to `flags`.
int VersionAndFlags(Cursor& c, std::uint32_t* flags = nullptr) {
    const std::uint32_t word = c.U32();
    if (flags != nullptr) {
        *flags = word & 0xFFFFFF;
    }
    return static_cast<int>(word >> 24);
}

}  // namespace

class THeifItems::Parser {
public:
    Parser(THeifItems& items, std::span<const std::uint8_t> file) : items_(items), file_(file) {}

    void Meta(const Box& meta) {
        Cursor c(file_, meta.payload, meta.end);
        VersionAndFlags(c);
        while (!c.Done()) {
            const Box box = NextBox(c);
            if (box.type == "iinf") {
                Iinf(box);
            } else if (box.type == "iref") {
                Iref(box);
            } else if (box.type == "iloc") {
                Iloc(box);
            } else if (box.type == "iprp") {
                Iprp(box);
            } else if (box.type == "idat") {
                items_.idat_ = file_.subspan(box.payload, box.end - box.payload);
            }
        }
    }

private:
    void Iinf(const Box& iinf) {
        Cursor c(file_, iinf.payload, iinf.end);
        const int version = VersionAndFlags(c);
        c.Read(version == 0 ? 2 : 4);  // the entry count; the boxes themselves are counted
        while (!c.Done()) {
            const Box box = NextBox(c);
            if (box.type != "infe") {
                continue;
            }
            Cursor e(file_, box.payload, box.end);
            std::uint32_t flags = 0;
            const int entryVersion = VersionAndFlags(e, &flags);
            if (entryVersion < 2) {
                continue;  // older entries describe files, not images
            }
            Item item;
            item.flagsAt = box.payload + 3;
            item.hidden = (flags & 1) != 0;
            item.id = static_cast<std::uint32_t>(e.Read(entryVersion == 2 ? 2 : 4));
            e.U16();  // protection index
            item.type = e.Type();
            items_.items_.push_back(std::move(item));
        }
    }

    void Iref(const Box& iref) {
        Cursor c(file_, iref.payload, iref.end);
        const int idBytes = VersionAndFlags(c) == 0 ? 2 : 4;
        while (!c.Done()) {
            const Box box = NextBox(c);
            Cursor r(file_, box.payload, box.end);
            Reference reference;
            reference.type = box.type;
            reference.from = static_cast<std::uint32_t>(r.Read(idBytes));
            const std::uint32_t count = r.U16();
            for (std::uint32_t i = 0; i < count; ++i) {
                reference.to.push_back(static_cast<std::uint32_t>(r.Read(idBytes)));
            }
            items_.references_.push_back(std::move(reference));
        }
    }

    void Iloc(const Box& iloc) {
        Cursor c(file_, iloc.payload, iloc.end);
        const int version = VersionAndFlags(c);
        if (version > 2) {
            throw Malformed{};
        }
        const std::uint32_t sizes = c.U16();
        const int offsetSize = static_cast<int>(sizes >> 12);
        const int lengthSize = static_cast<int>((sizes >> 8) & 15);
        const int baseSize = static_cast<int>((sizes >> 4) & 15);
        const int indexSize = version >= 1 ? static_cast<int>(sizes & 15) : 0;
        const std::uint32_t count = version < 2 ? c.U16() : c.U32();
        for (std::uint32_t i = 0; i < count; ++i) {
            Location location;
            location.id = version < 2 ? c.U16() : c.U32();
            if (version >= 1) {
                location.method = static_cast<int>(c.U16() & 15);
            }
            c.U16();  // data reference index: the file itself
            const std::uint64_t base = c.Read(baseSize);
            const std::uint32_t extents = c.U16();
            for (std::uint32_t e = 0; e < extents; ++e) {
                c.Read(indexSize);
                Extent extent;
                extent.offset = base + c.Read(offsetSize);
                extent.length = c.Read(lengthSize);
                location.extents.push_back(extent);
            }
            items_.locations_.push_back(std::move(location));
        }
    }

    void Iprp(const Box& iprp) {
        Cursor c(file_, iprp.payload, iprp.end);
        while (!c.Done()) {
            const Box box = NextBox(c);
            if (box.type == "ipco") {
                Cursor p(file_, box.payload, box.end);
                while (!p.Done()) {
                    const Box property = NextBox(p);
                    items_.properties_.push_back(
                        {property.type, file_.subspan(property.payload, property.end - property.payload)});
                }
            } else if (box.type == "ipma") {
                Ipma(box);
            }
        }
    }

    void Ipma(const Box& ipma) {
        Cursor c(file_, ipma.payload, ipma.end);
        std::uint32_t flags = 0;
        const int version = VersionAndFlags(c, &flags);
        const std::uint32_t count = c.U32();
        for (std::uint32_t i = 0; i < count; ++i) {
            Association association;
            association.id = version < 1 ? c.U16() : c.U32();
            const std::uint32_t n = c.U8();
            for (std::uint32_t k = 0; k < n; ++k) {
                // The top bit says whether the property is essential; the rest is its index.
                const std::uint32_t index = (flags & 1) != 0 ? c.U16() & 0x7FFF : c.U8() & 0x7F;
                association.indices.push_back(static_cast<std::uint16_t>(index));
            }
            items_.associations_.push_back(std::move(association));
        }
    }

    THeifItems& items_;
    std::span<const std::uint8_t> file_;
};

std::optional<THeifItems> THeifItems::Read(std::span<const std::uint8_t> file) {
    THeifItems items;
    items.file_ = file;
    try {
        Cursor c(file, 0, file.size());
        Parser parser(items, file);
        while (!c.Done()) {
            const Box box = NextBox(c);
            if (box.type == "meta") {
                parser.Meta(box);
                return items;
            }
        }
    } catch (const Malformed&) {
    }
    return std::nullopt;
}

const THeifItems::Item* THeifItems::Find(std::uint32_t id) const {
    const auto it = std::find_if(items_.begin(), items_.end(), [id](const Item& item) { return item.id == id; });
    return it != items_.end() ? &*it : nullptr;
}

std::vector<std::uint32_t> THeifItems::References(std::uint32_t from, std::string_view type) const {
    for (const Reference& reference : references_) {
        if (reference.from == from && reference.type == type) {
            return reference.to;
        }
    }
    return {};
}

std::vector<std::uint32_t> THeifItems::ReferencesTo(std::uint32_t to, std::string_view type) const {
    std::vector<std::uint32_t> from;
    for (const Reference& reference : references_) {
        if (reference.type == type && std::find(reference.to.begin(), reference.to.end(), to) != reference.to.end()) {
            from.push_back(reference.from);
        }
    }
    return from;
}

std::optional<std::vector<std::uint8_t>> THeifItems::Data(std::uint32_t id, std::size_t most) const {
    const auto it =
        std::find_if(locations_.begin(), locations_.end(), [id](const Location& l) { return l.id == id; });
    if (it == locations_.end() || it->method > 1) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> source = it->method == 0 ? file_ : idat_;
    std::vector<std::uint8_t> data;
    for (const Extent& extent : it->extents) {
        // A length of 0 is "to the end".
        const std::uint64_t length = extent.length == 0 && extent.offset <= source.size()
                                         ? source.size() - extent.offset
                                         : extent.length;
        if (extent.offset > source.size() || length > source.size() - extent.offset) {
            return std::nullopt;
        }
        const auto from = source.begin() + static_cast<std::ptrdiff_t>(extent.offset);
        const std::uint64_t taken = std::min<std::uint64_t>(length, most - data.size());
        data.insert(data.end(), from, from + static_cast<std::ptrdiff_t>(taken));
        if (data.size() == most) {
            break;
        }
    }
    return data;
}

bool THeifItems::CanvasesWithin(std::uint32_t id, std::int64_t maxPixels) const {
    // Each item once: a hostile file may refer to one overlay from every tile, or in a circle.
    std::set<std::uint32_t> seen;
    std::vector<std::uint32_t> pending{id};
    while (!pending.empty()) {
        const std::uint32_t next = pending.back();
        pending.pop_back();
        const Item* item = Find(next);
        if (item == nullptr || !seen.insert(next).second) {
            continue;
        }
        const bool grid = item->type == "grid";
        if (!grid && item->type != "iovl" && item->type != "iden") {
            continue;
        }
        if (grid || item->type == "iovl") {
            // Version, flags (bit 0: 32-bit sizes), then for a grid its rows and columns, for an
            // overlay its canvas colour, and then the canvas's width and height.
            const std::size_t at = grid ? 4 : 10;
            const auto data = Data(next, at + 8);
            if (data && data->size() >= 2) {
                const int field = ((*data)[1] & 1) != 0 ? 4 : 2;
                if (data->size() >= at + 2 * static_cast<std::size_t>(field)) {
                    std::uint64_t w = 0;
                    std::uint64_t h = 0;
                    for (int i = 0; i < field; ++i) {
                        w = (w << 8) | (*data)[at + static_cast<std::size_t>(i)];
                        h = (h << 8) | (*data)[at + static_cast<std::size_t>(field + i)];
                    }
                    if (w * h > static_cast<std::uint64_t>(maxPixels)) {
                        return false;
                    }
                }
            }
        }
        const std::vector<std::uint32_t> parts = References(next, "dimg");
        pending.insert(pending.end(), parts.begin(), parts.end());
    }
    return true;
}

std::vector<THeifItems::Property> THeifItems::Properties(std::uint32_t id) const {
    std::vector<Property> found;
    for (const Association& association : associations_) {
        if (association.id != id) {
            continue;
        }
        for (const std::uint16_t index : association.indices) {
            if (index >= 1 && index <= properties_.size()) {
                found.push_back(properties_[index - 1u]);
            }
        }
    }
    return found;
}

}  // namespace gfx
