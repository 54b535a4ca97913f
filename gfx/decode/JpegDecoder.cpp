#include "gfx/decode/JpegDecoder.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "gfx/decode/ColorProfile.h"
#include "gfx/decode/ColorSpaces.h"
#include "gfx/decode/ConvertingRows.h"
#include "gfx/decode/Exif.h"
#include "gfx/decode/Limits.h"

namespace gfx {

namespace {

static_assert(std::endian::native == std::endian::little, "BGRA bytes must make 0xAARRGGBB pixels");

// A progressive picture with more scans than this is hostile: each scan revisits every block.
constexpr int kMaxScans = 500;
// Progressive pictures keep all their coefficients in memory; libjpeg gives up beyond this.
constexpr long kMaxCoefficientMemory = 256L << 20;
// EXIF travels in the first application marker.
constexpr int kExifMarker = JPEG_APP0 + 1;
// An ICC profile travels in the third, cut into pieces of one marker each.
constexpr int kIccMarker = JPEG_APP0 + 2;

struct ErrorJump {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it points to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

ErrorJump& Errors(j_common_ptr info) { return *reinterpret_cast<ErrorJump*>(info->err); }

[[noreturn]] void Fail(j_common_ptr info, const char* why) {
    std::snprintf(Errors(info).message, sizeof Errors(info).message, "%s", why);
    std::longjmp(Errors(info).jump, 1);
}

// libjpeg's fatal errors end the step with the library's own words for them.
[[noreturn]] void ErrorExit(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    Fail(info, text);
}

void Silent(j_common_ptr) {}

// libjpeg reports data that ends early as a warning and fills the rest with grey; a cut-off
// picture is refused instead. Other warnings (stray bytes and the like) are let pass.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        ErrorExit(info);
    }
}

void LimitScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        Fail(info, "more than 500 progressive scans");
    }
}

// One decompressor over the bytes. Every libjpeg call runs inside Run, so that its fatal errors
// come back as false with Message saying why; the steps given to Run hold nothing that needs
// destroying.
class Session {
public:
    Session() {
        info_.err = jpeg_std_error(&errors_.manager);
        errors_.manager.error_exit = ErrorExit;
        errors_.manager.output_message = Silent;
        errors_.manager.emit_message = OnMessage;
        progress_.progress_monitor = LimitScans;
    }
    ~Session() { jpeg_destroy_decompress(&info_); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    template <typename Step>
    bool Run(Step step) {
        if (setjmp(errors_.jump) != 0) {
            return false;
        }
        step(info_);
        return true;
    }

    // Creates the decompressor and reads the header, keeping the EXIF block for its orientation
    // and the pieces of an ICC profile.
    bool Start(std::span<const std::uint8_t> bytes) {
        return Run([&](jpeg_decompress_struct& d) {
            jpeg_create_decompress(&d);
            d.progress = &progress_;
            d.mem->max_memory_to_use = kMaxCoefficientMemory;
            jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
            jpeg_save_markers(&d, kExifMarker, 0xFFFF);
            jpeg_save_markers(&d, kIccMarker, 0xFFFF);
            jpeg_read_header(&d, TRUE);
        });
    }

    // The orientation of the first EXIF block among the header's markers.
    TOrientation Orientation() const {
        for (jpeg_saved_marker_ptr m = info_.marker_list; m != nullptr; m = m->next) {
            if (m->marker == kExifMarker) {
                const std::span<const std::uint8_t> block(m->data, m->data_length);
                if (block.size() >= 6 && std::memcmp(block.data(), "Exif\0", 6) == 0) {
                    return ExifOrientation(block);
                }
            }
        }
        return TOrientation::TopLeft;
    }

    // The ICC profile of the header's markers put together; empty without one, or when its pieces
    // do not make a whole (libjpeg only warns then) or there is no memory for it.
    std::vector<std::uint8_t> IccProfile() {
        JOCTET* data = nullptr;
        unsigned int length = 0;
        Run([&](jpeg_decompress_struct& d) { jpeg_read_icc_profile(&d, &data, &length); });
        const std::unique_ptr<JOCTET, decltype(&std::free)> owned(data, &std::free);
        try {
            return data != nullptr ? std::vector<std::uint8_t>(data, data + length) : std::vector<std::uint8_t>();
        } catch (const std::bad_alloc&) {
            return {};
        }
    }

    const jpeg_decompress_struct& Info() const { return info_; }
    const char* Message() const { return errors_.message; }

private:
    ErrorJump errors_{};
    jpeg_progress_mgr progress_{};
    jpeg_decompress_struct info_{};
};

// CMYK to RGB. Pictures with the Adobe marker store the inks inverted (255: no ink).
void CmykRow(const std::uint8_t* cmyk, Color32* out, std::int32_t width, bool inverted) {
    const std::uint8_t flip = inverted ? 255 : 0;
    for (std::int32_t x = 0; x < width; ++x, cmyk += 4) {
        out[x] = CmykColor(cmyk[0] ^ flip, cmyk[1] ^ flip, cmyk[2] ^ flip, cmyk[3] ^ flip);
    }
}

bool IsCmyk(const jpeg_decompress_struct& d) {
    return d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
}

// Grey and CMYK pictures have profiles of their own kinds, which do not describe the RGB rows
// they are decoded to.
bool IsRgb(const jpeg_decompress_struct& d) {
    return d.jpeg_color_space == JCS_YCbCr || d.jpeg_color_space == JCS_RGB;
}

// The size libjpeg gives a picture of `full` at M/8: each side rounded up.
IntSize ScaledSize(IntSize full, int eighths) {
    auto side = [eighths](std::int32_t n) {
        return static_cast<std::int32_t>((static_cast<std::int64_t>(n) * eighths + 7) / 8);
    };
    return {side(full.width), side(full.height)};
}

// The picture stretched to `drawn` exactly as the layout draws an opaque still into its rectangle,
// so that drawing the result there copies it pixel for pixel.
TBitmap32 StretchedAsDrawn(TBitmap32& picture, IntSize drawn) {
    TBitmap32 stretched(drawn.width, drawn.height);
    picture.SetDrawMode(DrawMode::Opaque);
    picture.DrawTo(stretched, stretched.BoundsRect());
    return stretched;
}

}  // namespace

bool TJpegDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    scaleNum_ = 0;
    drawn_ = {};
    toSrgb_ = nullptr;
    iccProfile_.clear();
    ClearFailure();
    stated_ = {};
    Session session;
    if (!session.Start(bytes)) {
        SetFailure(session.Message());
        return false;
    }
    orientation_ = session.Orientation();
    if (IsRgb(session.Info())) {
        iccProfile_ = session.IccProfile();
    }
    for (const int eighths : {8, 4, 2, 1}) {
        const bool ok = session.Run([eighths](jpeg_decompress_struct& d) {
            d.scale_num = static_cast<unsigned>(eighths);
            d.scale_denom = 8;
            jpeg_calc_output_dimensions(&d);
        });
        const auto& d = session.Info();
        if (!ok) {
            SetFailure(session.Message());
            return false;
        }
        if (eighths == 8) {
            stated_ = {static_cast<std::int32_t>(d.output_width), static_cast<std::int32_t>(d.output_height)};
            full_ = stated_;
        }
        if (PictureSizeAllowed(d.output_width, d.output_height)) {
            stored_ = {static_cast<std::int32_t>(d.output_width), static_cast<std::int32_t>(d.output_height)};
            size_ = OrientedSize(stored_, orientation_);
            scaleNum_ = eighths;
            return true;
        }
    }
    SetFailure(BeyondCap(session.Info().image_width, session.Info().image_height) + ", even at 1/8");
    return false;
}

bool TJpegDecoder::ConvertRowsWith(const TSrgbConversion& toSrgb) {
    toSrgb_ = &toSrgb;
    return true;
}

void TJpegDecoder::ReduceFor(IntSize drawn) {
    if (scaleNum_ == 0 || drawn.width <= 0 || drawn.height <= 0) {
        return;
    }
    drawn_ = drawn;
    if (size_.width <= 2 * static_cast<std::int64_t>(drawn.width) ||
        size_.height <= 2 * static_cast<std::int64_t>(drawn.height)) {
        return;
    }
    // The rows are stored unturned: a quarter turn swaps the sides they must cover.
    const IntSize cover = OrientedSize(drawn, orientation_);
    // libjpeg-turbo has vector code for 1/2, 1/4 and 1/8 and none for the other eighths, which
    // decode more slowly although to fewer pixels.
    for (const int eighths : {1, 2, 4}) {
        if (eighths >= scaleNum_) {
            return;
        }
        const IntSize scaled = ScaledSize(full_, eighths);
        if (scaled.width >= cover.width && scaled.height >= cover.height) {
            scaleNum_ = eighths;
            stored_ = scaled;
            return;
        }
    }
}

bool TJpegDecoder::LargerThanDrawn() const {
    const IntSize decoded = OrientedSize(stored_, orientation_);
    return drawn_.width > 0 && drawn_.height > 0 &&
           static_cast<std::int64_t>(drawn_.width) * drawn_.height <
           static_cast<std::int64_t>(decoded.width) * decoded.height;
}

std::optional<TPicture> TJpegDecoder::Frames() {
    if (scaleNum_ == 0) {
        return std::nullopt;
    }
    return Guarded([this]() -> std::optional<TPicture> {
        if (toSrgb_ == nullptr || !LargerThanDrawn()) {
            return Decode(toSrgb_);
        }
        // Converting a pixel costs more than stretching one: a picture that will be drawn smaller
        // is stretched first, as the layout would, and only the pixels drawn are converted.
        auto decoded = Decode(nullptr);
        if (!decoded) {
            return decoded;
        }
        TBitmap32 still = StretchedAsDrawn(decoded->frames[0].bitmap, drawn_);
        decoded.reset();  // the larger picture goes before the conversion runs
        toSrgb_->Convert(still);
        return StillPicture(std::move(still));
    });
}

std::optional<TPicture> TJpegDecoder::Decode(const TSrgbConversion* whileDecoding) {
    Session session;
    if (!session.Start(bytes_)) {
        SetFailure(session.Message());
        return std::nullopt;
    }
    const bool cmyk = IsCmyk(session.Info());
    const bool started = session.Run([&](jpeg_decompress_struct& d) {
        d.scale_num = static_cast<unsigned>(scaleNum_);
        d.scale_denom = 8;
        d.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;  // BGRA bytes are 0xAARRGGBB in memory
        jpeg_start_decompress(&d);
    });
    const auto& info = session.Info();
    if (!started || static_cast<std::int32_t>(info.output_width) != stored_.width ||
        static_cast<std::int32_t>(info.output_height) != stored_.height || info.output_components != 4) {
        SetFailure(started ? "the picture changed between reads" : session.Message());
        return std::nullopt;
    }
    TOrientedRows out(stored_, orientation_);
    // Rows go straight into the picture when they stay where they are; else through one row, or
    // through the slots of the conversion to sRGB, which stores them when converted.
    std::vector<Color32> pixels(static_cast<std::size_t>(stored_.width));
    std::vector<std::uint8_t> inks(cmyk ? pixels.size() * 4 : 0);
    std::optional<TConvertingRows> converting;
    if (whileDecoding != nullptr) {
        converting.emplace(*whileDecoding, stored_, [this, &out](std::int32_t y, const Color32* row) {
            out.Put(0, y, row, stored_.width);
        });
    }
    const bool inverted = info.saw_Adobe_marker != 0;
    const bool read = session.Run([&](jpeg_decompress_struct& d) {
        while (d.output_scanline < d.output_height) {
            const auto y = static_cast<std::int32_t>(d.output_scanline);
            Color32* inPlace = cmyk ? nullptr : out.RowInPlace(y);
            Color32* row = inPlace != nullptr ? inPlace : converting ? converting->Slot(y) : pixels.data();
            JSAMPROW target = cmyk ? inks.data() : reinterpret_cast<JSAMPROW>(row);
            if (jpeg_read_scanlines(&d, &target, 1) != 1) {
                break;
            }
            if (cmyk) {
                CmykRow(inks.data(), row, stored_.width, inverted);
            }
            if (converting) {
                converting->Done(y, row);
            } else if (inPlace == nullptr) {
                out.Put(0, y, row, stored_.width);
            }
        }
    });
    if (converting) {
        converting->Finish();
    }
    if (!read) {
        SetFailure(session.Message());
        return std::nullopt;
    }
    return StillPicture(out.Take());
}

}  // namespace gfx
