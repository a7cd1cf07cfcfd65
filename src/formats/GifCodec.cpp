// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/GifCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include "core/Masks.h"
#include "core/Quantize.h"

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

struct TGifWriterCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct TMapCloser {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

int AppendToVector(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    try {
        out->insert(out->end(), data, data + n);
    } catch (...) {
        return 0; // giflib reports a write failure
    }
    return n;
}

// Only the entries the pixels use are kept, in order of first use, padded to a power of two.
TIndexedImage OptimizedMap(const TIndexedImage& in, int keepIndex) {
    std::vector<int> remap(in.Palette.size(), -1);
    TIndexedImage out = in;
    out.Palette.clear();
    const auto use = [&](int i) {
        if (remap[size_t(i)] < 0) {
            remap[size_t(i)] = int(out.Palette.size());
            out.Palette.push_back(in.Palette[size_t(i)]);
        }
    };
    if (keepIndex >= 0) use(keepIndex);
    for (uint8_t& v : out.Indices) {
        use(v);
        v = uint8_t(remap[v]);
    }
    return out;
}

std::vector<uint8_t> WriteGif(const TGraphic& graphic) {
    return EncodeGif(graphic.Picture);
}

} // namespace

const TGraphicClass gcGif{"TGIFImage", ReadGif, WriteGif};

std::vector<uint8_t> EncodeGif(const TBitmap& picture) {
    if (picture.Empty()) Fail("empty picture");
    if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF) Fail("picture too large");
    TBitmap work = picture;
    work.To24Bit();
    const bool transparent = picture.Transparent();
    const TColor key = ResolveColor(picture.TransparentColor());

    TIndexedImage indexed;
    int transparentIndex = -1;
    if (transparent) {
        const TBitmap prepared = PrepareTransparentGif(work, key, KeyColorMask(work, key));
        std::optional<TIndexedImage> exact = IndexExactColors(prepared, 256);
        if (!exact) Fail("too many colours"); // never: the preparation leaves at most 255
        indexed = std::move(*exact);
        const TTriple k = ColorToTriple(key);
        for (size_t i = 0; i < indexed.Palette.size(); ++i)
            if (indexed.Palette[i] == k) transparentIndex = int(i);
        if (transparentIndex < 0) { // no transparent pixel: the entry still names the colour
            transparentIndex = int(indexed.Palette.size());
            indexed.Palette.push_back(k);
        }
    } else {
        indexed = QuantizeImage(work, 256);
    }
    if (OptionsOE().OptimizeGifPalette) {
        indexed = OptimizedMap(indexed, transparentIndex);
        if (transparentIndex >= 0) transparentIndex = 0;
    }

    int size = 2;
    while (size < int(indexed.Palette.size()))
        size *= 2;
    std::unique_ptr<ColorMapObject, TMapCloser> map(GifMakeMapObject(size, nullptr));
    if (!map) throw std::bad_alloc();
    for (int i = 0; i < size; ++i) {
        const TTriple t = i < int(indexed.Palette.size()) ? indexed.Palette[size_t(i)] : TTriple{};
        map->Colors[i] = {t.r, t.g, t.b};
    }

    std::vector<uint8_t> out;
    int error = 0;
    std::unique_ptr<GifFileType, TGifWriterCloser> gif(EGifOpen(&out, AppendToVector, &error));
    if (!gif) Fail("cannot start");
    EGifSetGifVersion(gif.get(), transparentIndex >= 0);
    if (EGifPutScreenDesc(gif.get(), indexed.Width, indexed.Height, map->BitsPerPixel, 0,
                          map.get()) == GIF_ERROR)
        Fail("cannot write");
    if (transparentIndex >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        const size_t n = EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, int(n), ext) == GIF_ERROR)
            Fail("cannot write");
    }
    if (EGifPutImageDesc(gif.get(), 0, 0, indexed.Width, indexed.Height, false, nullptr) ==
        GIF_ERROR)
        Fail("cannot write");
    for (int y = 0; y < indexed.Height; ++y)
        if (EGifPutLine(gif.get(), const_cast<GifPixelType*>(indexed.Row(y)), indexed.Width) ==
            GIF_ERROR)
            Fail("cannot write");
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR) Fail("cannot complete");
    return out;
}

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
