// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/AutodeskCodec.h"

#include "core/Errors.h"
#include "formats/FlicFrame.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Autodesk: ") + what);
}

constexpr uint16_t kAnimatorMagic = 0x9119;
constexpr uint16_t kProMagic = 0x9500;
constexpr size_t kAnimatorHeader = 32;
constexpr size_t kProHeader = 64;
constexpr size_t kPaletteBytes = 768;
enum TProChunk : uint16_t { pcColourMap = 0, pcBytePixels = 1 };

// Red, green and blue bytes of 256 entries. The original Animator stores 6-bit values; a palette
// holding larger values was written with full 8-bit values and is taken as it is.
QVector<QRgb> Palette(TBytes rgb, bool sixBit) {
    if (sixBit && std::any_of(rgb.begin(), rgb.end(), [](uint8_t v) { return v > 63; }))
        sixBit = false;
    QVector<QRgb> table(256);
    for (size_t i = 0; i < 256; ++i) {
        const auto value = [&](size_t k) {
            return sixBit ? Sample6To8(rgb[3 * i + k]) : rgb[3 * i + k];
        };
        table[int(i)] = qRgb(value(0), value(1), value(2));
    }
    return table;
}

TBitmap IndexedPicture(int width, int height, TBytes pixels, const QVector<QRgb>& palette) {
    QImage image = NewCheckedImage(width, height, QImage::Format_Indexed8);
    image.setColorTable(palette);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels.data() + size_t(y) * size_t(width), size_t(width));
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(8);
    return picture;
}

TBitmap DecodeAnimator(TByteReader& in) {
    in.Skip(2); // signature
    const uint16_t width = in.LE16(), height = in.LE16();
    in.Skip(4); // placement on the screen
    const uint8_t depth = in.U8(), compression = in.U8();
    const uint32_t dataSize = in.LE32();
    in.Seek(kAnimatorHeader);
    if (depth != 8) Fail("unsupported depth");
    if (compression != 0) Fail("unsupported compression");
    if (width == 0 || height == 0) Fail("empty image");
    CheckImageSize(width, height);
    const uint64_t pixels = uint64_t(width) * height;
    if (dataSize != 0 && dataSize != pixels) Fail("inconsistent data size");
    const TBytes palette = in.Take(kPaletteBytes);
    if (pixels > in.Left()) Fail("truncated");
    return IndexedPicture(width, height, in.Take(size_t(pixels)), Palette(palette, true));
}

TBitmap DecodePro(TBytes data) {
    TByteReader in(data, "Autodesk");
    const uint32_t fileSize = in.LE32();
    in.Skip(2); // signature
    const uint16_t width = in.LE16(), height = in.LE16();
    in.Skip(4 + 4); // placement, user id
    const uint8_t depth = in.U8();
    in.Seek(kProHeader);
    if (depth != 8) Fail("unsupported depth");
    if (width == 0 || height == 0) Fail("empty image");
    CheckImageSize(width, height);
    if (fileSize < kProHeader || fileSize > data.size()) Fail("truncated");

    const uint64_t pixelCount = uint64_t(width) * height;
    TByteReader chunks(data.first(fileSize), "Autodesk");
    chunks.Seek(kProHeader);
    TBytes pixels, palette;
    // Every chunk is at least its 6-byte head long, so the walk ends.
    while (chunks.Left() >= 6) {
        const uint32_t size = chunks.LE32();
        const uint16_t type = chunks.LE16();
        if (size < 6 || size - 6 > chunks.Left()) Fail("bad chunk size");
        TByteReader body(chunks.Take(size - 6), "Autodesk");
        if (type == pcColourMap) {
            body.Skip(2); // version
            palette = body.Take(kPaletteBytes);
        } else if (type == pcBytePixels) {
            if (pixelCount > body.Left()) Fail("truncated pixels");
            pixels = body.Take(size_t(pixelCount));
        }
    }
    if (pixels.empty()) Fail("no pixels");
    return IndexedPicture(width, height, pixels,
                          palette.empty() ? GreyRamp(256) : Palette(palette, false));
}

void ReadAutodesk(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeAutodesk(input.Bytes);
}

} // namespace

const TGraphicClass gcAutodesk{"TAutodeskGraphic", ReadAutodesk};

TBitmap DecodeAutodesk(TBytes data) {
    TByteReader in(data, "Autodesk");
    if (data.size() >= 2 && in.LE16() == kAnimatorMagic) {
        in.Seek(0);
        return DecodeAnimator(in);
    }
    if (data.size() >= 6) {
        in.Seek(4);
        if (in.LE16() == kProMagic) return DecodePro(data);
    }
    if (IsFlic(data)) return DecodeFlicFirstFrame(data);
    Fail("not an Animator picture");
}
