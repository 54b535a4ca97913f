#include "gfx/decode/JpegDecoder.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "gfx/decode/Limits.h"

namespace gfx {

namespace {

static_assert(std::endian::native == std::endian::little, "BGRA bytes must make 0xAARRGGBB pixels");

// A progressive picture with more scans than this is hostile: each scan revisits every block.
constexpr int kMaxScans = 500;
// Progressive pictures keep all their coefficients in memory; libjpeg gives up beyond this.
constexpr long kMaxCoefficientMemory = 256L << 20;

struct ErrorJump {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it points to the whole
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }

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
        ErrorExit(info);
    }
}

// One decompressor over the bytes. Every libjpeg call runs inside Run, so that its fatal errors
// come back as false; the steps given to Run hold nothing that needs destroying.
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

    // Creates the decompressor and reads the header.
    bool Start(std::span<const std::uint8_t> bytes) {
        return Run([&](jpeg_decompress_struct& d) {
            jpeg_create_decompress(&d);
            d.progress = &progress_;
            d.mem->max_memory_to_use = kMaxCoefficientMemory;
            jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
            jpeg_read_header(&d, TRUE);
        });
    }

    const jpeg_decompress_struct& Info() const { return info_; }

private:
    ErrorJump errors_{};
    jpeg_progress_mgr progress_{};
    jpeg_decompress_struct info_{};
};

std::uint8_t Product(std::uint32_t a, std::uint32_t b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// CMYK to RGB. Pictures with the Adobe marker store the inks inverted (255: no ink).
void CmykRow(const std::uint8_t* cmyk, Color32* out, std::int32_t width, bool inverted) {
    for (std::int32_t x = 0; x < width; ++x, cmyk += 4) {
        const std::uint8_t flip = inverted ? 0 : 255;
        const std::uint32_t c = cmyk[0] ^ flip, m = cmyk[1] ^ flip, y = cmyk[2] ^ flip, k = cmyk[3] ^ flip;
        out[x] = MakeColor32(Product(c, k), Product(m, k), Product(y, k));
    }
}

bool IsCmyk(const jpeg_decompress_struct& d) {
    return d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
}

}  // namespace

bool TJpegDecoder::Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    scaleDenom_ = 0;
    stated_ = {};
    Session session;
    if (!session.Start(bytes)) {
        return false;
    }
    for (const unsigned denom : {1u, 2u, 4u, 8u}) {
        const bool ok = session.Run([denom](jpeg_decompress_struct& d) {
            d.scale_num = 1;
            d.scale_denom = denom;
            jpeg_calc_output_dimensions(&d);
        });
        const auto& d = session.Info();
        if (!ok) {
            return false;
        }
        if (denom == 1) {
            stated_ = {static_cast<std::int32_t>(d.output_width), static_cast<std::int32_t>(d.output_height)};
        }
        if (PictureSizeAllowed(d.output_width, d.output_height)) {
            size_ = {static_cast<std::int32_t>(d.output_width), static_cast<std::int32_t>(d.output_height)};
            scaleDenom_ = static_cast<int>(denom);
            return true;
        }
    }
    return false;
}

std::optional<TPicture> TJpegDecoder::Frames() {
    if (scaleDenom_ == 0) {
        return std::nullopt;
    }
    try {
        Session session;
        if (!session.Start(bytes_)) {
            return std::nullopt;
        }
        const bool cmyk = IsCmyk(session.Info());
        const bool started = session.Run([&](jpeg_decompress_struct& d) {
            d.scale_num = 1;
            d.scale_denom = static_cast<unsigned>(scaleDenom_);
            d.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;  // BGRA bytes are 0xAARRGGBB in memory
            jpeg_start_decompress(&d);
        });
        const auto& info = session.Info();
        if (!started || static_cast<std::int32_t>(info.output_width) != size_.width ||
            static_cast<std::int32_t>(info.output_height) != size_.height || info.output_components != 4) {
            return std::nullopt;
        }
        TBitmap32 out(size_.width, size_.height);
        std::vector<std::uint8_t> cmykRow(cmyk ? static_cast<std::size_t>(size_.width) * 4 : 0);
        const bool inverted = info.saw_Adobe_marker != 0;
        const bool read = session.Run([&](jpeg_decompress_struct& d) {
            while (d.output_scanline < d.output_height) {
                const auto y = static_cast<std::int32_t>(d.output_scanline);
                JSAMPROW row = cmyk ? cmykRow.data() : reinterpret_cast<JSAMPROW>(out.Row(y));
                if (jpeg_read_scanlines(&d, &row, 1) != 1) {
                    break;
                }
                if (cmyk) {
                    CmykRow(cmykRow.data(), out.Row(y), size_.width, inverted);
                }
            }
        });
        if (!read) {
            return std::nullopt;
        }
        return StillPicture(std::move(out));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace gfx
