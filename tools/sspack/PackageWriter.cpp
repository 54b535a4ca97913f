#include "tools/sspack/PackageWriter.h"

#include <algorithm>
#include <limits>

#include "package/ByteIo.h"
#include "package/PackageCodec.h"
#include "package/PackageLayout.h"
#include "tools/sspack/Deflate.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/NameResource.h"

namespace sspack {

namespace {

constexpr std::int64_t kMaxFileSize = std::numeric_limits<std::int32_t>::max();

// A piece as it goes into the file: the bytes as stored, the length as a file, and the length of
// the zlib stream when it is compressed (0 when stored as is).
struct Blob {
    std::vector<std::uint8_t> stored;
    std::int32_t size = 0;
    std::int32_t storedSize = 0;
};

std::int32_t Length32(std::size_t n, const std::string& what) {
    if (n > static_cast<std::size_t>(kMaxFileSize)) {
        throw BuildError(what + " is larger than 2 GiB");
    }
    return static_cast<std::int32_t>(n);
}

// The progress and the cancellation of a build, piece by piece; a package built without a file has
// neither.
class Steps {
public:
    Steps() = default;
    Steps(const BuildOptions& options, std::size_t total) : options_(&options), total_(total) {}

    // Before a step: a cancelled build stops here.
    void Begin() const {
        if (options_ != nullptr && options_->cancel.stop_requested()) {
            throw BuildCancelled("the build was cancelled");
        }
    }
    void End() {
        ++done_;
        if (options_ != nullptr && options_->progress) {
            options_->progress(done_, total_);
        }
    }

private:
    const BuildOptions* options_ = nullptr;
    std::size_t total_ = 0;
    std::size_t done_ = 0;
};

// The background, the logo and the exit banner are always inflated by the runtime; a piece of a
// table is stored as is when its zlib stream would not be smaller.
enum class Compression { Never, Always, WhenSmaller };

Blob Pack(const std::string& file, Compression compression, Steps& steps) {
    Blob blob;
    if (file.empty()) {
        return blob;
    }
    steps.Begin();
    try {
        blob.stored = ReadFileBytes(file);
    } catch (const FileIoError& e) {
        throw BuildError(e.what());
    }
    blob.size = Length32(blob.stored.size(), file);
    if (compression != Compression::Never) {
        auto deflated = Deflate(blob.stored);
        if (compression == Compression::Always || deflated.size() < blob.stored.size()) {
            blob.stored = std::move(deflated);
            blob.storedSize = Length32(blob.stored.size(), file);
        }
    }
    steps.End();
    return blob;
}

// Everything the package holds before its bytes are laid out.
struct Contents {
    pkg::Package package;
    Blob flashPlayer, previewImage, configBanner, exitBanner, logo, background;
    std::vector<Blob> items, masks, entrySounds, music;
};

template <typename Record>
std::vector<Blob> PackTable(const std::vector<TableEntry<Record>>& entries, std::vector<Record>& records,
                            Steps& steps) {
    std::vector<Blob> blobs;
    for (const auto& e : entries) {
        blobs.push_back(Pack(e.file, e.compress ? Compression::WhenSmaller : Compression::Never, steps));
        records.push_back(e.record);
    }
    return blobs;
}

// Every file the manifest names is one step, counted by BuildSteps.
Contents Load(const Manifest& m, Steps& steps) {
    Contents c;
    c.package.header = m.header;
    c.package.strings = m.strings;
    c.flashPlayer = Pack(m.flashPlayer, Compression::Never, steps);
    c.previewImage = Pack(m.previewImage, Compression::Never, steps);
    c.configBanner = Pack(m.configBanner, Compression::Never, steps);
    c.exitBanner = Pack(m.exitBanner, Compression::Always, steps);
    c.logo = Pack(m.logo, Compression::Always, steps);
    c.background = Pack(m.background, Compression::Always, steps);
    c.items = PackTable(m.items, c.package.items, steps);
    c.masks = PackTable(m.masks, c.package.masks, steps);
    c.entrySounds = PackTable(m.entrySounds, c.package.entrySounds, steps);
    c.music = PackTable(m.music, c.package.sounds, steps);
    return c;
}

template <typename Record>
std::size_t NamedFiles(const std::vector<TableEntry<Record>>& entries) {
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const auto& e) { return !e.file.empty(); }));
}

std::int32_t TableLength(std::size_t count, std::size_t recordSize) {
    return Length32(count * recordSize, "a table");
}

// The header's counts and segment lengths, from the pieces as they were packed.
void SetLengths(Contents& c) {
    pkg::PackageHeader& h = c.package.header;
    h.FlashPlayerSize = c.flashPlayer.size;
    h.PreviewImageSize = c.previewImage.size;
    h.BannerImageSize = c.configBanner.size;
    h.ExitBannerStoredSize = c.exitBanner.storedSize;
    h.ExitBannerSize = c.exitBanner.size;
    h.LogoStoredSize = c.logo.storedSize;
    h.LogoSize = c.logo.size;
    h.BackgroundStoredSize = c.background.storedSize;
    h.BackgroundSize = c.background.size;
    h.ItemCount = static_cast<std::int32_t>(c.items.size());
    h.ItemTableSize = TableLength(c.items.size(), pkg::kItemRecordSize);
    h.MaskCount = static_cast<std::int32_t>(c.masks.size());
    h.MaskTableSize = TableLength(c.masks.size(), pkg::kMaskRecordSize);
    h.EntrySoundCount = static_cast<std::int32_t>(c.entrySounds.size());
    h.EntrySoundTableSize = TableLength(c.entrySounds.size(), pkg::kEntrySoundRecordSize);
    h.SoundCount = static_cast<std::int32_t>(c.music.size());
    h.SoundTableSize = TableLength(c.music.size(), pkg::kSoundRecordSize);
}

Blob* FindBlob(Contents& c, const Overrides::PieceRef& ref) {
    const auto& [name, index] = ref;
    std::vector<Blob>* table = name == "items"         ? &c.items
                               : name == "masks"       ? &c.masks
                               : name == "entrySounds" ? &c.entrySounds
                               : name == "music"       ? &c.music
                                                       : nullptr;
    if (table != nullptr) {
        return index < table->size() ? &(*table)[index] : nullptr;
    }
    const std::pair<const char*, Blob*> fixed[] = {
        {"background", &c.background},     {"logo", &c.logo},
        {"exitBanner", &c.exitBanner},     {"previewImage", &c.previewImage},
        {"configBanner", &c.configBanner}, {"flashPlayer", &c.flashPlayer},
    };
    for (const auto& [key, blob] : fixed) {
        if (name == key) {
            return blob;
        }
    }
    return nullptr;
}

// Changes only the stored bytes; the sizes the header and records declare stay as packed.
void EditBlobs(const Overrides& o, Contents& c) {
    for (const auto& [ref, keep] : o.truncateBlob) {
        if (Blob* blob = FindBlob(c, ref); blob != nullptr && keep < blob->stored.size()) {
            blob->stored.resize(keep);
        }
    }
    for (const auto& [ref, extra] : o.appendToBlob) {
        if (Blob* blob = FindBlob(c, ref)) {
            blob->stored.insert(blob->stored.end(), extra, 0);
        }
    }
}

std::vector<std::uint8_t> EncodeStrings(const pkg::PackageStrings& strings,
                                        const std::map<std::size_t, std::uint16_t>& lengths) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < pkg::kStringCount; ++i) {
        const std::string& s = strings.values[i];
        const auto forced = lengths.find(i + 1);
        const auto length = forced != lengths.end() ? forced->second : static_cast<std::uint16_t>(s.size());
        out.push_back(static_cast<std::uint8_t>(length & 0xFF));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.insert(out.end(), s.begin(), s.end());
    }
    return out;
}

// Where a segment starts, counted from the package's start, by the header's lengths: the place
// the reader will look, which overrides of the lengths may move away from where the bytes are.
std::int64_t RelativeStart(pkg::PackageHeader h, pkg::Segment segment) {
    h.PackageSize = 0;
    h.FileSizeSlot = 0;
    return pkg::SegmentStart(h, segment);
}

template <typename Record>
void PlaceBlobs(std::vector<Blob>& blobs, std::vector<Record>& records, std::int64_t& at, std::int64_t origin) {
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        records[i].BlobOffset = static_cast<std::int32_t>(at - origin);
        records[i].BlobSize = blobs[i].size;
        records[i].BlobStoredSize = blobs[i].storedSize;
        at += static_cast<std::int64_t>(blobs[i].stored.size());
    }
}

std::int64_t StoredLength(const std::vector<Blob>& blobs) {
    std::int64_t n = 0;
    for (const auto& b : blobs) {
        n += static_cast<std::int64_t>(b.stored.size());
    }
    return n;
}

void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

template <typename Record, typename Encode>
void AppendTable(std::vector<std::uint8_t>& out, const std::vector<Record>& records, std::size_t size, Encode encode) {
    for (const auto& r : records) {
        const std::size_t at = out.size();
        out.resize(at + size);
        encode(r, out.data() + at);
    }
}

void AppendBlobs(std::vector<std::uint8_t>& out, const std::vector<Blob>& blobs) {
    for (const auto& b : blobs) {
        Append(out, b.stored);
    }
}

// Appends the package to `out`, which holds the runtime or nothing, so that a large saver is not
// held in memory twice.
void AppendPackage(const Manifest& manifest, std::int64_t runtimeSize, std::vector<std::uint8_t>& out,
                   Steps& steps) {
    Contents c = Load(manifest, steps);
    pkg::Package& p = c.package;
    SetLengths(c);
    EditBlobs(manifest.overrides, c);
    const auto strings = EncodeStrings(p.strings, manifest.overrides.stringLengths);

    // Segments 1 to 10 and the strings, as they lie in the file.
    const std::int64_t blobsStart =
        static_cast<std::int64_t>(c.flashPlayer.stored.size() + c.previewImage.stored.size() +
                                  c.configBanner.stored.size() + c.exitBanner.stored.size() + c.logo.stored.size() +
                                  c.background.stored.size() + strings.size()) +
        p.header.ItemTableSize + p.header.MaskTableSize + p.header.EntrySoundTableSize + p.header.SoundTableSize;
    const std::int64_t packageSize = blobsStart + StoredLength(c.items) + StoredLength(c.masks) +
                                     StoredLength(c.entrySounds) + StoredLength(c.music) +
                                     static_cast<std::int64_t>(pkg::kTrailerSize);
    if (runtimeSize + packageSize > kMaxFileSize) {
        throw BuildError("the built saver would be larger than 2 GiB");
    }

    std::int64_t at = blobsStart;
    PlaceBlobs(c.items, p.items, at, 0);
    PlaceBlobs(c.masks, p.masks, at, 0);
    PlaceBlobs(c.entrySounds, p.entrySounds, at, 0);
    // The runtime finds music relative to the sound table, not to the package's start.
    PlaceBlobs(c.music, p.sounds, at, RelativeStart(p.header, pkg::Segment::SoundTable));
    p.header.PackageSize = static_cast<std::int32_t>(packageSize);
    p.header.FileSizeSlot = static_cast<std::int32_t>(runtimeSize + packageSize);

    ApplyFieldOverrides(manifest.overrides, p);

    out.reserve(out.size() + static_cast<std::size_t>(packageSize));
    Append(out, c.flashPlayer.stored);
    Append(out, c.previewImage.stored);
    Append(out, c.configBanner.stored);
    Append(out, c.exitBanner.stored);
    Append(out, c.logo.stored);
    AppendTable(out, p.items, pkg::kItemRecordSize, pkg::EncodeItem);
    AppendTable(out, p.masks, pkg::kMaskRecordSize, pkg::EncodeMask);
    AppendTable(out, p.entrySounds, pkg::kEntrySoundRecordSize, pkg::EncodeEntrySound);
    Append(out, c.background.stored);
    AppendTable(out, p.sounds, pkg::kSoundRecordSize, pkg::EncodeItem);
    Append(out, strings);
    AppendBlobs(out, c.items);
    AppendBlobs(out, c.masks);
    AppendBlobs(out, c.entrySounds);
    AppendBlobs(out, c.music);

    const std::size_t header = out.size();
    out.resize(header + pkg::kHeaderSize);
    pkg::EncodeHeader(p.header, out.data() + header);
    const std::string magic = manifest.overrides.magic.value_or(std::string(pkg::kMagic));
    out.insert(out.end(), magic.begin(), magic.end());
}

}  // namespace

std::vector<std::uint8_t> BuildPackage(const Manifest& manifest, std::int64_t runtimeSize) {
    std::vector<std::uint8_t> package;
    Steps steps;
    AppendPackage(manifest, runtimeSize, package, steps);
    return package;
}

std::size_t BuildSteps(const Manifest& m) {
    std::size_t n = 0;
    for (const std::string* file : {&m.flashPlayer, &m.previewImage, &m.configBanner, &m.exitBanner, &m.logo,
                                    &m.background}) {
        n += file->empty() ? 0 : 1;
    }
    return n + NamedFiles(m.items) + NamedFiles(m.masks) + NamedFiles(m.entrySounds) + NamedFiles(m.music) + 1;
}

BuildResult BuildPackageFile(const Manifest& manifest, std::span<const std::uint8_t> runtime,
                             const std::string& outputPath, const BuildOptions& options) {
    std::vector<std::uint8_t> bytes(runtime.begin(), runtime.end());
    BuildResult result;
    if (options.patchNameResource) {
        result.namePatched = PatchNameResource(bytes, manifest.strings[pkg::PackageString::SaverName]);
    }
    Steps steps(options, BuildSteps(manifest));
    AppendPackage(manifest, static_cast<std::int64_t>(bytes.size()), bytes, steps);
    steps.Begin();
    try {
        WriteFileAtomically(outputPath, bytes);
    } catch (const FileIoError& e) {
        throw BuildError(e.what());
    }
    steps.End();
    result.fileSize = static_cast<std::int64_t>(bytes.size());
    return result;
}

}  // namespace sspack
