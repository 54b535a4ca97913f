#include <gif_lib.h>

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gfx/io/ImageFiles.h"

namespace gfx::io {

namespace {

std::string GifError(const std::string& path, int code) {
    const char* text = GifErrorString(code);
    return path + ": " + (text != nullptr ? text : "GIF error");
}

}  // namespace

TBitmap32 ReadGif(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr) {
        throw ImageFileError(GifError(path, error));
    }
    struct Closer {
        GifFileType* gif;
        ~Closer() { DGifCloseFile(gif, nullptr); }
    } closer{gif};
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1 || gif->SWidth <= 0 || gif->SHeight <= 0 ||
        gif->SWidth > 30000 || gif->SHeight > 30000) {
        throw ImageFileError(GifError(path, gif->Error));
    }
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap != nullptr ? frame.ImageDesc.ColorMap : gif->SColorMap;
    if (map == nullptr) {
        throw ImageFileError(path + ": no colour map");
    }
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, 0, &gcb);

    TBitmap32 bitmap(gif->SWidth, gif->SHeight, 0);
    const GifImageDesc& d = frame.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
        for (int x = 0; x < d.Width; ++x) {
            const int index = frame.RasterBits[static_cast<std::size_t>(y) * d.Width + x];
            if (index == gcb.TransparentColor || index >= map->ColorCount) {
                continue;
            }
            const GifColorType& c = map->Colors[index];
            bitmap.SetPixelS(d.Left + x, d.Top + y, MakeColor32(c.Red, c.Green, c.Blue));
        }
    }
    return bitmap;
}

struct TGifWriter::File {
    GifFileType* gif = nullptr;
    std::string path;
    std::vector<GifByteType> indices;
    std::vector<GifByteType> red, green, blue;
};

TGifWriter::TGifWriter(const std::string& path, std::int32_t width, std::int32_t height)
    : file_(std::make_unique<File>()), width_(width), height_(height) {
    int error = 0;
    file_->path = path;
    file_->gif = EGifOpenFileName(path.c_str(), false, &error);
    if (file_->gif == nullptr) {
        throw ImageFileError(GifError(path, error));
    }
    EGifSetGifVersion(file_->gif, true);
    GifByteType loop[3] = {1, 0, 0};  // repeat forever
    if (EGifPutScreenDesc(file_->gif, width, height, 8, 0, nullptr) != GIF_OK ||
        EGifPutExtensionLeader(file_->gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(file_->gif, 11, "NETSCAPE2.0") != GIF_OK ||
        EGifPutExtensionBlock(file_->gif, 3, loop) != GIF_OK || EGifPutExtensionTrailer(file_->gif) != GIF_OK) {
        throw ImageFileError(GifError(path, file_->gif->Error));
    }
}

TGifWriter::~TGifWriter() {
    if (file_->gif != nullptr) {
        EGifCloseFile(file_->gif, nullptr);
    }
}

namespace {

// The frame's own colours when there are at most 256 of them.
bool ExactPalette(const TBitmap32& frame, std::vector<GifByteType>& indices, GifColorType* colors, int& count) {
    std::unordered_map<Color32, GifByteType> palette;
    const std::size_t n = static_cast<std::size_t>(frame.Width()) * frame.Height();
    for (std::size_t i = 0; i < n; ++i) {
        const Color32 c = frame.Bits()[i] & 0x00FFFFFFu;
        auto it = palette.find(c);
        if (it == palette.end()) {
            if (palette.size() == 256) {
                return false;
            }
            const auto index = static_cast<GifByteType>(palette.size());
            colors[index] = {RedOf(c), GreenOf(c), BlueOf(c)};
            it = palette.emplace(c, index).first;
        }
        indices[i] = it->second;
    }
    count = static_cast<int>(palette.size());
    return true;
}

}  // namespace

void TGifWriter::AddFrame(const TBitmap32& frame, int delayCs) {
    if (frame.Width() != width_ || frame.Height() != height_) {
        throw ImageFileError(file_->path + ": frame size differs");
    }
    const std::size_t n = static_cast<std::size_t>(width_) * height_;
    file_->indices.resize(n);
    GifColorType colors[256] = {};
    int count = 0;
    if (!ExactPalette(frame, file_->indices, colors, count)) {
        file_->red.resize(n);
        file_->green.resize(n);
        file_->blue.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            file_->red[i] = RedOf(frame.Bits()[i]);
            file_->green[i] = GreenOf(frame.Bits()[i]);
            file_->blue[i] = BlueOf(frame.Bits()[i]);
        }
        count = 256;
        if (GifQuantizeBuffer(static_cast<unsigned>(width_), static_cast<unsigned>(height_), &count,
                              file_->red.data(), file_->green.data(), file_->blue.data(), file_->indices.data(),
                              colors) != GIF_OK) {
            throw ImageFileError(file_->path + ": cannot reduce the colours");
        }
    }
    int bits = 1;
    while ((1 << bits) < count) {
        ++bits;
    }
    ColorMapObject* map = GifMakeMapObject(1 << bits, colors);
    if (map == nullptr) {
        throw ImageFileError(file_->path + ": out of memory");
    }
    struct MapFreer {
        ColorMapObject* map;
        ~MapFreer() { GifFreeMapObject(map); }
    } freer{map};

    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = std::clamp(delayCs, 0, 65535);
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(file_->gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK ||
        EGifPutImageDesc(file_->gif, 0, 0, width_, height_, false, map) != GIF_OK ||
        EGifPutLine(file_->gif, file_->indices.data(), static_cast<int>(n)) != GIF_OK) {
        throw ImageFileError(GifError(file_->path, file_->gif->Error));
    }
}

void TGifWriter::Close() {
    int error = 0;
    GifFileType* gif = std::exchange(file_->gif, nullptr);
    if (gif != nullptr && EGifCloseFile(gif, &error) != GIF_OK) {
        throw ImageFileError(GifError(file_->path, error));
    }
}

}  // namespace gfx::io
