// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/TgaCodec.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Targa: ") + what);
}

struct TTgaHeader {
    uint8_t IdLength, ColorMapType, ImageType;
    uint16_t MapFirst, MapLength;
    uint8_t MapEntryBits;
    uint16_t Width, Height;
    uint8_t PixelBits, Descriptor;
};

TTgaHeader ReadHeader(TByteReader& in) {
    TTgaHeader h;
    h.IdLength = in.U8();
    h.ColorMapType = in.U8();
    h.ImageType = in.U8();
    h.MapFirst = in.LE16();
    h.MapLength = in.LE16();
    h.MapEntryBits = in.U8();
    in.Skip(4); // origin
    h.Width = in.LE16();
    h.Height = in.LE16();
    h.PixelBits = in.U8();
    h.Descriptor = in.U8();
    return h;
}

// A 15- or 16-bit value (x rrrrr ggggg bbbbb) as blue, green, red bytes.
TTriple From555(uint16_t v) {
    const auto five = [](int c) { return uint8_t((c << 3) | (c >> 2)); };
    return {five(v & 31), five((v >> 5) & 31), five((v >> 10) & 31)};
}

TTriple MapEntry(TBytes e, int bits) {
    if (bits == 15 || bits == 16) return From555(uint16_t(e[0] | (e[1] << 8)));
    return {e[0], e[1], e[2]};
}

// All pixels in file order (rows as stored), bytesPerPixel each.
std::vector<uint8_t> ReadPixels(TByteReader& in, const TTgaHeader& h, int bpp, bool rle) {
    const uint64_t count = uint64_t(h.Width) * h.Height;
    const uint64_t bytes = count * uint64_t(bpp);
    if (!rle) {
        const TBytes raw = in.Take(size_t(bytes));
        return std::vector<uint8_t>(raw.begin(), raw.end());
    }
    // A packet of 1 + bpp bytes covers at most 128 pixels: shorter data cannot fill the image.
    if (uint64_t(in.Left()) < (count + 127) / 128 * uint64_t(1 + bpp)) Fail("truncated");
    std::vector<uint8_t> out(static_cast<size_t>(bytes));
    uint64_t done = 0;
    while (done < count) {
        const uint8_t head = in.U8();
        const uint64_t n = std::min<uint64_t>((head & 0x7F) + 1u, count - done);
        uint8_t* d = out.data() + done * uint64_t(bpp);
        if (head & 0x80) {
            const TBytes v = in.Take(size_t(bpp));
            for (uint64_t i = 0; i < n; ++i)
                std::memcpy(d + i * uint64_t(bpp), v.data(), size_t(bpp));
            // A run longer than the image ends it.
        } else {
            const size_t packetBytes = size_t(((head & 0x7F) + 1) * bpp);
            const TBytes v = in.Take(packetBytes);
            std::memcpy(d, v.data(), size_t(n * uint64_t(bpp)));
        }
        done += n;
    }
    return out;
}

QImage NewQImage(int w, int h, QImage::Format format) {
    QImage image(w, h, format);
    if (image.isNull()) throw std::bad_alloc();
    return image;
}

void ReadTga(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeTga(input.Bytes);
}

std::vector<uint8_t> WriteTga(const TGraphic& graphic) {
    return EncodeTga(graphic.Picture, OptionsOE().TargaRle);
}

} // namespace

const TGraphicClass gcTarga{"TTargaGraphic", ReadTga, WriteTga};

TBitmap DecodeTga(TBytes data) {
    TByteReader in(data, "Targa");
    const TTgaHeader h = ReadHeader(in);
    const int type = h.ImageType & ~8;
    const bool rle = (h.ImageType & 8) != 0;
    if (h.ImageType > 11 || type < 1 || type > 3) Fail("unsupported image type");
    if (h.Width == 0 || h.Height == 0) Fail("empty image");
    CheckImageSize(h.Width, h.Height);
    if (h.ColorMapType > 1) Fail("bad colour map type");
    const bool mapped = type == 1;
    if (mapped && (h.ColorMapType != 1 || h.PixelBits != 8)) Fail("unsupported colour map");
    if (type == 2 && h.PixelBits != 15 && h.PixelBits != 16 && h.PixelBits != 24 &&
        h.PixelBits != 32)
        Fail("unsupported depth");
    if (type == 3 && h.PixelBits != 8 && h.PixelBits != 16) Fail("unsupported grey depth");

    in.Skip(h.IdLength);
    std::array<TTriple, 256> map{};
    if (h.ColorMapType == 1) {
        const int entryBytes = (h.MapEntryBits + 7) / 8;
        if (h.MapEntryBits != 15 && h.MapEntryBits != 16 && h.MapEntryBits != 24 &&
            h.MapEntryBits != 32)
            Fail("bad colour map entry size");
        for (int i = 0; i < h.MapLength; ++i) {
            const TBytes e = in.Take(size_t(entryBytes));
            const int index = h.MapFirst + i;
            if (index < 256) map[size_t(index)] = MapEntry(e, h.MapEntryBits);
        }
    }

    const int bpp = (h.PixelBits + 7) / 8;
    const std::vector<uint8_t> pixels = ReadPixels(in, h, bpp, rle);
    const bool topFirst = (h.Descriptor & 0x20) != 0;
    const bool rightToLeft = (h.Descriptor & 0x10) != 0;
    // 32-bit pixels keep their fourth byte as alpha even when the descriptor counts no
    // attribute bits, as some writers store it so.
    const bool alpha = (type == 2 && h.PixelBits == 32) || (type == 3 && h.PixelBits == 16);
    const int w = h.Width, ht = h.Height;

    QImage image;
    if (mapped || (type == 3 && !alpha)) {
        image = NewQImage(w, ht, QImage::Format_Indexed8);
        QVector<QRgb> colours(256);
        for (int i = 0; i < 256; ++i)
            colours[i] =
                mapped ? qRgb(map[size_t(i)].r, map[size_t(i)].g, map[size_t(i)].b) : qRgb(i, i, i);
        image.setColorTable(colours);
    } else {
        image = NewQImage(w, ht, alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    }
    const int outBytes = image.depth() / 8;
    for (int row = 0; row < ht; ++row) {
        const uint8_t* s = pixels.data() + size_t(row) * size_t(w) * size_t(bpp);
        uint8_t* line = image.scanLine(topFirst ? row : ht - 1 - row);
        for (int i = 0; i < w; ++i, s += bpp) {
            uint8_t* d = line + size_t(rightToLeft ? w - 1 - i : i) * size_t(outBytes);
            if (outBytes == 1) {
                d[0] = s[0];
            } else if (type == 3) { // grey and alpha
                d[0] = d[1] = d[2] = s[0];
                d[3] = s[1];
            } else if (bpp == 2) {
                const TTriple t = From555(uint16_t(s[0] | (s[1] << 8)));
                d[0] = t.b;
                d[1] = t.g;
                d[2] = t.r;
            } else {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if (alpha) d[3] = s[3];
            }
        }
    }
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(h.PixelBits == 15 ? 16 : h.PixelBits);
    return picture;
}

namespace {

// Run-length packets of one row: runs of two or more equal pixels, raw packets between.
void EncodeRow(TByteWriter& out, const uint8_t* row, int width) {
    const auto same = [row](int a, int b) { return std::memcmp(row + 3 * a, row + 3 * b, 3) == 0; };
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 128 && same(x, x + run))
            ++run;
        if (run >= 2) {
            out.U8(uint8_t(0x80 | (run - 1)));
            out.Append(row + 3 * x, 3);
            x += run;
            continue;
        }
        int raw = 1;
        while (x + raw < width && raw < 128 && !(x + raw + 1 < width && same(x + raw, x + raw + 1)))
            ++raw;
        out.U8(uint8_t(raw - 1));
        out.Append(row + 3 * x, size_t(raw) * 3);
        x += raw;
    }
}

} // namespace

std::vector<uint8_t> EncodeTga(const TBitmap& picture, bool rle) {
    if (picture.Empty()) throw ETaveluneError("Targa: empty picture");
    if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF)
        throw ETaveluneError("Targa: picture too large");
    TBitmap converted;
    const TBitmap* src = &ReadAs24(picture, converted);
    TByteWriter out;
    const uint8_t head[12] = {0, 0, uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.Append(head, sizeof head);
    out.LE16(uint16_t(src->Width()));
    out.LE16(uint16_t(src->Height()));
    out.U8(24);
    out.U8(0x20); // first row at the top
    for (int y = 0; y < src->Height(); ++y) {
        if (rle)
            EncodeRow(out, src->ScanLine(y), src->Width());
        else
            out.Append(src->ScanLine(y), size_t(src->Width()) * 3);
    }
    return out.Take();
}
