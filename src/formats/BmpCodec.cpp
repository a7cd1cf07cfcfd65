// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/BmpCodec.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"
#include "formats/Graphic.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("BMP: ") + what);
}

struct TDibHeader {
    uint32_t Size = 0;
    int64_t Width = 0;
    int64_t Height = 0; // rows of the colour bitmap
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = biRgb;
    uint32_t ColorsUsed = 0;
    std::array<uint32_t, 4> Masks{}; // red, green, blue, alpha
    bool Core = false;               // palette entries of 3 bytes
};

// Reads the information header and the masks that follow it; leaves the reader on the palette.
TDibHeader ReadHeader(TByteReader& in) {
    TDibHeader h;
    h.Size = in.LE32();
    if (h.Size == 12) {
        h.Core = true;
        h.Width = in.LE16();
        h.Height = int16_t(in.LE16());
        in.Skip(2);
        h.BitCount = in.LE16();
    } else if (h.Size == 40 || h.Size == 52 || h.Size == 56 || h.Size == 64 || h.Size == 108 ||
               h.Size == 124) {
        const size_t start = in.Pos() - 4;
        h.Width = int32_t(in.LE32());
        h.Height = int32_t(in.LE32());
        in.Skip(2); // planes
        h.BitCount = in.LE16();
        h.Compression = in.LE32();
        in.Skip(12); // image size, resolution
        h.ColorsUsed = in.LE32();
        in.Skip(4);
        if (h.Size == 64 && h.Compression != biRgb && h.Compression != biRle8 &&
            h.Compression != biRle4)
            Fail("unsupported OS/2 compression");
        if (h.Size >= 52 && h.Size != 64) {
            for (int i = 0; i < (h.Size >= 56 ? 4 : 3); ++i)
                h.Masks[size_t(i)] = in.LE32();
        }
        in.Seek(start + h.Size);
        if (h.Size == 40 && (h.Compression == biBitFields || h.Compression == biAlphaBitFields)) {
            for (int i = 0; i < (h.Compression == biAlphaBitFields ? 4 : 3); ++i)
                h.Masks[size_t(i)] = in.LE32();
        }
    } else {
        Fail("unknown header");
    }
    if (h.Height < 0) {
        h.TopDown = true;
        h.Height = -h.Height;
    }
    if (h.Width <= 0 || h.Height <= 0) Fail("empty image");
    switch (h.BitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (h.Compression == biRle8 && h.BitCount != 8) Fail("RLE8 needs 8 bits");
        if (h.Compression == biRle4 && h.BitCount != 4) Fail("RLE4 needs 4 bits");
        if (h.Compression != biRgb && h.Compression != biRle8 && h.Compression != biRle4)
            Fail("unsupported compression");
        break;
    case 16:
    case 32:
        if (h.Compression != biRgb && h.Compression != biBitFields &&
            h.Compression != biAlphaBitFields)
            Fail("unsupported compression");
        if (h.Compression == biRgb) {
            h.Masks = h.BitCount == 16 ? std::array<uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                                       : std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
        }
        break;
    default:
        Fail("unsupported bit count");
    }
    if (h.TopDown && (h.Compression == biRle8 || h.Compression == biRle4))
        Fail("compressed top-down bitmap");
    return h;
}

QVector<QRgb> ReadPalette(TByteReader& in, const TDibHeader& h) {
    const uint32_t full = 1u << h.BitCount;
    const uint32_t count = h.ColorsUsed == 0 ? full : std::min(h.ColorsUsed, full);
    QVector<QRgb> colours(qsizetype(full), qRgb(0, 0, 0)); // indices past the palette: black
    for (uint32_t i = 0; i < count; ++i) {
        const TBytes e = in.Take(h.Core ? 3 : 4);
        colours[qsizetype(i)] = qRgb(e[2], e[1], e[0]);
    }
    // A palette that announces more entries than the depth allows is skipped over.
    if (h.ColorsUsed > full && !h.Core) in.Skip(size_t(h.ColorsUsed - full) * 4);
    return colours;
}

QImage NewQImage(int64_t w, int64_t h, QImage::Format format) {
    CheckImageSize(w, h);
    QImage image(int(w), int(h), format);
    if (image.isNull()) throw std::bad_alloc();
    return image;
}

uint64_t RowBytes(const TDibHeader& h) {
    return ((uint64_t(h.Width) * uint64_t(h.BitCount) + 31) / 32) * 4;
}

// The file row that becomes picture row y.
int64_t FileRow(const TDibHeader& h, int64_t y) {
    return h.TopDown ? y : h.Height - 1 - y;
}

void CheckPixelsPresent(const TByteReader& in, const TDibHeader& h) {
    const uint64_t last = (uint64_t(h.Width) * uint64_t(h.BitCount) + 7) / 8;
    if (uint64_t(in.Left()) < RowBytes(h) * uint64_t(h.Height - 1) + last) Fail("truncated");
}

QImage ReadIndexed(TByteReader& in, const TDibHeader& h, const QVector<QRgb>& palette) {
    CheckPixelsPresent(in, h);
    QImage image = NewQImage(h.Width, h.Height, QImage::Format_Indexed8);
    image.setColorTable(palette);
    const uint8_t* base = in.Take(0).data();
    const uint64_t stride = RowBytes(h);
    const int bits = h.BitCount;
    const int perByte = 8 / bits;
    const uint8_t mask = uint8_t((1 << bits) - 1);
    for (int64_t y = 0; y < h.Height; ++y) {
        const uint8_t* s = base + uint64_t(FileRow(h, y)) * stride;
        uint8_t* d = image.scanLine(int(y));
        if (bits == 8) {
            std::memcpy(d, s, size_t(h.Width));
            continue;
        }
        for (int64_t x = 0; x < h.Width; ++x) {
            const int shift = 8 - bits * (int(x % perByte) + 1);
            d[x] = uint8_t((s[x / perByte] >> shift) & mask);
        }
    }
    return image;
}

QImage Read24(TByteReader& in, const TDibHeader& h) {
    CheckPixelsPresent(in, h);
    QImage image = NewQImage(h.Width, h.Height, QImage::Format_BGR888);
    const uint8_t* base = in.Take(0).data();
    for (int64_t y = 0; y < h.Height; ++y)
        std::memcpy(image.scanLine(int(y)), base + uint64_t(FileRow(h, y)) * RowBytes(h),
                    size_t(h.Width) * 3);
    return image;
}

struct TChannel {
    int Shift = 0;
    uint32_t Max = 0; // the mask moved down; 0 for an absent channel
    uint8_t Get(uint32_t v, uint32_t mask) const {
        return Max ? uint8_t((uint64_t((v & mask) >> Shift) * 255u + Max / 2) / Max) : 0;
    }
};

TChannel ChannelOf(uint32_t mask) {
    TChannel c;
    if (mask == 0) return c;
    c.Shift = std::countr_zero(mask);
    c.Max = mask >> c.Shift;
    return c;
}

// 16- and 32-bit pixels through their bit masks; alpha only when a mask gives it.
QImage ReadMasked(TByteReader& in, const TDibHeader& h) {
    CheckPixelsPresent(in, h);
    const bool alpha = h.Masks[3] != 0;
    QImage image =
        NewQImage(h.Width, h.Height, alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    TChannel ch[4];
    for (int i = 0; i < 4; ++i)
        ch[i] = ChannelOf(h.Masks[size_t(i)]);
    const uint8_t* base = in.Take(0).data();
    const int bytes = h.BitCount / 8;
    for (int64_t y = 0; y < h.Height; ++y) {
        const uint8_t* s = base + uint64_t(FileRow(h, y)) * RowBytes(h);
        uint8_t* d = image.scanLine(int(y));
        for (int64_t x = 0; x < h.Width; ++x, s += bytes) {
            const uint32_t v = bytes == 2 ? uint32_t(s[0] | (s[1] << 8))
                                          : uint32_t(s[0]) | (uint32_t(s[1]) << 8) |
                                                (uint32_t(s[2]) << 16) | (uint32_t(s[3]) << 24);
            *d++ = ch[2].Get(v, h.Masks[2]);
            *d++ = ch[1].Get(v, h.Masks[1]);
            *d++ = ch[0].Get(v, h.Masks[0]);
            if (alpha) *d++ = ch[3].Get(v, h.Masks[3]);
        }
    }
    return image;
}

// Run-length data, bottom-up; pixels the data does not reach keep index 0.
QImage ReadRle(TByteReader& in, const TDibHeader& h, const QVector<QRgb>& palette) {
    QImage image = NewQImage(h.Width, h.Height, QImage::Format_Indexed8);
    image.setColorTable(palette);
    image.fill(0u);
    const bool four = h.Compression == biRle4;
    int64_t x = 0, row = 0;
    const auto put = [&](int64_t px, uint8_t index) {
        if (px < h.Width && row < h.Height) image.scanLine(int(h.Height - 1 - row))[px] = index;
    };
    while (row < h.Height) {
        if (in.Left() < 2) {
            Fail("truncated run-length data");
        }
        const uint8_t n = in.U8();
        const uint8_t v = in.U8();
        if (n > 0) {
            for (int i = 0; i < n; ++i)
                put(x + i, four ? uint8_t((i % 2 == 0) ? v >> 4 : v & 15) : v);
            x += n;
        } else if (v == 0) {
            x = 0;
            ++row;
        } else if (v == 1) {
            break;
        } else if (v == 2) {
            x += in.U8();
            row += in.U8();
        } else {
            const size_t bytes = four ? (v + 1u) / 2 : v;
            const TBytes run = in.Take(bytes);
            for (int i = 0; i < v; ++i)
                put(x + i,
                    four ? uint8_t(i % 2 == 0 ? run[size_t(i / 2)] >> 4 : run[size_t(i / 2)] & 15)
                         : run[size_t(i)]);
            x += v;
            if (bytes % 2) in.Skip(1);
        }
    }
    return image;
}

TBitmap DecodeDib(TByteReader& in, int64_t pixelsAt, bool icon, size_t* pixelsEnd) {
    TDibHeader h = ReadHeader(in);
    if (icon) {
        h.Height /= 2;
        // Icons keep their alpha in the fourth byte of 32-bit pixels.
        if (h.BitCount == 32 && h.Compression == biRgb) h.Masks[3] = 0xFF000000u;
    }
    if (h.Height <= 0) Fail("empty image");
    if (icon && (h.Width > kMaxIconSide || h.Height > kMaxIconSide)) Fail("icon too large");
    CheckImageSize(h.Width, h.Height);
    QVector<QRgb> palette;
    if (h.BitCount <= 8)
        palette = ReadPalette(in, h);
    else if (pixelsAt < 0 && h.ColorsUsed > 0)
        in.Skip(size_t(h.ColorsUsed) * (h.Core ? 3 : 4)); // an optional palette for displays
    if (pixelsAt >= 0) in.Seek(size_t(pixelsAt));

    QImage image;
    if (h.Compression == biRle8 || h.Compression == biRle4)
        image = ReadRle(in, h, palette);
    else if (h.BitCount <= 8)
        image = ReadIndexed(in, h, palette);
    else if (h.BitCount == 24)
        image = Read24(in, h);
    else
        image = ReadMasked(in, h);
    if (pixelsEnd) *pixelsEnd = in.Pos() + size_t(RowBytes(h) * uint64_t(h.Height));

    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(h.BitCount);
    picture.MarkFourBit(h.BitCount == 4);
    return picture;
}

void ReadBmp(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeBmp(input.Bytes);
}

std::vector<uint8_t> WriteBmp(const TGraphic& graphic) {
    return EncodeBmp24(graphic.Picture);
}

} // namespace

const TGraphicClass gcBitmap{"TBitmap", ReadBmp, WriteBmp};

TBitmap DecodeBmp(TBytes data) {
    TByteReader in(data, "BMP");
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
        in.Skip(10);
        const uint32_t offset = in.LE32();
        // Offsets inside the headers are wrong; the pixels then follow the palette.
        const bool usable = offset >= kFileHeaderSize + 12 && offset < data.size();
        return DecodeDib(in, usable ? int64_t(offset) : -1, false, nullptr);
    }
    return DecodeDib(in, -1, false, nullptr);
}

TBitmap DecodeIconDib(TBytes dib, size_t* pixelsEnd) {
    TByteReader in(dib, "icon");
    return DecodeDib(in, -1, true, pixelsEnd);
}

void WriteBmpHeaders(TByteWriter& out, int width, int height, int bitCount, uint32_t compression,
                     uint32_t paletteEntries, uint32_t imageBytes) {
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries;
    out.U8('B');
    out.U8('M');
    out.LE32(offset + imageBytes);
    out.LE32(0);
    out.LE32(offset);
    out.LE32(kInfoHeaderSize);
    out.LE32(uint32_t(width));
    out.LE32(uint32_t(height));
    out.LE16(1);
    out.LE16(uint16_t(bitCount));
    out.LE32(compression);
    out.LE32(imageBytes);
    out.LE32(0); // no resolution
    out.LE32(0);
    out.LE32(paletteEntries);
    out.LE32(0);
}

std::vector<uint8_t> EncodeBmp24(const TBitmap& picture) {
    if (picture.Empty()) throw ETaveluneError("BMP: empty picture");
    TBitmap converted;
    const TBitmap* src = &ReadAs24(picture, converted);
    const uint64_t rowBytes = (uint64_t(src->Width()) * 3 + 3) / 4 * 4;
    const uint64_t imageBytes = rowBytes * uint64_t(src->Height());
    if (imageBytes > 0xFFFFFFFFu - 54) throw ETaveluneError("BMP: picture too large");
    TByteWriter out;
    out.Bytes().reserve(size_t(54 + imageBytes));
    WriteBmpHeaders(out, src->Width(), src->Height(), 24, biRgb, 0, uint32_t(imageBytes));
    const uint8_t pad[3] = {0, 0, 0};
    for (int y = src->Height() - 1; y >= 0; --y) {
        out.Append(src->ScanLine(y), size_t(src->Width()) * 3);
        out.Append(pad, size_t(rowBytes - uint64_t(src->Width()) * 3));
    }
    return out.Take();
}
