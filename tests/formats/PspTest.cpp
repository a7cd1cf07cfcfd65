// SPDX-License-Identifier: GPL-2.0-or-later
// Paint Shop Pro files built block by block from the published layout (no tool at hand writes
// them): composite or first raster layer, every depth and compression, damaged files.
#include "FileBuilder.h"
#include "TestPrinters.h"
#include "formats/PspCodec.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

enum {
    bkImage = 0,
    bkCreator = 1,
    bkPalette = 2,
    bkLayerBank = 3,
    bkLayer = 4,
    bkChannel = 5,
    bkCompositeImage = 9,
    bkExtended = 10,
    bkCompositeBank = 16,
    bkCompositeAttributes = 17,
    bkJpeg = 18
};
enum { cmNone = 0, cmRle = 1, cmLz77 = 2, cmJpeg = 3 };
enum { chSingle = 0, chRed = 1, chGreen = 2, chBlue = 3 };
enum { btImage = 0, btTransparency = 1, btComposite = 8 };

using TBytesV = std::vector<uint8_t>;

// Blocks of one file format version: 3 (Paint Shop Pro 5) gives the leading chunk's length
// in the block header; later versions start the chunk with its own length.
class TPsp {
public:
    explicit TPsp(int major) : Major(major) {}
    int Major;

    TBytesV Header() const {
        TFileBuilder b;
        b.Text("Paint Shop Pro Image File\n\x1a").To(32).LE16(uint16_t(Major)).LE16(0);
        return b.Take();
    }

    TBytesV Block(uint16_t id, const TBytesV& chunk, const TBytesV& content,
                  bool withChunk = true) const {
        TFileBuilder body;
        if (withChunk && Major > 3) body.LE32(uint32_t(chunk.size() + 4));
        body.Bytes(chunk).Bytes(content);
        TFileBuilder b;
        b.Text("~BK").U8(0).LE16(id);
        if (Major <= 3) b.LE32(uint32_t(withChunk ? chunk.size() : 0));
        b.LE32(uint32_t(body.Size())).Bytes(body.Take());
        return b.Take();
    }

    TBytesV Attributes(int32_t w, int32_t h, uint16_t compression, uint16_t depth,
                       bool grey = false) const {
        TFileBuilder c;
        c.LE32(uint32_t(w)).LE32(uint32_t(h)).Zeros(8).U8(1).LE16(compression).LE16(depth);
        c.LE16(1).LE32(depth >= 24 ? 1u << 24 : 1u << depth).U8(grey ? 1 : 0);
        c.LE32(0).LE32(0).LE16(1);
        if (Major >= 5) c.LE32(1);
        return Block(bkImage, c.Take(), {});
    }

    TBytesV Palette(const std::vector<TTriple>& colours) const {
        TFileBuilder c, entries;
        c.LE32(uint32_t(colours.size()));
        for (const TTriple& t : colours)
            entries.U8(t.b).U8(t.g).U8(t.r).U8(0);
        return Block(bkPalette, c.Take(), entries.Take());
    }

    TBytesV Channel(uint16_t channelType, const TBytesV& data, uint32_t unpacked,
                    uint16_t bitmapType = btImage) const {
        TFileBuilder c;
        c.LE32(uint32_t(data.size())).LE32(unpacked).LE16(bitmapType).LE16(channelType);
        return Block(bkChannel, c.Take(), data);
    }

    // A layer of the given type whose pixels lie at saved (relative to its rectangle).
    TBytesV Layer(uint8_t type, std::array<int32_t, 4> rect, std::array<int32_t, 4> saved,
                  const TBytesV& channels, uint16_t channelCount) const {
        TFileBuilder c;
        if (Major <= 3)
            c.Text("Background").To(256);
        else
            c.LE16(5).Text("Layer");
        c.U8(type);
        for (int32_t v : rect)
            c.LE32(uint32_t(v));
        for (int32_t v : saved)
            c.LE32(uint32_t(v));
        c.U8(255).U8(0).U8(1).U8(0).U8(0);               // opacity, blend, flags, protection, link
        c.Zeros(32).U8(0).U8(0).U8(0).LE16(5).Zeros(40); // mask rectangles, flags, blend ranges
        TFileBuilder content;
        if (Major <= 4)
            c.LE16(1).LE16(channelCount);
        else
            content.LE32(8).LE16(1).LE16(channelCount); // the layer's bitmap chunk
        content.Bytes(channels);
        return Block(bkLayer, c.Take(), content.Take());
    }

    TBytesV LayerBank(const TBytesV& layers) const { return Block(bkLayerBank, {}, layers, false); }

    TBytesV CompositeAttributes(int32_t w, int32_t h, uint16_t depth, uint16_t compression,
                                uint16_t type) const {
        TFileBuilder c;
        c.LE32(uint32_t(w)).LE32(uint32_t(h)).LE16(depth).LE16(compression).LE16(1);
        c.LE32(depth >= 24 ? 1u << 24 : 1u << depth).LE16(type);
        return Block(bkCompositeAttributes, c.Take(), {});
    }

    TBytesV CompositeImage(const TBytesV& parts, uint16_t channelCount) const {
        TFileBuilder c;
        c.LE16(1).LE16(channelCount);
        return Block(bkCompositeImage, c.Take(), parts);
    }

    TBytesV CompositeBank(const TBytesV& images, uint32_t count) const {
        TFileBuilder c;
        c.LE32(count);
        return Block(bkCompositeBank, c.Take(), images);
    }
};

TBytesV Cat(std::initializer_list<TBytesV> parts) {
    TBytesV out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TBytesV Deflated(const TBytesV& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    TBytesV out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

// Three channels of a 24-bit bitmap.
TBytesV RgbChannels(const TPsp& f, const TBytesV& r, const TBytesV& g, const TBytesV& b,
                    uint16_t compression = cmNone, uint32_t unpacked = 0) {
    const auto pack = [&](const TBytesV& v) { return compression == cmLz77 ? Deflated(v) : v; };
    const uint32_t n = unpacked ? unpacked : uint32_t(r.size());
    return Cat({f.Channel(chRed, pack(r), n), f.Channel(chGreen, pack(g), n),
                f.Channel(chBlue, pack(b), n)});
}

const std::array<int32_t, 4> kFull32 = {0, 0, 3, 2};

struct PspCase {
    const char* what;
    std::function<TBytesV()> file;
    int width, height;
    std::vector<TTriple> expected;
    int depthFound;
};

class PspHandmade : public ::testing::TestWithParam<PspCase> {};

TEST_P(PspHandmade, DecodesThePicture) {
    const PspCase& c = GetParam();
    const TBitmap bmp = DecodePsp(c.file());
    ASSERT_EQ(bmp.Width(), c.width) << c.what;
    ASSERT_EQ(bmp.Height(), c.height) << c.what;
    EXPECT_TRUE(bmp.Is24Bit()) << c.what;
    EXPECT_EQ(PixelsOf(bmp), c.expected) << c.what;
    EXPECT_EQ(bmp.FoundBitDepth(), c.depthFound) << c.what;
}

const TBytesV kR = {10, 11, 12, 13, 14, 15}, kG = {20, 21, 22, 23, 24, 25},
              kB = {30, 31, 32, 33, 34, 35};
const std::vector<TTriple> kRgb32 = {Rgb(10, 20, 30), Rgb(11, 21, 31), Rgb(12, 22, 32),
                                     Rgb(13, 23, 33), Rgb(14, 24, 34), Rgb(15, 25, 35)};

// A 3 x 2 true-colour file of one background layer.
TBytesV OneLayer(int major, uint16_t compression, const TBytesV& channels) {
    const TPsp f(major);
    return Cat({f.Header(), f.Attributes(3, 2, compression, 24),
                f.LayerBank(f.Layer(major <= 3 ? 0 : 1, kFull32, kFull32, channels, 3))});
}

// Run-length form of kR, kG, kB: runs and literals mixed, a zero count and a run cut at the end.
TBytesV RleChannels(const TPsp& f) {
    return Cat({f.Channel(chRed, {6, 10, 11, 12, 13, 14, 15}, 6),
                f.Channel(chGreen, {0, 2, 20, 21, 3, 22, 23, 24, 1, 25}, 6),
                f.Channel(chBlue, {3, 30, 31, 32, 2, 33, 34, 0x83, 35}, 6)});
}

const TTriple W = Rgb(255, 255, 255);

INSTANTIATE_TEST_SUITE_P(
    Files, PspHandmade,
    ::testing::Values(
        PspCase{"version 5, uncompressed layer",
                [] { return OneLayer(5, cmNone, RgbChannels(TPsp(5), kR, kG, kB)); }, 3, 2,
                kRgb32, 24},
        PspCase{"version 6, run-length layer",
                [] { return OneLayer(6, cmRle, RleChannels(TPsp(6))); }, 3, 2, kRgb32, 24},
        PspCase{"version 8, LZ77 layer",
                [] { return OneLayer(8, cmLz77, RgbChannels(TPsp(8), kR, kG, kB, cmLz77)); }, 3,
                2, kRgb32, 24},
        PspCase{"version 4, channel counts inside the layer chunk",
                [] { return OneLayer(4, cmRle, RleChannels(TPsp(4))); }, 3, 2, kRgb32, 24},
        PspCase{"version 3, fixed-size layer name and chunk lengths in block headers",
                [] { return OneLayer(3, cmLz77, RgbChannels(TPsp(3), kR, kG, kB, cmLz77)); }, 3,
                2, kRgb32, 24},
        PspCase{"channels in blue, green, red order after a transparency mask",
                [] {
                    const TPsp f(6);
                    const TBytesV ch =
                        Cat({f.Channel(chSingle, TBytesV(6, 0), 6, btTransparency),
                             f.Channel(chBlue, kB, 6), f.Channel(chGreen, kG, 6),
                             f.Channel(chRed, kR, 6)});
                    return OneLayer(6, cmNone, ch);
                },
                3, 2, kRgb32, 24},
        PspCase{"unpacked rows padded to four bytes",
                [] {
                    const TBytesV r = {10, 11, 12, 0, 13, 14, 15, 0}, g = {20, 21, 22, 0, 23, 24,
                                                                           25, 0},
                                  b = {30, 31, 32, 0, 33, 34, 35, 0};
                    return OneLayer(6, cmNone, RgbChannels(TPsp(6), r, g, b));
                },
                3, 2, kRgb32, 24},
        PspCase{"8 bits through the main palette, blocks the reader skips around it",
                [] {
                    const TPsp f(5);
                    const TBytesV layer =
                        f.Layer(1, kFull32, kFull32, f.Channel(chSingle, {0, 1, 2, 2, 1, 0}, 6), 1);
                    return Cat({f.Header(), f.Attributes(3, 2, cmNone, 8),
                                f.Block(bkCreator, {1, 2, 3}, {4, 5}),
                                f.Palette({Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9)}),
                                f.Block(bkExtended, {}, {9, 9}), f.LayerBank(layer)});
                },
                3, 2,
                std::vector<TTriple>{Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9), Rgb(7, 8, 9),
                                     Rgb(4, 5, 6), Rgb(1, 2, 3)},
                8},
        PspCase{"8-bit greyscale without a palette",
                [] {
                    const TPsp f(5);
                    const TBytesV layer = f.Layer(
                        1, kFull32, kFull32, f.Channel(chSingle, Deflated({0, 9, 99, 128, 200, 255}), 6), 1);
                    return Cat({f.Header(), f.Attributes(3, 2, cmLz77, 8, true), f.LayerBank(layer)});
                },
                3, 2, std::vector<TTriple>{Grey(0), Grey(9), Grey(99), Grey(128), Grey(200), Grey(255)},
                8},
        PspCase{"4 bits, high nibble first, rows padded",
                [] {
                    const TPsp f(6);
                    const TBytesV layer = f.Layer(
                        1, kFull32, kFull32,
                        f.Channel(chSingle, {0x01, 0x20, 0, 0, 0x21, 0x00, 0, 0}, 8), 1);
                    return Cat({f.Header(), f.Attributes(3, 2, cmNone, 4),
                                f.Palette({Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(0, 0, 255)}),
                                f.LayerBank(layer)});
                },
                3, 2,
                std::vector<TTriple>{Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(0, 0, 255),
                                     Rgb(255, 0, 0), Rgb(0, 0, 0)},
                4},
        PspCase{"1 bit, most significant bit first, run-length",
                [] {
                    const TPsp f(6);
                    const std::array<int32_t, 4> r = {0, 0, 10, 2};
                    const TBytesV layer =
                        f.Layer(1, r, r, f.Channel(chSingle, {4, 0xA0, 0x40, 0x01, 0xC0}, 4), 1);
                    return Cat({f.Header(), f.Attributes(10, 2, cmRle, 1), f.LayerBank(layer)});
                },
                10, 2,
                std::vector<TTriple>{W, Grey(0), W, Grey(0), Grey(0), Grey(0), Grey(0), Grey(0),
                                     Grey(0), W, //
                                     Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0), Grey(0),
                                     W, W, W},
                1},
        PspCase{"a layer placed by its rectangles on a white canvas, cut at the edge",
                [] {
                    const TPsp f(6);
                    // Layer rectangle from (2, 1); saved pixels from (1, 0) inside it: 2 x 2 at
                    // (3, 1), whose right column falls off the 4 x 3 canvas.
                    const TBytesV layer = f.Layer(1, {2, 1, 6, 3}, {1, 0, 3, 2},
                                                  RgbChannels(f, {1, 2, 3, 4}, {5, 6, 7, 8},
                                                              {9, 10, 11, 12}),
                                                  3);
                    return Cat({f.Header(), f.Attributes(4, 3, cmNone, 24), f.LayerBank(layer)});
                },
                4, 3,
                std::vector<TTriple>{W, W, W, W, W, W, W, Rgb(1, 5, 9), W, W, W, Rgb(3, 7, 11)},
                24},
        PspCase{"a layer starting left of the canvas",
                [] {
                    const TPsp f(6);
                    const TBytesV layer = f.Layer(1, {-1, 0, 2, 1}, {0, 0, 3, 1},
                                                  RgbChannels(f, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}), 3);
                    return Cat({f.Header(), f.Attributes(3, 1, cmNone, 24), f.LayerBank(layer)});
                },
                3, 1, std::vector<TTriple>{Rgb(2, 5, 8), Rgb(3, 6, 9), W}, 24},
        PspCase{"a vector layer first: the first raster layer is taken",
                [] {
                    const TPsp f(6);
                    const TBytesV vector = f.Layer(3, kFull32, {0, 0, 0, 0}, {}, 0);
                    const TBytesV raster =
                        f.Layer(1, kFull32, kFull32, RgbChannels(f, kR, kG, kB), 3);
                    const TBytesV other = f.Layer(
                        1, kFull32, kFull32, RgbChannels(f, TBytesV(6), TBytesV(6), TBytesV(6)), 3);
                    return Cat({f.Header(), f.Attributes(3, 2, cmNone, 24),
                                f.LayerBank(Cat({vector, raster, other}))});
                },
                3, 2, kRgb32, 24},
        PspCase{"the composite wins over the layers; a thumbnail comes first",
                [] {
                    const TPsp f(6);
                    const TBytesV thumb =
                        Cat({f.CompositeAttributes(1, 1, 24, cmNone, 1),
                             f.CompositeImage(RgbChannels(f, {1}, {1}, {1}), 3)});
                    const TBytesV jpeg = Cat({f.CompositeAttributes(3, 2, 24, cmJpeg, 0),
                                              f.Block(bkJpeg, {1, 2}, {0xFF, 0xD8})});
                    const TBytesV full = Cat(
                        {f.CompositeAttributes(3, 2, 24, cmLz77, 0),
                         f.CompositeImage(RgbChannels(f, kR, kG, kB, cmLz77, 6), 3)});
                    const TBytesV layer = f.Layer(
                        1, kFull32, kFull32, RgbChannels(f, TBytesV(6), TBytesV(6), TBytesV(6)), 3);
                    return Cat({f.Header(), f.Attributes(3, 2, cmNone, 24),
                                f.CompositeBank(Cat({thumb, jpeg, full}), 3),
                                f.LayerBank(layer)});
                },
                3, 2, kRgb32, 24},
        PspCase{"an 8-bit composite with its own palette",
                [] {
                    const TPsp f(7);
                    const TBytesV full = Cat(
                        {f.CompositeAttributes(2, 1, 8, cmRle, 0),
                         f.CompositeImage(Cat({f.Palette({Rgb(9, 8, 7), Rgb(6, 5, 4)}),
                                               f.Channel(chSingle, {0x82, 1}, 2, btComposite)}),
                                          1)});
                    const std::array<int32_t, 4> r = {0, 0, 2, 1};
                    const TBytesV layer = f.Layer(1, r, r, f.Channel(chSingle, {0, 0}, 2), 1);
                    return Cat({f.Header(), f.Attributes(2, 1, cmNone, 8),
                                f.Palette({Rgb(0, 0, 0), Rgb(1, 1, 1)}),
                                f.CompositeBank(full, 1), f.LayerBank(layer)});
                },
                2, 1, std::vector<TTriple>{Rgb(6, 5, 4), Rgb(6, 5, 4)}, 8}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Psp, LoadsThroughBothNames) {
    const TBytesV file = OneLayer(6, cmNone, RgbChannels(TPsp(6), kR, kG, kB));
    for (const char* name : {"a.psp", "b.TUB"}) {
        const TLoadOutcome out = LoadBytesAs(QString::fromLatin1(name), file);
        ASSERT_EQ(out.Result, 1) << name;
        EXPECT_EQ(PixelsOf(out.Picture), kRgb32) << name;
    }
}

// --- Damaged files ------------------------------------------------------------------------

struct DamageCase {
    const char* what;
    std::function<TBytesV()> file;
};

class PspDamaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(PspDamaged, FailsWithTheLoadMessage) {
    const TLoadOutcome out = LoadBytesAs(QStringLiteral("a.psp"), GetParam().file());
    EXPECT_EQ(out.Result, -1) << GetParam().what;
    EXPECT_EQ(out.Messages, 1) << GetParam().what;
    EXPECT_EQ(out.Picture.Width(), 2) << GetParam().what;
}

TBytesV GoodFile() {
    return OneLayer(6, cmNone, RgbChannels(TPsp(6), kR, kG, kB));
}

// A file of one layer whose parts the damage chooses.
TBytesV LayerFile(int32_t w, int32_t h, uint16_t compression, uint16_t depth,
                  const TBytesV& channels, std::array<int32_t, 4> saved = kFull32) {
    const TPsp f(6);
    return Cat({f.Header(), f.Attributes(w, h, compression, depth),
                f.LayerBank(f.Layer(1, saved, saved, channels, 3))});
}

TBytesV Patched(TBytesV b, size_t at, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), b.begin() + ptrdiff_t(at));
    return b;
}

// Offsets in a version 6 file: header 36, then the attributes block header (10) and chunk.
constexpr size_t kAttributesChunk = 36 + 10;

INSTANTIATE_TEST_SUITE_P(
    Cases, PspDamaged,
    ::testing::Values(
        DamageCase{"empty", [] { return TBytesV{}; }},
        DamageCase{"bad signature", [] { return Patched(GoodFile(), 0, {'p'}); }},
        DamageCase{"version 2", [] { return Patched(GoodFile(), 32, {2}); }},
        DamageCase{"no attributes block",
                   [] {
                       const TPsp f(6);
                       return Cat(
                           {f.Header(), f.LayerBank(f.Layer(1, kFull32, kFull32,
                                                            RgbChannels(f, kR, kG, kB), 3))});
                   }},
        DamageCase{"zero width",
                   [] { return LayerFile(0, 2, cmNone, 24, RgbChannels(TPsp(6), kR, kG, kB)); }},
        DamageCase{"negative height",
                   [] { return LayerFile(3, -2, cmNone, 24, RgbChannels(TPsp(6), kR, kG, kB)); }},
        DamageCase{"16 bits",
                   [] { return LayerFile(3, 2, cmNone, 16, RgbChannels(TPsp(6), kR, kG, kB)); }},
        DamageCase{"48 bits",
                   [] { return LayerFile(3, 2, cmNone, 48, RgbChannels(TPsp(6), kR, kG, kB)); }},
        DamageCase{"JPEG layers",
                   [] { return LayerFile(3, 2, cmJpeg, 24, RgbChannels(TPsp(6), kR, kG, kB)); }},
        DamageCase{"attributes chunk size below its own field",
                   [] {
                       return Patched(GoodFile(), kAttributesChunk, {3, 0, 0, 0});
                   }},
        DamageCase{"attributes chunk larger than its block",
                   [] {
                       return Patched(GoodFile(), kAttributesChunk, {0xFF, 0, 0, 0});
                   }},
        DamageCase{"block length past the end of the file",
                   [] {
                       return Patched(GoodFile(), 36 + 6, {0xFF, 0xFF, 0xFF, 0x7F});
                   }},
        DamageCase{"a channel longer than its block",
                   [] {
                       const TPsp f(6);
                       TBytesV ch = f.Channel(chRed, kR, 6);
                       ch[14] = 60; // compressed length
                       return LayerFile(
                           3, 2, cmNone, 24,
                           Cat({ch, f.Channel(chGreen, kG, 6), f.Channel(chBlue, kB, 6)}));
                   }},
        DamageCase{"a missing green channel",
                   [] {
                       const TPsp f(6);
                       return LayerFile(3, 2, cmNone, 24,
                                        Cat({f.Channel(chRed, kR, 6), f.Channel(chBlue, kB, 6)}));
                   }},
        DamageCase{"an uncompressed channel one byte short",
                   [] {
                       const TPsp f(6);
                       return LayerFile(3, 2, cmNone, 24,
                                        Cat({f.Channel(chRed, {1, 2, 3, 4, 5}, 6),
                                             f.Channel(chGreen, kG, 6), f.Channel(chBlue, kB, 6)}));
                   }},
        DamageCase{"a channel claiming less than its bitmap",
                   [] {
                       return LayerFile(3, 2, cmNone, 24,
                                        RgbChannels(TPsp(6), kR, kG, kB, cmNone, 5));
                   }},
        DamageCase{"a run-length channel that ends early",
                   [] {
                       const TPsp f(6);
                       return LayerFile(
                           3, 2, cmRle, 24,
                           Cat({f.Channel(chRed, {0x84, 1}, 6), f.Channel(chGreen, {0x86, 1}, 6),
                                f.Channel(chBlue, {0x86, 1}, 6)}));
                   }},
        DamageCase{"a run-length literal past the data",
                   [] {
                       const TPsp f(6);
                       return LayerFile(
                           3, 2, cmRle, 24,
                           Cat({f.Channel(chRed, {6, 1, 2}, 6), f.Channel(chGreen, {0x86, 1}, 6),
                                f.Channel(chBlue, {0x86, 1}, 6)}));
                   }},
        DamageCase{"an LZ77 stream cut short",
                   [] {
                       const TPsp f(6);
                       TBytesV cut = Deflated(kR);
                       cut.resize(cut.size() / 2);
                       return LayerFile(
                           3, 2, cmLz77, 24,
                           Cat({f.Channel(chRed, cut, 6), f.Channel(chGreen, Deflated(kG), 6),
                                f.Channel(chBlue, Deflated(kB), 6)}));
                   }},
        DamageCase{"an LZ77 stream of too few bytes",
                   [] {
                       const TPsp f(6);
                       return LayerFile(3, 2, cmLz77, 24,
                                        Cat({f.Channel(chRed, Deflated({1, 2}), 6),
                                             f.Channel(chGreen, Deflated(kG), 6),
                                             f.Channel(chBlue, Deflated(kB), 6)}));
                   }},
        DamageCase{"LZ77 garbage",
                   [] {
                       const TPsp f(6);
                       return LayerFile(3, 2, cmLz77, 24,
                                        Cat({f.Channel(chRed, {1, 2, 3, 4, 5, 6, 7}, 6),
                                             f.Channel(chGreen, Deflated(kG), 6),
                                             f.Channel(chBlue, Deflated(kB), 6)}));
                   }},
        DamageCase{"only a vector layer",
                   [] {
                       const TPsp f(6);
                       return Cat({f.Header(), f.Attributes(3, 2, cmNone, 24),
                                   f.LayerBank(f.Layer(3, kFull32, {0, 0, 0, 0}, {}, 0))});
                   }},
        DamageCase{"no layer bank",
                   [] {
                       const TPsp f(6);
                       return Cat({f.Header(), f.Attributes(3, 2, cmNone, 24)});
                   }},
        DamageCase{
            "a saved rectangle turned inside out",
            [] {
                return LayerFile(3, 2, cmNone, 24, RgbChannels(TPsp(6), kR, kG, kB), {3, 0, 0, 2});
            }},
        DamageCase{"a canvas far larger than the file",
                   [] {
                       return LayerFile(16000, 16000, cmLz77, 24,
                                        RgbChannels(TPsp(6), kR, kG, kB, cmLz77));
                   }},
        DamageCase{"a layer far larger than its run-length data",
                   [] {
                       const TPsp f(6);
                       const uint32_t n = 16000u * 16000u;
                       return LayerFile(
                           3, 2, cmRle, 24,
                           Cat({f.Channel(chRed, {0xFF, 1}, n), f.Channel(chGreen, {0xFF, 1}, n),
                                f.Channel(chBlue, {0xFF, 1}, n)}),
                           {0, 0, 16000, 16000});
                   }},
        DamageCase{"a layer far larger than its LZ77 data",
                   [] {
                       return LayerFile(3, 2, cmLz77, 24,
                                        RgbChannels(TPsp(6), kR, kG, kB, cmLz77, 0x7FFFFFFF),
                                        {0, 0, 16000, 16000});
                   }}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Every cut of a good file fails cleanly or, where the cut falls between blocks that the
// picture does not need, gives the same picture.
TEST(PspTruncated, EveryPrefixFailsOrGivesThePicture) {
    const TPsp f(6);
    const TBytesV withComposite =
        Cat({f.Header(), f.Attributes(3, 2, cmRle, 24),
             f.CompositeBank(Cat({f.CompositeAttributes(3, 2, 24, cmRle, 0),
                                  f.CompositeImage(RleChannels(f), 3)}),
                             1),
             f.LayerBank(f.Layer(1, kFull32, kFull32, RleChannels(f), 3))});
    for (const TBytesV& good : {GoodFile(), withComposite,
                                OneLayer(3, cmLz77, RgbChannels(TPsp(3), kR, kG, kB, cmLz77))}) {
        ASSERT_EQ(PixelsOf(DecodePsp(good)), kRgb32);
        for (size_t n = 0; n < good.size(); ++n) {
            const TBytesV cut(good.begin(), good.begin() + ptrdiff_t(n));
            try {
                EXPECT_EQ(PixelsOf(DecodePsp(cut)), kRgb32) << n;
            } catch (const ETaveluneError&) {
            }
        }
    }
}

} // namespace
