// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/PspCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include <zlib.h>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Paint Shop Pro: ") + what);
}

// "Paint Shop Pro Image File\n\x1a", padded with zeros to 32 bytes.
constexpr char kSignature[] = "Paint Shop Pro Image File\n\x1a";
constexpr size_t kSignatureSize = 32;
constexpr uint8_t kBlockMark[4] = {'~', 'B', 'K', 0};

enum : uint16_t {
    bkImageAttributes = 0,
    bkPalette = 2,
    bkLayerBank = 3,
    bkLayer = 4,
    bkChannel = 5,
    bkCompositeImage = 9,
    bkCompositeBank = 16,
    bkCompositeAttributes = 17,
};
enum { cmNone = 0, cmRle = 1, cmLz77 = 2 };
// What a channel holds: the picture's colours, or masks and thumbnails that are skipped.
enum { btImage = 0, btComposite = 8 };
enum { chSingle = 0, chRed = 1, chGreen = 2, chBlue = 3 };
// The largest expansions: a run of 127 from two bytes; deflate's 258 bytes from two bits.
constexpr uint64_t kRleExpansion = 64;
constexpr uint64_t kDeflateExpansion = 1032;

using TPalette = std::array<TTriple, 256>;

int32_t Signed32(TByteReader& in) {
    return int32_t(in.LE32());
}

struct TBlock {
    uint16_t Id = 0;
    TBytes Body;          // everything after the block header
    size_t Initial = 0;   // version 3: length of the leading data chunk
    TBytes Info, Content; // the leading chunk without its size field, and what follows it
};

class TPspReader {
public:
    explicit TPspReader(int major) : m_major(major) {}

    // The next block of an area, or false at its end. Only the top level may end in bytes
    // that are not a block.
    bool Next(TByteReader& in, TBlock& block, bool topLevel = false) const {
        if (in.AtEnd()) return false;
        if (in.Left() < 4 || std::memcmp(in.Take(4).data(), kBlockMark, 4) != 0) {
            if (topLevel) return false;
            Fail("bad block header");
        }
        block = TBlock{};
        block.Id = in.LE16();
        if (m_major <= 3) block.Initial = in.LE32();
        block.Body = in.Take(in.LE32());
        return true;
    }

    // Splits a block into its leading chunk and the rest: version 3 gives the chunk's length in
    // the block header, later versions start the chunk with its length, that field included.
    void Split(TBlock& block) const {
        size_t size = block.Initial, skip = 0;
        if (m_major > 3) {
            TByteReader in(block.Body, "Paint Shop Pro chunk");
            size = in.LE32();
            skip = 4;
            if (size < 4) Fail("bad chunk size");
        }
        if (size > block.Body.size()) Fail("chunk longer than its block");
        block.Info = block.Body.subspan(skip, size - skip);
        block.Content = block.Body.subspan(size);
    }

    int Major() const { return m_major; }

private:
    int m_major;
};

struct TImageAttributes {
    int Width = 0, Height = 0;
    int Compression = 0;
    int Depth = 0;
    bool Grey = false;
};

void CheckDepth(int depth) {
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24) Fail("unsupported depth");
}

TImageAttributes ReadImageAttributes(TBytes info) {
    TByteReader in(info, "Paint Shop Pro attributes");
    TImageAttributes a;
    a.Width = Signed32(in);
    a.Height = Signed32(in);
    in.Skip(8 + 1); // resolution and its unit
    a.Compression = in.LE16();
    a.Depth = in.LE16();
    in.Skip(2 + 4); // plane count, colour count
    a.Grey = in.U8() != 0;
    if (a.Width < 1 || a.Height < 1) Fail("empty image");
    CheckImageSize(a.Width, a.Height);
    CheckDepth(a.Depth);
    return a;
}

// Palette entries are stored blue, green, red and a spare byte.
TPalette ReadPalette(const TBlock& block) {
    TByteReader info(block.Info, "Paint Shop Pro palette");
    const uint32_t count = std::min<uint32_t>(info.LE32(), 256);
    TByteReader in(block.Content, "Paint Shop Pro palette");
    TPalette palette{};
    for (uint32_t i = 0; i < count; ++i) {
        const TBytes e = in.Take(4);
        palette[i] = TTriple{e[0], e[1], e[2]};
    }
    return palette;
}

struct TChannel {
    int BitmapType = 0, ChannelType = 0;
    uint32_t Uncompressed = 0;
    TBytes Data;
};

TChannel ReadChannel(const TPspReader& r, TBlock block) {
    r.Split(block);
    TByteReader in(block.Info, "Paint Shop Pro channel");
    TChannel c;
    const uint32_t compressed = in.LE32();
    c.Uncompressed = in.LE32();
    c.BitmapType = in.LE16();
    c.ChannelType = in.LE16();
    if (compressed > block.Content.size()) Fail("channel longer than its block");
    c.Data = block.Content.first(compressed);
    return c;
}

// The channels and palette of one bitmap (a layer or the composite image).
struct TBitmapParts {
    std::array<std::optional<TChannel>, 4> Channels; // by channel type
    std::optional<TPalette> Palette;

    void Add(const TPspReader& r, const TBlock& block) {
        if (block.Id == bkPalette) {
            TBlock b = block;
            r.Split(b);
            if (!Palette) Palette = ReadPalette(b);
        } else if (block.Id == bkChannel) {
            const TChannel c = ReadChannel(r, block);
            const bool colour = c.BitmapType == btImage || c.BitmapType == btComposite;
            if (colour && c.ChannelType >= chSingle && c.ChannelType <= chBlue &&
                !Channels[size_t(c.ChannelType)])
                Channels[size_t(c.ChannelType)] = c;
        }
    }
};

// Run-length: a count above 128 repeats the next byte count - 128 times, any other count
// copies that many bytes.
void Unrun(TBytes src, uint8_t* out, size_t size) {
    size_t i = 0, o = 0;
    while (o < size) {
        if (i >= src.size()) Fail("run-length channel too short");
        const uint8_t count = src[i++];
        if (count > 128) {
            if (i >= src.size()) Fail("run-length channel too short");
            const size_t n = std::min(size_t(count - 128), size - o);
            std::memset(out + o, src[i++], n);
            o += n;
        } else {
            if (count > src.size() - i) Fail("run-length channel too short");
            const size_t n = std::min(size_t(count), size - o);
            std::memcpy(out + o, src.data() + i, n);
            i += count;
            o += n;
        }
    }
}

// One inflate call with all input and exactly the room the channel needs: it cannot write
// more, and a stream that gives less is an error.
void Inflate(TBytes src, uint8_t* out, size_t size) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw std::bad_alloc();
    struct TEnd {
        z_stream* Stream;
        ~TEnd() { inflateEnd(Stream); }
    } end{&z};
    z.next_in = const_cast<Bytef*>(src.data());
    z.avail_in = uInt(src.size());
    z.next_out = out;
    z.avail_out = uInt(size);
    inflate(&z, Z_FINISH);
    if (z.avail_out != 0) Fail("compressed channel too short");
}

// A decoded channel: rows of packed samples, stride bytes apart.
struct TPlane {
    std::vector<uint8_t> Bytes;
    size_t Stride = 0;
};

TPlane DecodeChannel(const TChannel& c, int compression, size_t rowBytes, int rows) {
    // Rows are packed, or padded to four bytes as in a device-independent bitmap; the
    // channel's unpacked length tells which.
    const size_t padded = (rowBytes + 3) / 4 * 4;
    TPlane plane;
    plane.Stride =
        uint64_t(c.Uncompressed) == uint64_t(padded) * uint64_t(rows) ? padded : rowBytes;
    const uint64_t size = uint64_t(plane.Stride) * uint64_t(rows);
    if (c.Uncompressed < size) Fail("channel smaller than its bitmap");
    const uint64_t reach = compression == cmNone  ? c.Data.size()
                           : compression == cmRle ? c.Data.size() * kRleExpansion
                                                  : c.Data.size() * kDeflateExpansion;
    if (reach < size) Fail("channel data too short");
    plane.Bytes.resize(size_t(size));
    if (compression == cmNone)
        std::memcpy(plane.Bytes.data(), c.Data.data(), size_t(size));
    else if (compression == cmRle)
        Unrun(c.Data, plane.Bytes.data(), size_t(size));
    else
        Inflate(c.Data, plane.Bytes.data(), size_t(size));
    return plane;
}

// A decoded bitmap ready to be drawn: three planes of 8-bit samples, or one plane of indices.
struct TPixels {
    int Width = 0, Height = 0, Depth = 0;
    std::array<TPlane, 3> Planes; // red, green, blue; or the indices in Planes[0]
    TPalette Colours{};
};

// Without a palette, indices spread evenly from black to white.
TPalette DefaultColours(int depth) {
    TPalette p{};
    const int top = (1 << std::min(depth, 8)) - 1;
    for (int i = 0; i <= top; ++i) {
        const uint8_t v = uint8_t(i * 255 / top);
        p[size_t(i)] = TTriple{v, v, v};
    }
    return p;
}

TPixels DecodeBitmap(const TBitmapParts& parts, int width, int height, int depth, int compression,
                     bool grey, const std::optional<TPalette>& mainPalette) {
    if (compression > cmLz77) Fail("unsupported compression");
    CheckDepth(depth);
    CheckImageSize(width, height);
    TPixels px;
    px.Width = width;
    px.Height = height;
    px.Depth = depth;
    if (width == 0 || height == 0) return px; // a layer without saved pixels
    if (depth == 24) {
        for (int c = 0; c < 3; ++c) {
            const std::optional<TChannel>& ch = parts.Channels[size_t(chRed + c)];
            if (!ch) Fail("missing colour channel");
            px.Planes[size_t(c)] = DecodeChannel(*ch, compression, size_t(width), height);
        }
        return px;
    }
    const std::optional<TChannel>& ch = parts.Channels[chSingle];
    if (!ch) Fail("missing channel");
    const size_t rowBytes = (size_t(width) * size_t(depth) + 7) / 8;
    px.Planes[0] = DecodeChannel(*ch, compression, rowBytes, height);
    const std::optional<TPalette>& palette = parts.Palette ? parts.Palette : mainPalette;
    px.Colours = grey || !palette ? DefaultColours(depth) : *palette;
    return px;
}

uint8_t IndexAt(const uint8_t* row, int x, int depth) {
    if (depth == 8) return row[x];
    if (depth == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

// Draws the bitmap with its top-left corner at (left, top), cut to the canvas.
void Draw(const TPixels& px, int64_t left, int64_t top, QImage& canvas) {
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t x1 = std::min<int64_t>(left + px.Width, canvas.width());
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t y1 = std::min<int64_t>(top + px.Height, canvas.height());
    for (int64_t y = y0; y < y1; ++y) {
        const size_t sy = size_t(y - top);
        uint8_t* d = canvas.scanLine(int(y)) + 3 * x0;
        if (px.Depth == 24) {
            const uint8_t* r = px.Planes[0].Bytes.data() + sy * px.Planes[0].Stride;
            const uint8_t* g = px.Planes[1].Bytes.data() + sy * px.Planes[1].Stride;
            const uint8_t* b = px.Planes[2].Bytes.data() + sy * px.Planes[2].Stride;
            for (int64_t x = x0; x < x1; ++x, d += 3) {
                const size_t sx = size_t(x - left);
                d[0] = b[sx];
                d[1] = g[sx];
                d[2] = r[sx];
            }
        } else {
            const uint8_t* row = px.Planes[0].Bytes.data() + sy * px.Planes[0].Stride;
            for (int64_t x = x0; x < x1; ++x, d += 3) {
                const TTriple& t = px.Colours[IndexAt(row, int(x - left), px.Depth)];
                d[0] = t.b;
                d[1] = t.g;
                d[2] = t.r;
            }
        }
    }
}

// The main blocks the picture is made from.
struct TMainBlocks {
    std::optional<TImageAttributes> Image;
    std::optional<TPalette> Palette;
    std::optional<TBlock> LayerBank, CompositeBank;
};

TMainBlocks ReadMainBlocks(const TPspReader& r, TByteReader& in) {
    TMainBlocks m;
    TBlock block;
    while (r.Next(in, block, true)) {
        if (block.Id == bkImageAttributes && !m.Image) {
            r.Split(block);
            m.Image = ReadImageAttributes(block.Info);
        } else if (block.Id == bkPalette && !m.Palette) {
            r.Split(block);
            m.Palette = ReadPalette(block);
        } else if (block.Id == bkLayerBank && !m.LayerBank) {
            m.LayerBank = block;
        } else if (block.Id == bkCompositeBank && !m.CompositeBank) {
            m.CompositeBank = block;
        }
    }
    if (!m.Image) Fail("no image attributes");
    return m;
}

struct TCompositeAttributes {
    int Width = 0, Height = 0, Depth = 0, Compression = 0, Type = 0;
};

TCompositeAttributes ReadCompositeAttributes(TBytes info) {
    TByteReader in(info, "Paint Shop Pro composite");
    TCompositeAttributes a;
    a.Width = Signed32(in);
    a.Height = Signed32(in);
    a.Depth = in.LE16();
    a.Compression = in.LE16();
    in.Skip(2 + 4); // plane count, colour count
    a.Type = in.LE16();
    return a;
}

// The full-size merged picture of the composite bank (not a thumbnail, not JPEG), if any.
// Each image of the bank follows its attributes block.
std::optional<TPixels> FindComposite(const TPspReader& r, TBlock bank, const TMainBlocks& m) {
    r.Split(bank);
    TByteReader in(bank.Content, "Paint Shop Pro composite bank");
    std::optional<TCompositeAttributes> attributes;
    TBlock block;
    while (r.Next(in, block)) {
        if (block.Id == bkCompositeAttributes) {
            r.Split(block);
            attributes = ReadCompositeAttributes(block.Info);
            continue;
        }
        const std::optional<TCompositeAttributes> described = std::exchange(attributes, {});
        if (block.Id != bkCompositeImage || !described) continue;
        const TCompositeAttributes& a = *described;
        if (a.Type != 0 || a.Width != m.Image->Width || a.Height != m.Image->Height) continue;
        r.Split(block);
        TByteReader sub(block.Content, "Paint Shop Pro composite image");
        TBitmapParts parts;
        TBlock part;
        while (r.Next(sub, part))
            parts.Add(r, part);
        return DecodeBitmap(parts, a.Width, a.Height, a.Depth, a.Compression, m.Image->Grey,
                            m.Palette);
    }
    return std::nullopt;
}

struct TRect32 {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

TRect32 ReadRect(TByteReader& in) {
    TRect32 r;
    r.Left = Signed32(in);
    r.Top = Signed32(in);
    r.Right = Signed32(in);
    r.Bottom = Signed32(in);
    return r;
}

struct TLayerPlacement {
    bool Raster = false;
    int64_t Left = 0, Top = 0; // of the saved pixels on the canvas
    int Width = 0, Height = 0; // of the saved pixels
};

// Version 3 names layers in a fixed 256-byte field; later versions give the name's length.
// The saved rectangle is relative to the layer's rectangle.
TLayerPlacement ReadLayerInfo(const TPspReader& r, TBytes info) {
    TByteReader in(info, "Paint Shop Pro layer");
    in.Skip(r.Major() <= 3 ? 256 : in.LE16());
    const int type = in.U8();
    const TRect32 image = ReadRect(in), saved = ReadRect(in);
    TLayerPlacement p;
    // Version 3: normal or floating selection; later: raster or floating raster selection.
    p.Raster = r.Major() <= 3 ? type <= 1 : type == 1 || type == 2;
    const int64_t w = int64_t(saved.Right) - saved.Left, h = int64_t(saved.Bottom) - saved.Top;
    if (w < 0 || h < 0) Fail("bad layer rectangle");
    CheckImageSize(w, h);
    p.Width = int(w);
    p.Height = int(h);
    p.Left = int64_t(image.Left) + saved.Left;
    p.Top = int64_t(image.Top) + saved.Top;
    return p;
}

// The channels of a layer follow its information chunk; from version 5 on, a bitmap chunk
// (and extension blocks for other layer kinds) may come before them.
TBitmapParts ReadLayerParts(const TPspReader& r, TBytes content) {
    TByteReader in(content, "Paint Shop Pro layer");
    TBitmapParts parts;
    TBlock block;
    while (!in.AtEnd()) {
        if (in.Left() >= 4 && std::memcmp(content.data() + in.Pos(), kBlockMark, 4) == 0) {
            r.Next(in, block);
            parts.Add(r, block);
        } else {
            if (r.Major() < 5) Fail("bad layer data");
            const uint32_t size = in.LE32();
            if (size < 4) Fail("bad chunk size");
            in.Skip(size - 4);
        }
    }
    return parts;
}

// The first raster layer, placed on a white canvas of the image's size.
QImage FirstLayer(const TPspReader& r, TBlock bank, const TMainBlocks& m) {
    if (r.Major() <= 3) bank.Body = bank.Body.subspan(std::min(bank.Initial, bank.Body.size()));
    TByteReader in(bank.Body, "Paint Shop Pro layer bank");
    TBlock layer;
    while (r.Next(in, layer)) {
        if (layer.Id != bkLayer) continue;
        r.Split(layer);
        const TLayerPlacement place = ReadLayerInfo(r, layer.Info);
        if (!place.Raster) continue;
        const TBitmapParts parts = ReadLayerParts(r, layer.Content);
        const TImageAttributes& a = *m.Image;
        const TPixels px = DecodeBitmap(parts, place.Width, place.Height, a.Depth, a.Compression,
                                        a.Grey, m.Palette);
        QImage canvas(a.Width, a.Height, QImage::Format_BGR888);
        if (canvas.isNull()) throw std::bad_alloc();
        canvas.fill(Qt::white);
        Draw(px, place.Left, place.Top, canvas);
        return canvas;
    }
    Fail("no raster layer");
}

void ReadPsp(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodePsp(input.Bytes);
}

} // namespace

const TGraphicClass gcPaintShopPro{"TPspGraphic", ReadPsp};

TBitmap DecodePsp(TBytes data) {
    TByteReader in(data, "Paint Shop Pro");
    const TBytes signature = in.Take(kSignatureSize);
    if (std::memcmp(signature.data(), kSignature, sizeof kSignature) != 0)
        Fail("not a Paint Shop Pro file");
    const int major = in.LE16();
    in.Skip(2); // minor version
    if (major < 3) Fail("unsupported version");
    const TPspReader r(major);
    const TMainBlocks m = ReadMainBlocks(r, in);
    const TImageAttributes& a = *m.Image;
    // Even a blank canvas costs bytes: no compression reaches beyond this.
    if (uint64_t(a.Width) * uint64_t(a.Height) > uint64_t(data.size()) * kDeflateExpansion)
        Fail("image larger than its file can describe");

    QImage image;
    if (m.CompositeBank) {
        if (const std::optional<TPixels> px = FindComposite(r, *m.CompositeBank, m)) {
            image = QImage(a.Width, a.Height, QImage::Format_BGR888);
            if (image.isNull()) throw std::bad_alloc();
            Draw(*px, 0, 0, image);
        }
    }
    if (image.isNull()) {
        if (!m.LayerBank) Fail("no layers");
        image = FirstLayer(r, *m.LayerBank, m);
    }
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(a.Depth);
    return picture;
}
