// SPDX-License-Identifier: GPL-2.0-or-later
// SGI files built byte by byte (verbatim and run-length, 8 and 16 bits, one to five channels),
// files written by ImageMagick and netpbm, and damaged files.
#include "RasterTestUtil.h"
#include "TestPrinters.h"
#include "formats/SgiCodec.h"

#include <gtest/gtest.h>

namespace {

struct TSgiFields {
    uint8_t Storage = 0, Bpc = 1;
    uint16_t Dimension = 3, X = 1, Y = 1, Z = 1;
    uint32_t Colormap = 0;
};

TByteVector SgiHeader(const TSgiFields& s) {
    TByteVector b(512, 0);
    PutBE16(b, 0, 474);
    b[2] = s.Storage;
    b[3] = s.Bpc;
    PutBE16(b, 4, s.Dimension);
    PutBE16(b, 6, s.X);
    PutBE16(b, 8, s.Y);
    PutBE16(b, 10, s.Z);
    PutBE32(b, 16, s.Bpc == 1 ? 255 : 65535);
    PutBE32(b, 104, s.Colormap);
    return b;
}

// Samples channel after channel, each channel's rows from the bottom.
TByteVector SgiVerbatim(TSgiFields s, const std::vector<uint32_t>& samples) {
    s.Storage = 0;
    TByteVector b = SgiHeader(s);
    for (const uint32_t v : samples) {
        if (s.Bpc == 2) b.push_back(uint8_t(v >> 8));
        b.push_back(uint8_t(v));
    }
    return b;
}

// Run-length rows: entry y + c * Y of the tables points at rows[rowOf[entry]].
TByteVector SgiRle(TSgiFields s, const std::vector<TByteVector>& rows,
                   std::vector<int> rowOf = {}) {
    s.Storage = 1;
    const size_t entries = size_t(s.Y) * s.Z;
    if (rowOf.empty())
        for (size_t i = 0; i < entries; ++i)
            rowOf.push_back(int(i));
    TByteVector b = SgiHeader(s);
    b.resize(512 + 8 * entries, 0);
    std::vector<uint32_t> starts;
    for (const TByteVector& r : rows) {
        starts.push_back(uint32_t(b.size()));
        Append(b, r);
    }
    for (size_t i = 0; i < entries; ++i) {
        PutBE32(b, 512 + 4 * i, starts[size_t(rowOf[i])]);
        PutBE32(b, 512 + 4 * entries + 4 * i, uint32_t(rows[size_t(rowOf[i])].size()));
    }
    return b;
}

TSgiFields Fields(uint16_t dimension, uint16_t x, uint16_t y, uint16_t z, uint8_t bpc = 1) {
    TSgiFields s;
    s.Dimension = dimension;
    s.X = x;
    s.Y = y;
    s.Z = z;
    s.Bpc = bpc;
    return s;
}

struct SgiCase {
    const char* what;
    TByteVector file;
    int width, height;
    std::vector<TTriple> pixels; // top row first
    TByteVector alpha;           // empty when the picture has none
    int depth;
    friend void PrintTo(const SgiCase& c, std::ostream* os) { *os << c.what; }
};

class SgiHandmade : public ::testing::TestWithParam<SgiCase> {};
TEST_P(SgiHandmade, DecodesThePixels) {
    const SgiCase& c = GetParam();
    const TBitmap bmp = DecodeSgi(c.file);
    EXPECT_EQ(bmp.Width(), c.width);
    EXPECT_EQ(bmp.Height(), c.height);
    EXPECT_EQ(PixelList(bmp), c.pixels);
    EXPECT_EQ(AlphaList(bmp), c.alpha);
    EXPECT_EQ(bmp.FoundBitDepth(), c.depth);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SgiHandmade,
    ::testing::Values(
        SgiCase{"verbatim colour, bottom row first",
                SgiVerbatim(Fields(3, 2, 2, 3), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
                2,
                2,
                {Rgb(3, 7, 11), Rgb(4, 8, 12), Rgb(1, 5, 9), Rgb(2, 6, 10)},
                {},
                24},
        // 16-bit samples round to the nearest 8-bit value.
        SgiCase{"verbatim 16-bit grey",
                SgiVerbatim(Fields(2, 5, 1, 7, 2), {0x00FF, 0x7F7F, 0x8080, 0xFFFF, 0x0080}),
                5,
                1,
                {Grey(1), Grey(127), Grey(128), Grey(255), Grey(0)},
                {},
                16},
        SgiCase{"one dimension ignores the other sizes",
                SgiVerbatim(Fields(1, 3, 77, 9), {4, 5, 6}),
                3,
                1,
                {Grey(4), Grey(5), Grey(6)},
                {},
                8},
        SgiCase{"grey and alpha",
                SgiVerbatim(Fields(3, 1, 1, 2), {50, 128}),
                1,
                1,
                {Grey(50)},
                {128},
                16},
        SgiCase{"a fifth channel is skipped",
                SgiVerbatim(Fields(3, 1, 1, 5), {1, 2, 3, 4, 5}),
                1,
                1,
                {Rgb(1, 2, 3)},
                {4},
                32},
        // Bottom row: a run of three 9s; top row: three literal samples.
        SgiCase{"run-length grey",
                SgiRle(Fields(2, 3, 2, 1), {{0x03, 9, 0}, {0x83, 1, 2, 3, 0}}),
                3,
                2,
                {Grey(1), Grey(2), Grey(3), Grey(9), Grey(9), Grey(9)},
                {},
                8},
        // Rows 0 and 2 share their data.
        SgiCase{"shared rows",
                SgiRle(Fields(2, 2, 3, 1), {{0x02, 40, 0}, {0x82, 1, 2, 0}}, {0, 1, 0}),
                2,
                3,
                {Grey(40), Grey(40), Grey(1), Grey(2), Grey(40), Grey(40)},
                {},
                8},
        SgiCase{"a run longer than the row is cut",
                SgiRle(Fields(2, 2, 1, 1), {{0x05, 7, 0}}),
                2,
                1,
                {Grey(7), Grey(7)},
                {},
                8},
        SgiCase{"a row may end without its terminator",
                SgiRle(Fields(2, 2, 1, 1), {{0x02, 6}}),
                2,
                1,
                {Grey(6), Grey(6)},
                {},
                8},
        // Packets of 16-bit units: the count is in the low byte of the unit.
        SgiCase{"run-length 16-bit colour and alpha",
                SgiRle(Fields(3, 2, 1, 4, 2), {{0, 0x02, 0xFF, 0xFF, 0, 0},
                                               {0, 0x82, 0x00, 0x00, 0x80, 0x80, 0, 0},
                                               {0, 0x02, 0x40, 0x40, 0, 0},
                                               {0, 0x82, 0xFF, 0xFF, 0x00, 0x00, 0, 0}}),
                2,
                1,
                {Rgb(255, 0, 64), Rgb(255, 128, 64)},
                {255, 0},
                64}));

TEST(SgiHandmade, EveryRegisteredExtensionLoads) {
    const TByteVector file = SgiVerbatim(Fields(3, 1, 1, 3), {10, 20, 30});
    for (const char* name : {"a.sgi", "a.RGB", "a.rgba", "a.bw"}) {
        const TDispatchedLoad load = LoadThroughDispatcher(QString::fromLatin1(name), file);
        EXPECT_EQ(load.Result, 1) << name;
        EXPECT_EQ(PixelList(load.Picture), std::vector<TTriple>{Rgb(10, 20, 30)}) << name;
    }
}

// Damaged files.

// 2 x 2 colour, run-length: tables at 512 (starts) and 536 (lengths), rows from 560, 3 bytes
// each.
TByteVector GoodRle() {
    std::vector<TByteVector> rows;
    for (int i = 0; i < 6; ++i)
        rows.push_back({0x02, uint8_t(10 * i), 0});
    return SgiRle(Fields(3, 2, 2, 3), rows);
}

TEST(SgiDamaged, EveryTruncationFails) {
    ExpectTruncationsFail(QStringLiteral("a.sgi"), GoodRle());
    ExpectTruncationsFail(QStringLiteral("a.rgb"),
                          SgiVerbatim(Fields(3, 2, 2, 3, 2), std::vector<uint32_t>(12, 0x1234)));
}

struct SgiLie {
    const char* what;
    size_t at;
    TByteVector bytes;
    friend void PrintTo(const SgiLie& c, std::ostream* os) { *os << c.what; }
};
class SgiLyingFile : public ::testing::TestWithParam<SgiLie> {};
TEST_P(SgiLyingFile, FailsWithTheLoadMessage) {
    TByteVector b = GoodRle();
    ASSERT_EQ(LoadThroughDispatcher(QStringLiteral("a.sgi"), b).Result, 1);
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), b.begin() + GetParam().at);
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.sgi"), b);
    EXPECT_EQ(load.Result, -1);
    EXPECT_EQ(load.Messages.size(), 1);
}
INSTANTIATE_TEST_SUITE_P(
    Fields, SgiLyingFile,
    ::testing::Values(SgiLie{"signature", 0, {0x01, 0xDB}}, SgiLie{"storage 2", 2, {2}},
                      SgiLie{"no sample size", 3, {0}}, SgiLie{"three-byte samples", 3, {3}},
                      SgiLie{"dimension 0", 4, {0, 0}}, SgiLie{"dimension 4", 4, {0, 4}},
                      SgiLie{"no width", 6, {0, 0}}, SgiLie{"no channels", 10, {0, 0}},
                      SgiLie{"colour-map file", 104, {0, 0, 0, 3}},
                      SgiLie{"dithered file", 104, {0, 0, 0, 1}},
                      // 16000 x 16000 is within the program's cap; its tables alone would not fit.
                      SgiLie{"huge picture", 6, {0x3E, 0x80, 0x3E, 0x80}},
                      SgiLie{"wider than the rows can give", 6, {0x01, 0x00}},
                      SgiLie{"row in the header", 512, {0, 0, 0, 100}},
                      SgiLie{"row in the tables", 512 + 4, {0, 0, 2, 0x20}},
                      SgiLie{"row past the end", 512 + 8, {0, 0, 0x10, 0}},
                      SgiLie{"length past the end", 536 + 20, {0, 0, 0, 4}},
                      SgiLie{"row ends early", 560 + 6, {0x00}},
                      SgiLie{"literal past its row", 560 + 9, {0x85}}));

// Files written by ImageMagick and netpbm.

struct SgiToolCase {
    const char* what;
    TToolSource source;
    const char* tool;
    QStringList args;
    int depth;
    friend void PrintTo(const SgiToolCase& c, std::ostream* os) { *os << c.what; }
};
class SgiFromTools : public ::testing::TestWithParam<SgiToolCase> {};
TEST_P(SgiFromTools, LoadWithTheSourcePixels) {
    const SgiToolCase& c = GetParam();
    REQUIRE_TOOL(c.tool);
    const TToolSourceImage src = MakeToolSource(c.source);
    const TByteVector file = MakeWithTool(QString::fromLatin1(c.tool), c.args, src);
    ASSERT_FALSE(file.empty());
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.sgi"), file);
    ASSERT_EQ(load.Result, 1);
    EXPECT_EQ(load.Picture.FoundBitDepth(), c.depth);
    EXPECT_EQ(PixelList(load.Picture), PixelList(src.Colour));
    if (!src.Alpha.empty()) {
        EXPECT_EQ(AlphaList(load.Picture), src.Alpha);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Files, SgiFromTools,
    ::testing::Values(
        SgiToolCase{"im verbatim 8",
                    tsColours,
                    "convert",
                    {"IN", "-depth", "8", "-compress", "None", "SGI:OUT"},
                    24},
        SgiToolCase{"im rle 8",
                    tsColours,
                    "convert",
                    {"IN", "-depth", "8", "-compress", "RLE", "SGI:OUT"},
                    24},
        SgiToolCase{"im verbatim 16", tsColours, "convert", {"IN", "-depth", "16", "SGI:OUT"}, 48},
        SgiToolCase{"im grey",
                    tsGreys,
                    "convert",
                    {"IN", "-colorspace", "Gray", "-depth", "8", "-compress", "RLE", "SGI:OUT"},
                    8},
        SgiToolCase{"im alpha",
                    tsAlphaRamp,
                    "convert",
                    {"IN", "-depth", "8", "-compress", "RLE", "SGI:OUT"},
                    32},
        SgiToolCase{"netpbm verbatim", tsColours, "pnmtosgi", {"-verbatim", "IN"}, 24},
        SgiToolCase{"netpbm rle", tsColours, "pnmtosgi", {"-rle", "IN"}, 24}));

TEST(SgiFromTools, NetpbmGreyRows) {
    REQUIRE_TOOL("pnmtosgi");
    REQUIRE_TOOL("ppmtopgm");
    const TToolSourceImage src = MakeToolSource(tsGreys, 300, 5); // rows longer than one packet
    QTemporaryDir dir;
    const QString ppm = dir.filePath("in.ppm");
    WriteBytes(ppm, PpmOf(src.Colour));
    bool ok = false;
    const QByteArray pgm = RunTool(QStringLiteral("ppmtopgm"), {ppm}, &ok);
    ASSERT_TRUE(ok);
    const QByteArray sgi = RunTool(QStringLiteral("pnmtosgi"), {QStringLiteral("-rle")}, &ok, pgm);
    ASSERT_TRUE(ok);
    const TDispatchedLoad load =
        LoadThroughDispatcher(QStringLiteral("a.bw"), TByteVector(sgi.begin(), sgi.end()));
    ASSERT_EQ(load.Result, 1);
    EXPECT_EQ(load.Picture.FoundBitDepth(), 8);
    EXPECT_EQ(PixelList(load.Picture), PixelList(src.Colour));
}

} // namespace
