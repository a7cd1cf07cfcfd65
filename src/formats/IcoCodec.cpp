// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/IcoCodec.h"

#include "core/Errors.h"
#include "formats/BmpCodec.h"
#include "formats/Graphic.h"
#include "formats/PngUtils.h"

#include <QImage>
#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("icon: ") + what);
}

struct TIconEntry {
    int Width, Height, BitCount;
    uint32_t Size, Offset;
};

TIconEntry ChooseEntry(TByteReader& in) {
    if (in.LE16() != 0) Fail("bad header");
    const uint16_t type = in.LE16();
    if (type != 1 && type != 2) Fail("not an icon");
    const uint16_t count = in.LE16();
    if (count == 0) Fail("no image");
    TIconEntry best{};
    for (int i = 0; i < count; ++i) {
        TIconEntry e;
        e.Width = in.U8();
        e.Height = in.U8();
        in.Skip(4); // colour count, reserved, planes or hot spot
        e.BitCount = in.LE16();
        e.Size = in.LE32();
        e.Offset = in.LE32();
        if (e.Width == 0) e.Width = 256;
        if (e.Height == 0) e.Height = 256;
        const int64_t area = int64_t(e.Width) * e.Height,
                      bestArea = int64_t(best.Width) * best.Height;
        if (i == 0 || area > bestArea || (area == bestArea && e.BitCount > best.BitCount)) best = e;
    }
    return best;
}

// Alpha from the AND mask (1 = transparent) for pictures without alpha of their own.
QImage WithMask(const TBitmap& colour, TBytes mask, bool hasMask) {
    QImage out = ConvertTo24Bit(colour.Image()).convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) throw std::bad_alloc();
    const int w = out.width(), h = out.height();
    const size_t rowBytes = (size_t(w) + 31) / 32 * 4;
    for (int y = 0; y < h; ++y) {
        uint8_t* d = out.scanLine(y);
        const size_t maskRow = size_t(h - 1 - y) * rowBytes;
        for (int x = 0; x < w; ++x) {
            const size_t at = maskRow + size_t(x / 8);
            const bool clear = hasMask && at < mask.size() && ((mask[at] >> (7 - x % 8)) & 1);
            d[4 * x + 3] = clear ? 0 : 255;
        }
    }
    return out;
}

bool HasAlpha(const QImage& argb) {
    for (int y = 0; y < argb.height(); ++y) {
        const uint8_t* p = argb.constScanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            if (p[4 * x + 3] != 0) return true;
    }
    return false;
}

TBitmap FromPng(TBytes png) {
    TBitmap picture = DecodePng(png);
    const bool keyed = picture.Transparent();
    const TTriple key = ColorToTriple(picture.TransparentColor());
    QImage out = picture.PixelFormat() == TPixelFormat::pf32bit
                     ? picture.Image()
                     : ConvertTo24Bit(picture.Image()).convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) throw std::bad_alloc();
    if (keyed) {
        for (int y = 0; y < out.height(); ++y) {
            uint8_t* d = out.scanLine(y);
            for (int x = 0; x < out.width(); ++x, d += 4)
                if (d[0] == key.b && d[1] == key.g && d[2] == key.r) d[3] = 0;
        }
    }
    TBitmap result(std::move(out));
    result.SetFoundBitDepth(picture.FoundBitDepth());
    return result;
}

void ReadIco(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeIco(input.Bytes);
}

} // namespace

const TGraphicClass gcIcon{"TIcon", ReadIco, nullptr, true};

TBitmap DecodeIco(TBytes data) {
    TByteReader in(data, "icon");
    const TIconEntry e = ChooseEntry(in);
    if (e.Offset >= data.size()) Fail("image outside the file");
    const TBytes image = data.subspan(e.Offset, std::min<size_t>(e.Size, data.size() - e.Offset));
    if (image.size() >= 8 && image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' &&
        image[3] == 'G')
        return FromPng(image);

    size_t pixelsEnd = 0;
    const TBitmap colour = DecodeIconDib(image, &pixelsEnd);
    const bool hasMask = pixelsEnd <= image.size();
    const TBytes mask = hasMask ? image.subspan(pixelsEnd) : TBytes();
    QImage out;
    if (colour.PixelFormat() == TPixelFormat::pf32bit && HasAlpha(colour.Image()))
        out = colour.Image();
    else
        out = WithMask(colour, mask, hasMask); // 32-bit icons of old carry zeros as alpha
    TBitmap picture(std::move(out));
    picture.SetFoundBitDepth(colour.FoundBitDepth());
    return picture;
}
