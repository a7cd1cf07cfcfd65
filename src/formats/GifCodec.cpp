// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/GifCodec.h"

#include "formats/Animation.h"
#include "formats/GifFile.h"
#include "formats/RasterImages.h"

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

void ReadGif(const TReadInput& input, TGraphic& graphic) {
    const TGifScan scan = ScanGif(input.Bytes);
    graphic.ImageCount = std::max(1, scan.Frames);
    graphic.LoopCount = scan.LoopCount;
    if (input.ImageIndex == 0) {
        TGifFrame frame = DecodeGif(input.Bytes);
        graphic.Picture = std::move(frame.Picture);
        graphic.Animated = frame.Animated;
        graphic.FrameDelay = FrameDelay(scan.FirstDelay);
        return;
    }
    // A later frame is the whole canvas as it shows at that frame.
    std::unique_ptr<IFrameSource> source = OpenGifAnimation(QByteArray::fromRawData(
        reinterpret_cast<const char*>(input.Bytes.data()), qsizetype(input.Bytes.size())));
    TAnimationFrame frame = DecodeFrameAt(*source, input.ImageIndex);
    graphic.Animated = true;
    graphic.FrameDelay = frame.Delay;
    graphic.Picture = PictureFromArgb(std::move(frame.Picture.Image()));
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

const TGraphicClass gcGif{"TGIFImage", ReadGif, WriteGif, false, nullptr, false, OpenGifAnimation};

std::vector<uint8_t> EncodeGif(const TBitmap& picture) {
    if (picture.Empty()) GifFail("empty picture");
    if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF) GifFail("picture too large");
    TBitmap work = picture;
    work.To24Bit();
    const bool transparent = picture.Transparent();
    const TColor key = ResolveColor(picture.TransparentColor());

    TIndexedImage indexed;
    int transparentIndex = -1;
    if (transparent) {
        const TBitmap prepared = PrepareTransparentGif(work, key, KeyColorMask(work, key));
        std::optional<TIndexedImage> exact = IndexExactColors(prepared, 256);
        if (!exact) GifFail("too many colours"); // never: the preparation leaves at most 255
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
    if (!gif) GifFail("cannot start");
    EGifSetGifVersion(gif.get(), transparentIndex >= 0);
    if (EGifPutScreenDesc(gif.get(), indexed.Width, indexed.Height, map->BitsPerPixel, 0,
                          map.get()) == GIF_ERROR)
        GifFail("cannot write");
    if (transparentIndex >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        const size_t n = EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, int(n), ext) == GIF_ERROR)
            GifFail("cannot write");
    }
    if (EGifPutImageDesc(gif.get(), 0, 0, indexed.Width, indexed.Height, false, nullptr) ==
        GIF_ERROR)
        GifFail("cannot write");
    for (int y = 0; y < indexed.Height; ++y)
        if (EGifPutLine(gif.get(), const_cast<GifPixelType*>(indexed.Row(y)), indexed.Width) ==
            GIF_ERROR)
            GifFail("cannot write");
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR) GifFail("cannot complete");
    return out;
}

TGifFrame DecodeGif(TBytes data) {
    TGifSource source{data.data(), data.size(), 0};
    const TGifPtr gif = OpenGif(source);

    int transparentIndex = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) GifFail("bad record");
        if (type == TERMINATE_RECORD_TYPE) GifFail("no image");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR) GifFail("bad extension");
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                    transparentIndex = gcb.TransparentColor;
            }
            if (!SkipGifExtension(gif.get(), ext)) GifFail("bad extension");
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) GifFail("bad image descriptor");
        break;
    }

    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0 || !map->Colors) GifFail("no colour map");
    QImage image = ReadGifFrame(gif.get());

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
    frame.Animated = ScanGif(data).Frames > 1;
    frame.Picture = TBitmap(std::move(image));
    frame.Picture.SetTransparent(transparent);
    if (transparent) frame.Picture.SetTransparentColor(key);
    frame.Picture.SetFoundBitDepth(map->BitsPerPixel);
    return frame;
}
