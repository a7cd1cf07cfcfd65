// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/PcxCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("PCX: ") + what);
}

constexpr size_t kHeaderSize = 128;
constexpr size_t kTrailerSize = 769; // the marker 0x0C, then 256 red, green, blue triples
constexpr uint8_t kTrailerMarker = 0x0C;

struct TPcxHeader {
    uint8_t Version = 0, Encoding = 0, Bits = 0, Planes = 0;
    int Width = 0, Height = 0;
    size_t BytesPerLine = 0;
    TBytes Colormap; // 16 red, green, blue triples
    int IndexBits() const { return Bits * Planes; }
    bool Indexed() const { return Bits < 8 || Planes == 1; }
};

bool SupportedLayout(int bits, int planes) {
    if (bits == 8) return planes == 1 || planes == 3 || planes == 4;
    // Up to 16 colours come from the header palette, 256 from the end of the file; nothing
    // gives the colours of 32 to 128.
    const int total = bits * planes;
    return (bits == 1 || bits == 2 || bits == 4) && planes >= 1 && (total <= 4 || total == 8);
}

TPcxHeader ReadHeader(TByteReader& in) {
    if (in.U8() != 0x0A) Fail("not a Paintbrush file");
    TPcxHeader h;
    h.Version = in.U8();
    h.Encoding = in.U8();
    h.Bits = in.U8();
    const uint16_t xMin = in.LE16(), yMin = in.LE16(), xMax = in.LE16(), yMax = in.LE16();
    in.Skip(4); // resolution
    h.Colormap = in.Take(48);
    in.Skip(1);
    h.Planes = in.U8();
    h.BytesPerLine = in.LE16();
    in.Seek(kHeaderSize);

    if (h.Version > 5 || h.Version == 1) Fail("unknown version");
    if (h.Encoding > 1) Fail("unknown encoding");
    if (!SupportedLayout(h.Bits, h.Planes)) Fail("unsupported depth");
    if (xMax < xMin || yMax < yMin) Fail("bad window");
    h.Width = xMax - xMin + 1;
    h.Height = yMax - yMin + 1;
    if (uint64_t(h.BytesPerLine) * 8 < uint64_t(h.Width) * h.Bits) Fail("lines too short");
    CheckImageSize(h.Width, h.Height);
    return h;
}

// The plane bytes of the picture, line after line, from run-length packets or stored bytes.
// A run may go on from one line into the next.
class TPcxStream {
public:
    TPcxStream(TByteReader& in, bool rle) : m_in(in), m_rle(rle) {}

    void Fill(uint8_t* out, size_t n) {
        if (!m_rle) {
            std::memcpy(out, m_in.Take(n).data(), n);
            return;
        }
        size_t done = 0;
        while (done < n) {
            if (m_run > 0) {
                const size_t k = std::min(m_run, n - done);
                std::memset(out + done, m_value, k);
                done += k;
                m_run -= k;
                continue;
            }
            const uint8_t b = m_in.U8();
            if ((b & 0xC0) == 0xC0) {
                m_run = b & 0x3F;
                m_value = m_in.U8();
            } else {
                out[done++] = b;
            }
        }
    }

private:
    TByteReader& m_in;
    bool m_rle;
    size_t m_run = 0;
    uint8_t m_value = 0;
};

QRgb Triple(TBytes rgb, size_t i) {
    return qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
}

// The colours of EGA displays, for files that carry no palette of their own.
QVector<QRgb> DefaultEgaPalette() {
    static const uint32_t ega[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                     0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                     0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    QVector<QRgb> table(16);
    for (int i = 0; i < 16; ++i)
        table[i] = 0xFF000000u | ega[i];
    return table;
}

QVector<QRgb> HeaderPalette(const TPcxHeader& h) {
    const int count = 1 << h.IndexBits();
    if (count == 2) {
        // Many writers leave the header palette of black-and-white files empty.
        const QRgb c0 = Triple(h.Colormap, 0), c1 = Triple(h.Colormap, 1);
        if (c0 == c1) return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        return {c0, c1};
    }
    const bool empty =
        std::all_of(h.Colormap.begin(), h.Colormap.end(), [](uint8_t v) { return v == 0; });
    if (h.Version == 3 || empty) return DefaultEgaPalette().mid(0, count);
    QVector<QRgb> table(count);
    for (int i = 0; i < count; ++i)
        table[i] = Triple(h.Colormap, size_t(i));
    return table;
}

// The 256-entry palette after the picture data; grey levels when the file has none.
QVector<QRgb> TrailingPalette(TBytes data, size_t dataEnd) {
    if (data.size() - dataEnd >= kTrailerSize &&
        data[data.size() - kTrailerSize] == kTrailerMarker) {
        const TBytes rgb = data.subspan(data.size() - kTrailerSize + 1);
        QVector<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = Triple(rgb, size_t(i));
        return table;
    }
    // A palette that begins but does not end is a cut file, not a grey picture.
    if (dataEnd < data.size() && data[dataEnd] == kTrailerMarker) Fail("truncated palette");
    return GreyRamp(256);
}

void UnpackIndices(const TPcxHeader& h, const uint8_t* planes, uint8_t* line) {
    const int bits = h.Bits;
    const unsigned mask = (1u << bits) - 1u;
    for (int x = 0; x < h.Width; ++x) {
        const size_t bitPos = size_t(x) * size_t(bits);
        const int shift = 8 - bits - int(bitPos % 8);
        unsigned index = 0;
        for (int p = 0; p < h.Planes; ++p) {
            const uint8_t byte = planes[size_t(p) * h.BytesPerLine + bitPos / 8];
            index |= ((byte >> shift) & mask) << (p * bits);
        }
        line[x] = uint8_t(index);
    }
}

void InterleavePlanes(const TPcxHeader& h, const uint8_t* planes, uint8_t* line) {
    const uint8_t* r = planes;
    const uint8_t* g = planes + h.BytesPerLine;
    const uint8_t* b = planes + 2 * h.BytesPerLine;
    const uint8_t* a = planes + 3 * h.BytesPerLine;
    const int step = h.Planes;
    for (int x = 0; x < h.Width; ++x, line += step) {
        line[0] = b[x];
        line[1] = g[x];
        line[2] = r[x];
        if (step == 4) line[3] = a[x];
    }
}

void ReadPcx(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodePcx(input.Bytes);
}

} // namespace

const TGraphicClass gcPcx{"TPcxGraphic", ReadPcx};

TBitmap DecodePcx(TBytes data) {
    TByteReader in(data, "PCX");
    const TPcxHeader h = ReadHeader(in);
    const bool rle = h.Encoding == 1;
    const size_t lineBytes = h.BytesPerLine * h.Planes;
    const uint64_t total = uint64_t(lineBytes) * uint64_t(h.Height);
    // Two bytes of run-length data give at most 63 bytes: shorter data cannot fill the picture.
    const uint64_t most = rle ? (uint64_t(in.Left()) + 1) / 2 * 63 : uint64_t(in.Left());
    if (total > most) Fail("truncated");

    const QImage::Format format = h.Indexed()     ? QImage::Format_Indexed8
                                  : h.Planes == 4 ? QImage::Format_ARGB32
                                                  : QImage::Format_BGR888;
    QImage image = NewCheckedImage(h.Width, h.Height, format);
    std::vector<uint8_t> planes(lineBytes);
    TPcxStream stream(in, rle);
    for (int y = 0; y < h.Height; ++y) {
        stream.Fill(planes.data(), lineBytes);
        uint8_t* line = image.scanLine(y);
        if (!h.Indexed())
            InterleavePlanes(h, planes.data(), line);
        else if (h.Bits == 8)
            std::memcpy(line, planes.data(), size_t(h.Width));
        else
            UnpackIndices(h, planes.data(), line);
    }
    if (h.Indexed())
        image.setColorTable(h.IndexBits() == 8 ? TrailingPalette(data, in.Pos())
                                               : HeaderPalette(h));

    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(h.IndexBits());
    picture.MarkFourBit(h.IndexBits() > 1 && h.IndexBits() <= 4);
    return picture;
}
