#include "formats/GifCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include <gif_lib.h>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("GIF: ") + what);
}

struct TGifSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* src = static_cast<TGifSource*>(gif->UserData);
    const size_t count = std::min(size_t(std::max(n, 0)), src->Size - src->Pos);
    std::memcpy(out, src->Data + src->Pos, count);
    src->Pos += count;
    return int(count);
}

struct TGifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// Skips the rest of an extension's sub-blocks.
bool SkipExtension(GifFileType* gif, GifByteType* ext) {
    while (ext != nullptr)
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return false;
    return true;
}

QImage ReadFrame(GifFileType* gif) {
    const GifImageDesc& d = gif->Image;
    if (d.Width <= 0 || d.Height <= 0) Fail("empty frame");
    CheckImageSize(d.Width, d.Height);
    QImage image(d.Width, d.Height, QImage::Format_Indexed8);
    if (image.isNull()) throw std::bad_alloc();
    const auto line = [&](int y) {
        if (DGifGetLine(gif, image.scanLine(y), d.Width) == GIF_ERROR) Fail("bad image data");
    };
    if (d.Interlace) {
        static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < d.Height; y += kStep[pass])
                line(y);
    } else {
        for (int y = 0; y < d.Height; ++y)
            line(y);
    }
    return image;
}

// Looks past the first frame for a second one; damage there leaves the first frame alone.
bool MoreFrames(GifFileType* gif) {
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
        if (type == IMAGE_DESC_RECORD_TYPE) return true;
        if (type == TERMINATE_RECORD_TYPE) return false;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR || !SkipExtension(gif, ext))
                return false;
        }
    }
}

void ReadGif(const TReadInput& input, TGraphic& graphic) {
    TGifFrame frame = DecodeGif(input.Bytes);
    graphic.Picture = std::move(frame.Picture);
    graphic.Animated = frame.Animated;
}

} // namespace

const TGraphicClass gcGif{"TGIFImage", ReadGif};

TGifFrame DecodeGif(TBytes data) {
    TGifSource source{data.data(), data.size(), 0};
    int error = 0;
    std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif) Fail("not a GIF file");

    int transparentIndex = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) Fail("bad record");
        if (type == TERMINATE_RECORD_TYPE) Fail("no image");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR) Fail("bad extension");
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                    transparentIndex = gcb.TransparentColor;
            }
            if (!SkipExtension(gif.get(), ext)) Fail("bad extension");
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) Fail("bad image descriptor");
        break;
    }

    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0 || !map->Colors) Fail("no colour map");
    QImage image = ReadFrame(gif.get());

    const int count = std::min(map->ColorCount, 256);
    QVector<QRgb> colours(256, qRgb(0, 0, 0)); // indices past the map show black
    for (int i = 0; i < count; ++i)
        colours[i] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);

    TGifFrame frame;
    bool transparent = false;
    TColor key = 0;
    if (transparentIndex >= 0 && transparentIndex < count) {
        const QRgb c = colours[transparentIndex];
        transparent = true;
        key = RGBColor(qRed(c), qGreen(c), qBlue(c));
        if (std::count(colours.begin(), colours.begin() + count, c) > 1) {
            const TTriple k = ColorToTriple(TransparentKeyColour);
            colours[transparentIndex] = qRgb(k.r, k.g, k.b);
            key = TransparentKeyColour;
        }
    }
    image.setColorTable(colours);
    frame.Animated = MoreFrames(gif.get());
    frame.Picture = TBitmap(std::move(image));
    frame.Picture.SetTransparent(transparent);
    if (transparent) frame.Picture.SetTransparentColor(key);
    frame.Picture.SetFoundBitDepth(map->BitsPerPixel);
    return frame;
}
