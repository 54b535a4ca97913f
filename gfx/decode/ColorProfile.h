#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "gfx/Bitmap32.h"
#include "gfx/Color.h"

namespace gfx {

// The conversion of a picture's colours from the ICC profile embedded in it to sRGB, through
// Little CMS, with the perceptual intent: a profile that carries its own gamut mapping for
// photographs has it in its perceptual tables, and for the plain matrix-and-curves profiles of
// phones and cameras (Display P3, Adobe RGB) it is the same as the relative colorimetric intent.
// Alpha is kept as it is.
//
// A picture without a profile, or with one that describes sRGB already, needs nothing. A profile
// that cannot be used (damaged, for grey or CMYK, refused by the library) leaves the colours as they
// are, and Refusal says why. The library reports its errors to this object, never to the console.
// Matrix-and-curves profiles take a fast path of tables that the library fills, made once for the
// last few profiles met; every other profile goes through the library's own transform.
class TSrgbConversion {
public:
    explicit TSrgbConversion(std::span<const std::uint8_t> icc);
    ~TSrgbConversion();
    TSrgbConversion(const TSrgbConversion&) = delete;
    TSrgbConversion& operator=(const TSrgbConversion&) = delete;

    // Whether the colours change at all.
    bool Converts() const { return tables_ != nullptr || library_ != nullptr; }
    // Why the profile is not used; empty when it is, or when there is none.
    const std::string& Refusal() const { return refusal_; }

    // Converts `width` pixels in place. Safe to call from several threads at once.
    void ConvertRow(Color32* row, std::int32_t width) const;
    // Converts every pixel; a large bitmap on two threads.
    void Convert(TBitmap32& bitmap) const;

private:
    struct Tables;
    struct Library;

    // Opens the profile in the library's context and fills the tables when the fast path takes the
    // profile, else resets them and makes the library's transform; neither for sRGB. The refusal,
    // if any.
    static std::string Prepare(Library& library, std::span<const std::uint8_t> icc, std::unique_ptr<Tables>& tables);
    void ConvertRows(TBitmap32& bitmap, std::int32_t from, std::int32_t to) const;

    std::shared_ptr<const Tables> tables_;  // the fast path, shared with later pictures of the profile
    std::unique_ptr<Library> library_;      // or the library's own transform
    std::string refusal_;
};

// Converts the bitmap from the profile's colours to sRGB (see TSrgbConversion). False, with the
// bitmap unchanged and `why` saying why, when the profile cannot be used.
bool ConvertToSrgb(TBitmap32& bitmap, std::span<const std::uint8_t> icc, std::string* why = nullptr);

}  // namespace gfx
