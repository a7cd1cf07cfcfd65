// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/RlaCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <algorithm>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("RLA: ") + what);
}

constexpr size_t kHeaderSize = 740;
constexpr size_t kChannelBitsAt = 658;
constexpr size_t kMatteBitsAt = 662;

struct TRlaHeader {
    int Width = 0, Height = 0;
    int Colours = 0;     // colour channels in the file
    int Mattes = 0;      // matte channels in the file
    int ColourBytes = 1; // bytes per sample
    int MatteBytes = 1;
    bool Grey() const { return Colours < 3; }
    bool Alpha() const { return Mattes > 0; }
};

int SampleBytes(uint16_t bits) {
    if (bits == 0 || bits == 8) return 1; // files older than the bit fields leave them 0
    if (bits == 16) return 2;
    Fail("unsupported sample size");
}

TRlaHeader ReadHeader(TByteReader& in) {
    in.Skip(8); // the whole window; the picture is the active one
    const int16_t left = int16_t(in.BE16()), right = int16_t(in.BE16());
    const int16_t bottom = int16_t(in.BE16()), top = int16_t(in.BE16());
    in.Skip(4); // frame, storage type
    TRlaHeader h;
    h.Colours = int16_t(in.BE16());
    h.Mattes = int16_t(in.BE16());
    in.Seek(kChannelBitsAt);
    const uint16_t colourBits = in.BE16();
    in.Seek(kMatteBitsAt);
    const uint16_t matteBits = in.BE16();
    in.Seek(kHeaderSize);

    if (right < left || top < bottom) Fail("bad window");
    h.Width = right - left + 1;
    h.Height = top - bottom + 1;
    if (h.Colours != 1 && h.Colours < 3) Fail("unsupported channels");
    if (h.Mattes < 0) Fail("bad matte count");
    h.ColourBytes = SampleBytes(colourBits);
    if (h.Alpha()) h.MatteBytes = SampleBytes(matteBits);
    CheckImageSize(h.Width, h.Height);
    return h;
}

// One channel of one row: per byte of the sample, a run-length stream of bytes (a count byte
// n >= 0 repeats the next byte n + 1 times, n < 0 copies -n bytes), most significant first.
void ExpandChannel(TBytes packed, int width, int sampleBytes, std::vector<uint8_t>& samples) {
    size_t at = 0;
    for (int plane = 0; plane < sampleBytes; ++plane) {
        uint8_t* out = samples.data() + size_t(plane) * size_t(width);
        size_t x = 0;
        while (x < size_t(width)) {
            if (at >= packed.size()) Fail("short channel");
            const int count = int8_t(packed[at++]);
            if (count >= 0) {
                if (at >= packed.size()) Fail("short channel");
                const size_t n = std::min(size_t(count) + 1, size_t(width) - x);
                std::fill(out + x, out + x + n, packed[at++]);
                x += n;
            } else {
                const size_t n = size_t(-count);
                if (n > packed.size() - at) Fail("short channel");
                const size_t copied = std::min(n, size_t(width) - x);
                std::copy_n(packed.data() + at, copied, out + x);
                at += n;
                x += copied;
            }
        }
    }
}

// The channel records of each row, found and checked before anything is decoded.
struct TRlaRow {
    std::vector<TBytes> Colour; // grey, or red, green, blue
    TBytes Matte;               // empty without alpha
};

std::vector<TRlaRow> LocateRows(TBytes data, const TRlaHeader& h) {
    TByteReader in(data, "RLA");
    in.Seek(kHeaderSize);
    if (uint64_t(h.Height) * 4 > in.Left()) Fail("truncated offset table");
    const size_t tableEnd = kHeaderSize + size_t(h.Height) * 4;
    std::vector<uint32_t> offsets(size_t(h.Height));
    for (uint32_t& o : offsets)
        o = in.BE32();
    const auto record = [&](int sampleBytes) {
        const size_t length = in.BE16();
        // Two bytes of a record give at most 128 bytes of samples.
        if (uint64_t(h.Width) * uint64_t(sampleBytes) > uint64_t(length) / 2 * 128)
            Fail("channel too short");
        return in.Take(length);
    };
    std::vector<TRlaRow> rows(offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] < tableEnd || offsets[i] >= data.size()) Fail("row outside the file");
        in.Seek(offsets[i]);
        for (int c = 0; c < h.Colours; ++c) {
            const TBytes r = record(h.ColourBytes);
            if (c < 3) rows[i].Colour.push_back(r);
        }
        if (h.Alpha()) rows[i].Matte = record(h.MatteBytes);
    }
    return rows;
}

uint8_t SampleAt(const std::vector<uint8_t>& samples, int width, int sampleBytes, int x) {
    if (sampleBytes == 1) return samples[size_t(x)];
    return Sample16To8(uint32_t(samples[size_t(x)]) << 8 | samples[size_t(width) + size_t(x)]);
}

void ReadRla(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeRla(input.Bytes);
}

} // namespace

const TGraphicClass gcRla{"TRlaGraphic", ReadRla};

TBitmap DecodeRla(TBytes data) {
    TByteReader in(data, "RLA");
    const TRlaHeader h = ReadHeader(in);
    const std::vector<TRlaRow> rows = LocateRows(data, h);

    const QImage::Format format = h.Alpha()  ? QImage::Format_ARGB32
                                  : h.Grey() ? QImage::Format_Indexed8
                                             : QImage::Format_BGR888;
    QImage image = NewCheckedImage(h.Width, h.Height, format);
    if (format == QImage::Format_Indexed8) image.setColorTable(GreyRamp(256));
    const size_t step = size_t(image.depth() / 8);
    // Byte offsets in an output pixel of red, green and blue; grey goes to all three.
    const std::vector<std::vector<size_t>> targets =
        !h.Grey()   ? std::vector<std::vector<size_t>>{{2}, {1}, {0}}
        : step == 1 ? std::vector<std::vector<size_t>>{{0}}
                    : std::vector<std::vector<size_t>>{{0, 1, 2}};
    std::vector<uint8_t> samples(size_t(h.Width) * 2);
    for (size_t i = 0; i < rows.size(); ++i) {
        uint8_t* line = image.scanLine(h.Height - 1 - int(i));
        for (size_t c = 0; c < rows[i].Colour.size(); ++c) {
            ExpandChannel(rows[i].Colour[c], h.Width, h.ColourBytes, samples);
            for (int x = 0; x < h.Width; ++x) {
                const uint8_t v = SampleAt(samples, h.Width, h.ColourBytes, x);
                for (const size_t t : targets[c])
                    line[size_t(x) * step + t] = v;
            }
        }
        if (h.Alpha()) {
            ExpandChannel(rows[i].Matte, h.Width, h.MatteBytes, samples);
            for (int x = 0; x < h.Width; ++x)
                line[size_t(x) * 4 + 3] = SampleAt(samples, h.Width, h.MatteBytes, x);
        }
    }
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth((h.Grey() ? 1 : 3) * 8 * h.ColourBytes +
                             (h.Alpha() ? 8 * h.MatteBytes : 0));
    return picture;
}
