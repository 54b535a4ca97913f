#include "package/PackageLayout.h"

namespace pkg {

std::int32_t SegmentLength(const PackageHeader& h, Segment segment) {
    switch (segment) {
        case Segment::FlashPlayer: return h.FlashPlayerSize;
        case Segment::PreviewImage: return h.PreviewImageSize;
        case Segment::ConfigBanner: return h.BannerImageSize;
        case Segment::ExitBanner: return h.ExitBannerStoredSize;
        case Segment::Logo: return h.LogoStoredSize;
        case Segment::ItemTable: return h.ItemTableSize;
        case Segment::MaskTable: return h.MaskTableSize;
        case Segment::EntrySoundTable: return h.EntrySoundTableSize;
        case Segment::Background: return h.BackgroundStoredSize;
        case Segment::SoundTable: return h.SoundTableSize;
        case Segment::Strings: break;
    }
    return 0;
}

const char* SegmentLengthName(Segment segment) {
    switch (segment) {
        case Segment::FlashPlayer: return "FlashPlayerSize";
        case Segment::PreviewImage: return "PreviewImageSize";
        case Segment::ConfigBanner: return "BannerImageSize";
        case Segment::ExitBanner: return "ExitBannerStoredSize";
        case Segment::Logo: return "LogoStoredSize";
        case Segment::ItemTable: return "ItemTableSize";
        case Segment::MaskTable: return "MaskTableSize";
        case Segment::EntrySoundTable: return "EntrySoundTableSize";
        case Segment::Background: return "BackgroundStoredSize";
        case Segment::SoundTable: return "SoundTableSize";
        case Segment::Strings: break;
    }
    return "strings";
}

std::int64_t PackageStart(const PackageHeader& h) {
    return std::int64_t{h.FileSizeSlot} - std::int64_t{h.PackageSize};
}

std::int64_t SegmentStart(const PackageHeader& h, Segment segment) {
    std::int64_t position = PackageStart(h);
    for (int k = static_cast<int>(Segment::FlashPlayer); k < static_cast<int>(segment); ++k) {
        position += SegmentLength(h, static_cast<Segment>(k));
    }
    return position;
}

std::int64_t TrailerStart(const PackageHeader& h) {
    return std::int64_t{h.FileSizeSlot} - static_cast<std::int64_t>(kTrailerSize);
}

}  // namespace pkg
