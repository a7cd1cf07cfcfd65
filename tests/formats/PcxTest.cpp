// SPDX-License-Identifier: GPL-2.0-or-later
// Paintbrush files built byte by byte for every plane layout, files written by ImageMagick and
// netpbm, and damaged files.
#include "RasterTestUtil.h"
#include "TestPrinters.h"
#include "formats/PcxCodec.h"

#include <gtest/gtest.h>

namespace {

struct TPcxFields {
    int Bits = 8, Planes = 1, Width = 1, Height = 1, BytesPerLine = 2;
    TByteVector Colormap; // up to 16 red, green, blue triples
    TByteVector Data;     // encoded lines
    TByteVector Trailer;  // what follows the data (a 256-colour palette)
    uint8_t Version = 5, Encoding = 1;
    uint16_t XMin = 0, YMin = 0;
};

TByteVector PcxFile(const TPcxFields& s) {
    TByteVector b(128, 0);
    b[0] = 0x0A;
    b[1] = s.Version;
    b[2] = s.Encoding;
    b[3] = uint8_t(s.Bits);
    PutLE16(b, 4, s.XMin);
    PutLE16(b, 6, s.YMin);
    PutLE16(b, 8, uint16_t(s.XMin + s.Width - 1));
    PutLE16(b, 10, uint16_t(s.YMin + s.Height - 1));
    PutLE16(b, 12, 72);
    PutLE16(b, 14, 72);
    std::copy(s.Colormap.begin(), s.Colormap.end(), b.begin() + 16);
    b[65] = uint8_t(s.Planes);
    PutLE16(b, 66, uint16_t(s.BytesPerLine));
    b[68] = 1;
    Append(b, s.Data);
    Append(b, s.Trailer);
    return b;
}

// Header palette entry i = (16 i, 255 - 16 i, i).
TByteVector RampColormap() {
    TByteVector m;
    for (int i = 0; i < 16; ++i)
        Append(m, {uint8_t(16 * i), uint8_t(255 - 16 * i), uint8_t(i)});
    return m;
}
TTriple Ramp(int i) {
    return Rgb(uint8_t(16 * i), uint8_t(255 - 16 * i), uint8_t(i));
}

// The 256-colour trailer, entry i = (i, 255 - i, i / 2).
TByteVector Trailer256() {
    TByteVector t = {0x0C};
    for (int i = 0; i < 256; ++i)
        Append(t, {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return t;
}
TTriple Entry256(int i) {
    return Rgb(uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
}

const TTriple kBlack = Grey(0), kWhite = Grey(255);

struct PcxCase {
    const char* what;
    TPcxFields fields;
    std::vector<TTriple> pixels; // top row first
    int depth;
    friend void PrintTo(const PcxCase& c, std::ostream* os) { *os << c.what; }
};

class PcxHandmade : public ::testing::TestWithParam<PcxCase> {};

TEST_P(PcxHandmade, DecodesThePixels) {
    const PcxCase& c = GetParam();
    const TBitmap bmp = DecodePcx(PcxFile(c.fields));
    EXPECT_EQ(bmp.Width(), c.fields.Width) << c.what;
    EXPECT_EQ(bmp.Height(), c.fields.Height) << c.what;
    EXPECT_EQ(PixelList(bmp), c.pixels) << c.what;
    EXPECT_EQ(bmp.FoundBitDepth(), c.depth) << c.what;
}

TPcxFields Fields(int bits, int planes, int w, int h, int bpl, TByteVector data) {
    TPcxFields s;
    s.Bits = bits;
    s.Planes = planes;
    s.Width = w;
    s.Height = h;
    s.BytesPerLine = bpl;
    s.Data = std::move(data);
    return s;
}
template <typename F>
TPcxFields With(TPcxFields s, F change) {
    change(s);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PcxHandmade,
    ::testing::Values(
        // Rows 101 and 010, stored; an empty header palette means black and white.
        PcxCase{"mono stored",
                With(Fields(1, 1, 3, 2, 2, {0xA0, 0x00, 0x40, 0x00}),
                     [](TPcxFields& s) { s.Encoding = 0; }),
                {kWhite, kBlack, kWhite, kBlack, kWhite, kBlack},
                1},
        // A run of two 0xFF bytes, then two literal zero bytes; the header gives the colours.
        PcxCase{"mono coloured",
                With(Fields(1, 1, 3, 2, 2, {0xC2, 0xFF, 0x00, 0x00}),
                     [](TPcxFields& s) { s.Colormap = {255, 0, 0, 0, 0, 255}; }),
                {Rgb(0, 0, 255), Rgb(0, 0, 255), Rgb(0, 0, 255), Rgb(255, 0, 0), Rgb(255, 0, 0),
                 Rgb(255, 0, 0)},
                1},
        // Four planes of one bit: x = 0 has bits 1,0,1,0 (index 5), x = 1 bits 0,1,1,1 (14);
        // the byte 0xC0 of the third plane is escaped as a run of one.
        PcxCase{"ega planes",
                With(Fields(1, 4, 2, 1, 2, {0x80, 0, 0x40, 0, 0xC1, 0xC0, 0, 0x40, 0}),
                     [](TPcxFields& s) { s.Colormap = RampColormap(); }),
                {Ramp(5), Ramp(14)},
                4},
        PcxCase{"ega planes, version without palette",
                With(Fields(1, 4, 2, 1, 2, {0x80, 0, 0x40, 0, 0xC1, 0xC0, 0, 0x40, 0}),
                     [](TPcxFields& s) {
                         s.Colormap = RampColormap();
                         s.Version = 3;
                     }),
                {Rgb(0xAA, 0, 0xAA), Rgb(0xFF, 0xFF, 0x55)},
                4},
        PcxCase{"ega planes, empty header palette",
                Fields(1, 4, 2, 1, 2, {0x80, 0, 0x40, 0, 0xC1, 0xC0, 0, 0x40, 0}),
                {Rgb(0xAA, 0, 0xAA), Rgb(0xFF, 0xFF, 0x55)},
                4},
        // Two planes of one bit: indices 1, 2, 3, 0.
        PcxCase{"four colours in planes",
                With(Fields(1, 2, 4, 1, 2, {0xA0, 0, 0x60, 0}),
                     [](TPcxFields& s) { s.Colormap = RampColormap(); }),
                {Ramp(1), Ramp(2), Ramp(3), Ramp(0)},
                2},
        // Packed two-bit pixels 0, 1, 2, 3 | 2.
        PcxCase{"packed two bits",
                With(Fields(2, 1, 5, 1, 2, {0x1B, 0x80}),
                     [](TPcxFields& s) { s.Colormap = RampColormap(); }),
                {Ramp(0), Ramp(1), Ramp(2), Ramp(3), Ramp(2)},
                2},
        // Packed four-bit pixels 3, 15, 10; 0xAF would read as a run, so it is escaped.
        PcxCase{"packed four bits",
                With(Fields(4, 1, 3, 1, 2, {0x3F, 0xC1, 0xA0}),
                     [](TPcxFields& s) { s.Colormap = RampColormap(); }),
                {Ramp(3), Ramp(15), Ramp(10)},
                4},
        // Two planes of two bits: index = low plane | high plane << 2 = 1 | 2 << 2 = 9.
        PcxCase{"two planes of two bits",
                With(Fields(2, 2, 1, 1, 2, {0x40, 0, 0x80, 0}),
                     [](TPcxFields& s) { s.Colormap = RampColormap(); }),
                {Ramp(9)},
                4},
        // Lines of 4 bytes for 3 pixels: a run of three 7s and a pad byte, then 0, an escaped
        // 197, 9 and a pad byte.
        PcxCase{"256 colours",
                With(Fields(8, 1, 3, 2, 4, {0xC3, 7, 1, 0, 0xC1, 0xC5, 9, 0}),
                     [](TPcxFields& s) { s.Trailer = Trailer256(); }),
                {Entry256(7), Entry256(7), Entry256(7), Entry256(0), Entry256(197), Entry256(9)},
                8},
        PcxCase{"eight bits without a palette are grey",
                Fields(8, 1, 3, 2, 4, {0xC3, 7, 1, 0, 0xC1, 0xC5, 9, 0}),
                {Grey(7), Grey(7), Grey(7), Grey(0), Grey(197), Grey(9)},
                8},
        // One run of four fills both lines.
        PcxCase{"run across lines",
                Fields(8, 1, 2, 2, 2, {0xC4, 5}),
                {Grey(5), Grey(5), Grey(5), Grey(5)},
                8},
        // Red plane 10 20, green 30 40, blue 50 60.
        PcxCase{"three planes",
                Fields(8, 3, 2, 1, 2, {10, 20, 30, 40, 50, 60}),
                {Rgb(10, 30, 50), Rgb(20, 40, 60)},
                24},
        PcxCase{"window away from the origin",
                With(Fields(8, 3, 2, 1, 2, {10, 20, 30, 40, 50, 60}),
                     [](TPcxFields& s) {
                         s.XMin = 100;
                         s.YMin = 7;
                     }),
                {Rgb(10, 30, 50), Rgb(20, 40, 60)},
                24}));

TEST(PcxHandmade, FourPlanesKeepAlpha) {
    const TBitmap bmp =
        DecodePcx(PcxFile(Fields(8, 4, 2, 1, 2, {10, 20, 30, 40, 50, 60, 0, 0xC1, 200})));
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(AlphaList(bmp), (TByteVector{0, 200}));
    EXPECT_EQ(PixelList(bmp), (std::vector<TTriple>{Rgb(10, 30, 50), Rgb(20, 40, 60)}));
    EXPECT_EQ(bmp.FoundBitDepth(), 32);
}

TEST(PcxHandmade, EveryRegisteredExtensionLoads) {
    const TByteVector file = PcxFile(Fields(8, 3, 2, 1, 2, {10, 20, 30, 40, 50, 60}));
    for (const char* name : {"a.pcx", "b.PCC", "c.scr"}) {
        const TDispatchedLoad load = LoadThroughDispatcher(QString::fromLatin1(name), file);
        EXPECT_EQ(load.Result, 1) << name;
        EXPECT_EQ(PixelList(load.Picture), (std::vector<TTriple>{Rgb(10, 30, 50), Rgb(20, 40, 60)}))
            << name;
        EXPECT_TRUE(load.Messages.isEmpty());
    }
}

// Damaged files.

TByteVector GoodTrueColour() {
    // 5 x 4, each plane line of 6 bytes as one run of 6 then nothing more.
    TByteVector data;
    for (int y = 0; y < 4; ++y)
        for (int p = 0; p < 3; ++p)
            Append(data, {0xC6, uint8_t(y * 40 + p)});
    return PcxFile(Fields(8, 3, 5, 4, 6, data));
}

TByteVector GoodPalette() {
    TPcxFields s = Fields(8, 1, 3, 2, 4, {0xC3, 7, 1, 0, 0xC1, 0xC5, 9, 0});
    s.Trailer = Trailer256();
    return PcxFile(s);
}

TEST(PcxDamaged, EveryTruncationFails) {
    ExpectTruncationsFail(QStringLiteral("a.pcx"), GoodTrueColour());
    // Cut exactly after the picture data, the file is a valid grey picture.
    const size_t dataEnd = 128 + 8;
    ExpectTruncationsFail(QStringLiteral("a.pcx"), GoodPalette(), {dataEnd});
    ExpectTruncationsFail(QStringLiteral("a.pcx"),
                          PcxFile(With(Fields(1, 1, 3, 2, 2, {0xA0, 0x00, 0x40, 0x00}),
                                       [](TPcxFields& s) { s.Encoding = 0; })));
}

// 32 to 128 colours have no palette to come from: neither the header's 16 entries nor the
// 256 at the end.
TEST(PcxDamaged, ColourCountsWithoutAPaletteFail) {
    for (const auto& [bits, planes] : {std::pair{1, 5}, {1, 6}, {1, 7}, {2, 3}}) {
        const TPcxFields s = Fields(bits, planes, 8, 1, 2, TByteVector(size_t(2 * planes), 0x11));
        EXPECT_THROW(DecodePcx(PcxFile(s)), ETaveluneError) << bits << " x " << planes;
    }
}

struct PcxLie {
    const char* what;
    size_t at;
    TByteVector bytes;
    friend void PrintTo(const PcxLie& c, std::ostream* os) { *os << c.what; }
};
class PcxLyingHeader : public ::testing::TestWithParam<PcxLie> {};
TEST_P(PcxLyingHeader, FailsWithTheLoadMessage) {
    TByteVector b = GoodTrueColour();
    ASSERT_EQ(LoadThroughDispatcher(QStringLiteral("a.pcx"), b).Result, 1);
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), b.begin() + GetParam().at);
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.pcx"), b);
    EXPECT_EQ(load.Result, -1) << GetParam().what;
    EXPECT_EQ(load.Messages.size(), 1) << GetParam().what;
}
INSTANTIATE_TEST_SUITE_P(
    Headers, PcxLyingHeader,
    ::testing::Values(
        PcxLie{"signature", 0, {0x0B}}, PcxLie{"version 1", 1, {1}}, PcxLie{"version 6", 1, {6}},
        PcxLie{"encoding 2", 2, {2}}, PcxLie{"three bits", 3, {3}}, PcxLie{"sixteen bits", 3, {16}},
        PcxLie{"eight bits in two planes", 65, {2}}, PcxLie{"no planes", 65, {0}},
        PcxLie{"left after right", 4, {10, 0}}, PcxLie{"bottom above top", 4, {0, 0, 9, 0}},
        PcxLie{"lines shorter than the width", 66, {4, 0}},
        // 16000 x 16000 is within the program's cap, but 40 bytes of runs cannot
        // fill it.
        PcxLie{"huge window", 8, {0x7F, 0x3E, 0x7F, 0x3E}}, PcxLie{"huge lines", 66, {0xFF, 0xFF}},
        PcxLie{"largest window", 4, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}}));

// Files written by ImageMagick and netpbm.

struct PcxToolCase {
    const char* what;
    TToolSource source;
    const char* tool;
    QStringList args;
    int depth;
    friend void PrintTo(const PcxToolCase& c, std::ostream* os) { *os << c.what; }
};
class PcxFromTools : public ::testing::TestWithParam<PcxToolCase> {};
TEST_P(PcxFromTools, LoadWithTheSourcePixels) {
    const PcxToolCase& c = GetParam();
    REQUIRE_TOOL(c.tool);
    const TToolSourceImage src = MakeToolSource(c.source);
    const TByteVector file = MakeWithTool(QString::fromLatin1(c.tool), c.args, src);
    ASSERT_FALSE(file.empty()) << c.what;
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.pcx"), file);
    ASSERT_EQ(load.Result, 1) << c.what;
    EXPECT_EQ(load.Picture.FoundBitDepth(), c.depth) << c.what;
    EXPECT_EQ(PixelList(load.Picture), PixelList(src.Colour)) << c.what;
    if (!src.Alpha.empty()) {
        EXPECT_EQ(AlphaList(load.Picture), src.Alpha) << c.what;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Files, PcxFromTools,
    ::testing::Values(
        PcxToolCase{"im true colour", tsColours, "convert", {"IN", "PCX:OUT"}, 24},
        PcxToolCase{
            "im palette", tsTwoHundred, "convert", {"IN", "-type", "Palette", "PCX:OUT"}, 8},
        PcxToolCase{"im alpha", tsAlphaRamp, "convert", {"IN", "PCX:OUT"}, 32},
        PcxToolCase{"netpbm 24", tsColours, "ppmtopcx", {"-24bit", "IN"}, 24},
        PcxToolCase{"netpbm 8", tsTwoHundred, "ppmtopcx", {"-8bit", "IN"}, 8},
        PcxToolCase{"netpbm 16 colours in planes", tsSixteen, "ppmtopcx", {"IN"}, 4},
        PcxToolCase{"netpbm 16 colours packed", tsSixteen, "ppmtopcx", {"-packed", "IN"}, 4},
        PcxToolCase{"netpbm 4 colours in planes", tsFour, "ppmtopcx", {"IN"}, 2},
        PcxToolCase{"netpbm 4 colours packed", tsFour, "ppmtopcx", {"-packed", "IN"}, 2},
        PcxToolCase{"netpbm 2 colours", tsTwo, "ppmtopcx", {"IN"}, 1},
        PcxToolCase{"netpbm black and white", tsBlackWhite, "ppmtopcx", {"IN"}, 1}));

} // namespace
