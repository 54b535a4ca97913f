#pragma once

// PNG and GIF files for the tools and test programs: whole pictures in, frames out. (The program's
// own decoders for items and masks are separate.)

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "gfx/Bitmap32.h"

namespace gfx::io {

class ImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How a PNG is compressed: small files, or larger ones written several times faster, for pictures
// that are read back by tools rather than kept.
enum class PngCompression { Small, Fast };

// Every reader and writer throws ImageFileError.
TBitmap32 ReadPng(const std::string& path);
void WritePng(const std::string& path, const TBitmap32& bitmap, PngCompression compression = PngCompression::Small);

// The first frame of a GIF on a transparent screen of its size.
TBitmap32 ReadGif(const std::string& path);

// A PNG or a GIF, by the first bytes of the file.
TBitmap32 ReadImage(const std::string& path);

// An animated GIF that loops forever, written frame by frame. Each frame gets its own palette of at
// most 256 colours (exact when the frame has no more than that).
class TGifWriter {
public:
    TGifWriter(const std::string& path, std::int32_t width, std::int32_t height);
    ~TGifWriter();
    TGifWriter(const TGifWriter&) = delete;
    TGifWriter& operator=(const TGifWriter&) = delete;

    // frame must have the writer's size; delay in hundredths of a second.
    void AddFrame(const TBitmap32& frame, int delayCs);
    // Writes the trailer; the destructor closes without it reporting errors.
    void Close();

private:
    struct File;
    std::unique_ptr<File> file_;
    std::int32_t width_;
    std::int32_t height_;
};

}  // namespace gfx::io
