// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/SgiCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <algorithm>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("SGI: ") + what);
}

constexpr uint16_t kMagic = 474;
constexpr size_t kHeaderSize = 512;

struct TSgiHeader {
    bool Rle = false;
    int Bpc = 1; // bytes per sample
    int Width = 0, Height = 0;
    int Channels = 0; // in the file
    int Used = 0;     // read: grey, grey and alpha, RGB or RGBA
};

TSgiHeader ReadHeader(TByteReader& in) {
    if (in.BE16() != kMagic) Fail("not an SGI file");
    TSgiHeader h;
    const uint8_t storage = in.U8();
    h.Bpc = in.U8();
    const uint16_t dimension = in.BE16();
    h.Width = in.BE16();
    h.Height = in.BE16();
    h.Channels = in.BE16();
    in.Skip(4 + 4 + 4 + 80); // smallest and largest sample, reserved, name
    const uint32_t colormap = in.BE32();
    in.Seek(kHeaderSize);

    if (storage > 1) Fail("unknown storage");
    h.Rle = storage == 1;
    if (h.Bpc != 1 && h.Bpc != 2) Fail("unsupported sample size");
    if (dimension < 1 || dimension > 3) Fail("bad dimension");
    if (dimension == 1) h.Height = 1;
    if (dimension < 3) h.Channels = 1;
    // Dithered, screen and colour-map files hold no picture of their own.
    if (colormap != 0) Fail("not a plain picture");
    if (h.Width == 0 || h.Height == 0 || h.Channels == 0) Fail("empty image");
    CheckImageSize(h.Width, h.Height);
    h.Used = std::min(h.Channels, 4);
    return h;
}

// The rows of a channel, decoded to 8-bit samples.
class TSgiRows {
public:
    TSgiRows(TBytes data, const TSgiHeader& h) : m_data(data), m_h(h) {
        const uint64_t entries = uint64_t(h.Height) * uint64_t(h.Channels);
        if (!h.Rle) {
            const uint64_t need = entries * uint64_t(h.Width) * uint64_t(h.Bpc);
            if (need > data.size() - kHeaderSize) Fail("truncated");
            return;
        }
        if (entries * 8 > data.size() - kHeaderSize) Fail("truncated offset tables");
        m_tablesEnd = kHeaderSize + size_t(entries) * 8;
        TByteReader in(data.subspan(kHeaderSize), "SGI");
        m_starts.resize(size_t(entries));
        m_lengths.resize(size_t(entries));
        for (uint32_t& s : m_starts)
            s = in.BE32();
        for (uint32_t& l : m_lengths)
            l = in.BE32();
        // Each row must lie inside the data and be long enough to give a whole row: a packet
        // of two samples gives at most 127.
        for (size_t i = 0; i < m_starts.size(); ++i) {
            if (m_starts[i] < m_tablesEnd || m_starts[i] > data.size() ||
                m_lengths[i] > data.size() - m_starts[i])
                Fail("row outside the file");
            const uint64_t units = m_lengths[i] / uint32_t(h.Bpc);
            if (uint64_t(h.Width) > (units / 2) * 127) Fail("row too short");
        }
    }

    // Row 0 is the bottom one.
    void Read(int channel, int row, uint8_t* out) const {
        const size_t entry = size_t(channel) * size_t(m_h.Height) + size_t(row);
        if (!m_h.Rle) {
            const size_t rowBytes = size_t(m_h.Width) * size_t(m_h.Bpc);
            const uint8_t* p = m_data.data() + kHeaderSize + entry * rowBytes;
            for (int x = 0; x < m_h.Width; ++x)
                out[x] = Sample(p + size_t(x) * size_t(m_h.Bpc));
            return;
        }
        Expand(m_data.subspan(m_starts[entry], m_lengths[entry]), out);
    }

private:
    uint8_t Sample(const uint8_t* p) const {
        return m_h.Bpc == 1 ? p[0] : Sample16To8(uint32_t(p[0] << 8 | p[1]));
    }

    // Packets of one sample: count in the low 7 bits, 0 ends the row; the high bit set means
    // count samples follow, clear means the next sample repeats count times.
    void Expand(TBytes row, uint8_t* out) const {
        const size_t unit = size_t(m_h.Bpc);
        const size_t units = row.size() / unit;
        const uint8_t* p = row.data();
        const size_t width = size_t(m_h.Width);
        size_t at = 0, x = 0;
        while (at < units) {
            const uint8_t head = p[at * unit + unit - 1];
            ++at;
            const size_t count = head & 0x7F;
            if (count == 0) break;
            if (head & 0x80) {
                if (count > units - at) Fail("row overrun");
                for (size_t i = 0; i < count && x < width; ++i)
                    out[x++] = Sample(p + (at + i) * unit);
                at += count;
            } else {
                if (at >= units) Fail("row overrun");
                const uint8_t v = Sample(p + at * unit);
                ++at;
                const size_t n = std::min(count, width - x);
                std::fill(out + x, out + x + n, v);
                x += n;
            }
        }
        if (x < width) Fail("short row");
    }

    TBytes m_data;
    const TSgiHeader& m_h;
    size_t m_tablesEnd = 0;
    std::vector<uint32_t> m_starts, m_lengths;
};

QImage::Format OutputFormat(int used) {
    switch (used) {
    case 1:
        return QImage::Format_Indexed8;
    case 3:
        return QImage::Format_BGR888;
    default: // grey or colour with alpha
        return QImage::Format_ARGB32;
    }
}

void ReadSgi(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeSgi(input.Bytes);
}

} // namespace

const TGraphicClass gcSgi{"TSgiGraphic", ReadSgi};

TBitmap DecodeSgi(TBytes data) {
    TByteReader in(data, "SGI");
    const TSgiHeader h = ReadHeader(in);
    const TSgiRows rows(data, h);

    QImage image = NewCheckedImage(h.Width, h.Height, OutputFormat(h.Used));
    if (h.Used == 1) image.setColorTable(GreyRamp(256));
    const int step = image.depth() / 8;
    // Byte offsets of each channel in an output pixel (blue, green, red, alpha in memory).
    std::vector<std::vector<int>> targets;
    switch (h.Used) {
    case 1:
        targets = {{0}};
        break;
    case 2:
        targets = {{0, 1, 2}, {3}};
        break;
    default:
        targets = {{2}, {1}, {0}, {3}};
        targets.resize(size_t(h.Used));
        break;
    }
    std::vector<uint8_t> samples(size_t(h.Width));
    for (int c = 0; c < h.Used; ++c) {
        for (int row = 0; row < h.Height; ++row) {
            rows.Read(c, row, samples.data());
            uint8_t* line = image.scanLine(h.Height - 1 - row);
            for (const int t : targets[size_t(c)])
                for (int x = 0; x < h.Width; ++x)
                    line[size_t(x) * size_t(step) + size_t(t)] = samples[size_t(x)];
        }
    }
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(h.Used * 8 * h.Bpc);
    return picture;
}
