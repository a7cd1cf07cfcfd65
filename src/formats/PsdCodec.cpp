#include "formats/PsdCodec.h"

#include "core/Errors.h"
#include "formats/ColourManagement.h"
#include "formats/Graphic.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Photoshop: ") + what);
}

enum TPsdMode { pmBitmap = 0, pmGrey = 1, pmIndexed = 2, pmRgb = 3, pmCmyk = 4, pmDuotone = 8 };

struct TPsdHeader {
    int Channels = 0; // stored in the merged data
    int Width = 0, Height = 0;
    int Depth = 0; // bits per channel
    int Mode = 0;
    int Used = 0;        // channels that make the colour
    size_t RowBytes = 0; // one row of one channel, unpacked
};

uint32_t BE32(TByteReader& in) {
    const TBytes b = in.Take(4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

int ChannelsUsed(int mode) {
    switch (mode) {
    case pmRgb:
        return 3;
    case pmCmyk:
        return 4;
    case pmBitmap:
    case pmGrey:
    case pmIndexed:
    case pmDuotone:
        return 1;
    default:
        Fail("unsupported colour mode");
    }
}

TPsdHeader ReadHeader(TByteReader& in) {
    const TBytes sig = in.Take(4);
    if (std::memcmp(sig.data(), "8BPS", 4) != 0) Fail("not a Photoshop file");
    // Version 2 is the large document format, which the registered names do not cover.
    if (in.BE16() != 1) Fail("unsupported version");
    in.Skip(6);
    TPsdHeader h;
    h.Channels = in.BE16();
    const uint32_t height = BE32(in), width = BE32(in);
    h.Depth = in.BE16();
    h.Mode = in.BE16();
    if (h.Channels < 1 || h.Channels > 56) Fail("bad channel count");
    if (width < 1 || width > 30000 || height < 1 || height > 30000) Fail("bad size");
    h.Width = int(width);
    h.Height = int(height);
    h.Used = ChannelsUsed(h.Mode);
    if (h.Used > h.Channels) Fail("too few channels for the colour mode");
    const bool depthFits = h.Mode == pmBitmap    ? h.Depth == 1
                           : h.Mode == pmIndexed ? h.Depth == 8
                                                 : h.Depth == 8 || h.Depth == 16;
    if (!depthFits) Fail("unsupported depth");
    CheckImageSize(h.Width, h.Height);
    h.RowBytes = h.Depth == 1 ? (size_t(h.Width) + 7) / 8 : size_t(h.Width) * size_t(h.Depth / 8);
    return h;
}

// The colour table of an indexed file: 256 reds, then 256 greens, then 256 blues.
std::array<TTriple, 256> ReadColourTable(TBytes table) {
    std::array<TTriple, 256> colours{};
    for (size_t i = 0; i < 256; ++i)
        colours[i] = TTriple{table[512 + i], table[256 + i], table[i]};
    return colours;
}

// Where each used channel row lies in the merged data: rows[c * height + y].
std::vector<TBytes> LocateRows(TByteReader& in, const TPsdHeader& h, bool packed) {
    const size_t count = size_t(h.Used) * size_t(h.Height);
    std::vector<TBytes> rows;
    if (!packed) {
        if (uint64_t(in.Left()) < uint64_t(count) * h.RowBytes) Fail("truncated image data");
        rows.reserve(count);
        for (size_t i = 0; i < count; ++i)
            rows.push_back(in.Take(h.RowBytes));
        return rows;
    }
    // A byte count per row of every stored channel, then the packed rows in the same order.
    const TBytes counts = in.Take(size_t(h.Channels) * size_t(h.Height) * 2);
    // A packet of two bytes gives at most 128 bytes: shorter rows cannot fill their width.
    const size_t shortest = (h.RowBytes + 127) / 128 * 2;
    rows.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t n = size_t(counts[2 * i] << 8 | counts[2 * i + 1]);
        if (n < shortest) Fail("packed row too short");
        rows.push_back(in.Take(n));
    }
    return rows;
}

// PackBits: a header byte n below 128 copies n + 1 bytes, n above 128 repeats the next byte
// 257 - n times, 128 does nothing. A run past the row's end is cut there.
void UnpackRow(TBytes src, uint8_t* out, size_t size) {
    size_t i = 0, o = 0;
    while (o < size) {
        if (i >= src.size()) Fail("packed row ends early");
        const uint8_t head = src[i++];
        if (head < 128) {
            const size_t n = size_t(head) + 1;
            if (n > src.size() - i) Fail("packed row ends early");
            const size_t take = std::min(n, size - o);
            std::memcpy(out + o, src.data() + i, take);
            i += n;
            o += take;
        } else if (head > 128) {
            if (i >= src.size()) Fail("packed row ends early");
            const size_t take = std::min(size_t(257 - head), size - o);
            std::memset(out + o, src[i++], take);
            o += take;
        }
    }
}

// One channel row as 8-bit samples (16-bit samples are big-endian, rounded to 8 bits).
void NarrowRow(const uint8_t* src, uint8_t* out, const TPsdHeader& h) {
    if (h.Depth == 8) {
        std::memcpy(out, src, size_t(h.Width));
    } else if (h.Depth == 16) {
        for (int x = 0; x < h.Width; ++x) {
            const uint32_t v = uint32_t(src[2 * x] << 8 | src[2 * x + 1]);
            out[x] = uint8_t((v * 255 + 32767) / 65535);
        }
    } else { // bitmap mode: a set bit is black
        for (int x = 0; x < h.Width; ++x)
            out[x] = (src[x >> 3] >> (7 - (x & 7)) & 1) ? 0 : 255;
    }
}

// Stored CMYK samples are 255 minus the ink; each ink takes its share of the light away.
uint8_t Inked(uint8_t colourLeft, uint8_t blackLeft) {
    return uint8_t((unsigned(colourLeft) * blackLeft + 127) / 255);
}

void ComposeRow(const std::array<std::vector<uint8_t>, 4>& s, uint8_t* d, const TPsdHeader& h,
                const std::array<TTriple, 256>& colours) {
    for (int x = 0; x < h.Width; ++x, d += 3) {
        TTriple t;
        switch (h.Mode) {
        case pmRgb:
            t = TTriple{s[2][size_t(x)], s[1][size_t(x)], s[0][size_t(x)]};
            break;
        case pmCmyk: {
            const uint8_t k = s[3][size_t(x)];
            t = TTriple{Inked(s[2][size_t(x)], k), Inked(s[1][size_t(x)], k),
                        Inked(s[0][size_t(x)], k)};
            break;
        }
        case pmIndexed:
            t = colours[s[0][size_t(x)]];
            break;
        default: // grey, duotone and bitmap modes
            t = TTriple{s[0][size_t(x)], s[0][size_t(x)], s[0][size_t(x)]};
        }
        d[0] = t.b;
        d[1] = t.g;
        d[2] = t.r;
    }
}

// Image resource 1039 holds the ICC profile. Each resource: a signature, its number, a name
// (a Pascal string padded to an even size), and its data, padded to an even size too.
QByteArray ProfileResource(TBytes resources) {
    constexpr uint16_t kIccResource = 1039;
    TByteReader in(resources, "Photoshop");
    try {
        while (in.Left() >= 12) {
            in.Skip(4);
            const uint16_t id = in.BE16();
            const size_t nameLength = in.U8();
            in.Skip(nameLength + (nameLength + 1) % 2);
            const uint32_t size = BE32(in);
            const TBytes data = in.Take(size);
            if (id == kIccResource) {
                if (size > uint32_t(kMaxIccProfileSize)) return {};
                return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(size));
            }
            if (size % 2 && !in.AtEnd()) in.Skip(1);
        }
    } catch (const ETaveluneError&) {
        // A damaged resource section gives no profile; the picture is still read.
    }
    return {};
}

// Interleaves the four channel rows of a CMYK row into the kept samples.
void KeepInks(const std::array<std::vector<uint8_t>, 4>& s, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x, out += 4)
        for (size_t c = 0; c < 4; ++c)
            out[c] = s[c][size_t(x)];
}

void ReadPsd(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodePsd(input.Bytes, &graphic.IccProfile,
                                input.ColourManagement ? &graphic.Cmyk : nullptr);
}

} // namespace

const TGraphicClass gcPsd{"TPsdGraphic", ReadPsd};

TBitmap DecodePsd(TBytes data, QByteArray* iccProfile, TCmykSamples* cmyk) {
    TByteReader in(data, "Photoshop");
    const TPsdHeader h = ReadHeader(in);

    // Colour mode data: the colour table of indexed files, duotone settings otherwise.
    const uint32_t modeDataLength = BE32(in);
    const TBytes modeData = in.Take(modeDataLength);
    std::array<TTriple, 256> colours{};
    if (h.Mode == pmIndexed) {
        if (modeData.size() < 768) Fail("missing colour table");
        colours = ReadColourTable(modeData);
    }
    const TBytes resources = in.Take(BE32(in));
    const QByteArray profile = ProfileResource(resources);
    if (iccProfile) *iccProfile = profile;
    if (h.Mode != pmCmyk || profile.isEmpty()) cmyk = nullptr;
    in.Skip(BE32(in)); // layers and masks

    const uint16_t compression = in.BE16();
    if (compression > 1) Fail("unsupported compression");
    const bool packed = compression == 1;
    const std::vector<TBytes> rows = LocateRows(in, h, packed);

    QImage image(h.Width, h.Height, QImage::Format_BGR888);
    if (image.isNull()) throw std::bad_alloc();
    std::vector<uint8_t> unpacked(packed ? h.RowBytes : 0);
    std::array<std::vector<uint8_t>, 4> samples;
    for (int c = 0; c < h.Used; ++c)
        samples[size_t(c)].resize(size_t(h.Width));
    std::vector<uint8_t> inks(cmyk ? size_t(h.Width) * size_t(h.Height) * 4 : 0);
    for (int y = 0; y < h.Height; ++y) {
        for (int c = 0; c < h.Used; ++c) {
            const TBytes row = rows[size_t(c) * size_t(h.Height) + size_t(y)];
            const uint8_t* src = row.data();
            if (packed) {
                UnpackRow(row, unpacked.data(), unpacked.size());
                src = unpacked.data();
            }
            NarrowRow(src, samples[size_t(c)].data(), h);
        }
        ComposeRow(samples, image.scanLine(y), h, colours);
        if (cmyk) KeepInks(samples, h.Width, inks.data() + size_t(y) * size_t(h.Width) * 4);
    }
    // Stored samples are 255 minus the ink.
    if (cmyk) *cmyk = TCmykSamples{h.Width, h.Height, true, std::move(inks)};

    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(h.Mode == pmBitmap ? 1 : h.Used * h.Depth);
    return picture;
}
