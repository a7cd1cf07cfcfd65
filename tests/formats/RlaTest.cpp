// SPDX-License-Identifier: GPL-2.0-or-later
// Alias/Wavefront files built byte by byte, checked against ImageMagick's reading of the same
// bytes, and damaged files.
#include "RasterTestUtil.h"
#include "TestPrinters.h"
#include "formats/RlaCodec.h"

#include <gtest/gtest.h>

namespace {

struct TRlaFields {
    int16_t Left = 0, Bottom = 0;
    int Width = 1, Height = 1;
    int16_t Colours = 3, Mattes = 0, Aux = 0;
    uint16_t ColourBits = 8, MatteBits = 8;
};

// A channel record: a run of n copies of v, or literal bytes.
TByteVector Run(int n, uint8_t v) {
    return {uint8_t(n - 1), v};
}
TByteVector Literal(const TByteVector& bytes) {
    TByteVector b = {uint8_t(256 - bytes.size())};
    Append(b, bytes);
    return b;
}
TByteVector Cat(const std::vector<TByteVector>& parts) {
    TByteVector b;
    for (const TByteVector& p : parts)
        Append(b, p);
    return b;
}

// rows[i] (bottom first) holds the channel records of row i; offsetOf[i] names the row whose
// data the table entry i points at.
TByteVector RlaFile(const TRlaFields& s, const std::vector<std::vector<TByteVector>>& rows,
                    std::vector<int> offsetOf = {}) {
    TByteVector b(740, 0);
    PutBE16(b, 0, uint16_t(s.Left));
    PutBE16(b, 2, uint16_t(s.Left + s.Width - 1));
    PutBE16(b, 4, uint16_t(s.Bottom));
    PutBE16(b, 6, uint16_t(s.Bottom + s.Height - 1));
    PutBE16(b, 8, uint16_t(s.Left));
    PutBE16(b, 10, uint16_t(s.Left + s.Width - 1));
    PutBE16(b, 12, uint16_t(s.Bottom));
    PutBE16(b, 14, uint16_t(s.Bottom + s.Height - 1));
    PutBE16(b, 20, uint16_t(s.Colours));
    PutBE16(b, 22, uint16_t(s.Mattes));
    PutBE16(b, 24, uint16_t(s.Aux));
    PutBE16(b, 26, 0xFFFE);
    const std::string chan = "rgb";
    std::copy(chan.begin(), chan.end(), b.begin() + 580);
    PutBE16(b, 658, s.ColourBits);
    PutBE16(b, 662, s.MatteBits);
    if (offsetOf.empty())
        for (size_t i = 0; i < rows.size(); ++i)
            offsetOf.push_back(int(i));
    const size_t tableAt = b.size();
    b.resize(tableAt + 4 * size_t(s.Height), 0);
    std::vector<uint32_t> starts;
    for (const auto& row : rows) {
        starts.push_back(uint32_t(b.size()));
        for (const TByteVector& record : row) {
            b.push_back(uint8_t(record.size() >> 8));
            b.push_back(uint8_t(record.size()));
            Append(b, record);
        }
    }
    for (size_t i = 0; i < offsetOf.size(); ++i)
        PutBE32(b, tableAt + 4 * i, starts[size_t(offsetOf[i])]);
    return b;
}

TRlaFields Fields(int w, int h, int16_t colours = 3, int16_t mattes = 0) {
    TRlaFields s;
    s.Width = w;
    s.Height = h;
    s.Colours = colours;
    s.Mattes = mattes;
    return s;
}
template <typename F>
TRlaFields With(TRlaFields s, F change) {
    change(s);
    return s;
}

struct RlaCase {
    const char* what;
    TByteVector file;
    int width, height;
    std::vector<TTriple> pixels; // top row first
    TByteVector alpha;
    int depth;
    friend void PrintTo(const RlaCase& c, std::ostream* os) { *os << c.what; }
};
class RlaHandmade : public ::testing::TestWithParam<RlaCase> {};
TEST_P(RlaHandmade, DecodesThePixels) {
    const RlaCase& c = GetParam();
    const TBitmap bmp = DecodeRla(c.file);
    EXPECT_EQ(bmp.Width(), c.width);
    EXPECT_EQ(bmp.Height(), c.height);
    EXPECT_EQ(PixelList(bmp), c.pixels);
    EXPECT_EQ(AlphaList(bmp), c.alpha);
    EXPECT_EQ(bmp.FoundBitDepth(), c.depth);
}

const std::vector<std::vector<TByteVector>> kTwoRows = {
    {Run(2, 10), Literal({20, 30}), Run(2, 40)}, // bottom
    {Literal({1, 2}), Run(2, 5), Run(2, 6)}};    // top
const std::vector<TTriple> kTwoRowsPixels = {Rgb(1, 5, 6), Rgb(2, 5, 6), Rgb(10, 20, 40),
                                             Rgb(10, 30, 40)};

INSTANTIATE_TEST_SUITE_P(
    Files, RlaHandmade,
    ::testing::Values(
        RlaCase{"colour, rows from the bottom",
                RlaFile(Fields(2, 2), kTwoRows),
                2,
                2,
                kTwoRowsPixels,
                {},
                24},
        RlaCase{"active window away from the origin",
                RlaFile(With(Fields(2, 2),
                             [](TRlaFields& s) {
                                 s.Left = 100;
                                 s.Bottom = -40;
                             }),
                        kTwoRows),
                2,
                2,
                kTwoRowsPixels,
                {},
                24},
        RlaCase{"files older than the bit fields hold 8 bits",
                RlaFile(With(Fields(2, 2),
                             [](TRlaFields& s) {
                                 s.ColourBits = 0;
                                 s.MatteBits = 0;
                             }),
                        kTwoRows),
                2,
                2,
                kTwoRowsPixels,
                {},
                24},
        RlaCase{"matte as alpha",
                RlaFile(Fields(2, 1, 3, 1), {{Run(2, 1), Run(2, 2), Run(2, 3), Literal({0, 255})}}),
                2,
                1,
                {Rgb(1, 2, 3), Rgb(1, 2, 3)},
                {0, 255},
                32},
        RlaCase{"grey",
                RlaFile(Fields(3, 1, 1), {{Literal({7, 8, 9})}}),
                3,
                1,
                {Grey(7), Grey(8), Grey(9)},
                {},
                8},
        RlaCase{"grey with matte",
                RlaFile(Fields(1, 1, 1, 1), {{Run(1, 70), Run(1, 90)}}),
                1,
                1,
                {Grey(70)},
                {90},
                16},
        // Each 16-bit channel: the high bytes of the row, then the low bytes.
        RlaCase{"16-bit samples in byte planes",
                RlaFile(With(Fields(2, 1), [](TRlaFields& s) { s.ColourBits = 16; }),
                        {{Cat({Literal({0x12, 0xFF}), Literal({0x34, 0xFF})}),
                          Cat({Run(2, 0x80), Run(2, 0x80)}), Cat({Run(2, 0), Run(2, 0xFF)})}}),
                2,
                1,
                {Rgb(18, 128, 1), Rgb(255, 128, 1)},
                {},
                48},
        RlaCase{"16-bit matte",
                RlaFile(With(Fields(1, 1, 3, 1), [](TRlaFields& s) { s.MatteBits = 16; }),
                        {{Run(1, 1), Run(1, 2), Run(1, 3), Cat({Run(1, 0xFF), Run(1, 0x00)})}}),
                1,
                1,
                {Rgb(1, 2, 3)},
                {254},
                40},
        RlaCase{"extra colour, matte and auxiliary channels are skipped",
                RlaFile(With(Fields(1, 1, 4, 2), [](TRlaFields& s) { s.Aux = 1; }),
                        {{Run(1, 1), Run(1, 2), Run(1, 3), Run(1, 99), Run(1, 50), Run(1, 60),
                          Run(1, 70)}}),
                1,
                1,
                {Rgb(1, 2, 3)},
                {50},
                32},
        RlaCase{"a run longer than the row is cut",
                RlaFile(Fields(2, 1), {{Run(100, 1), Run(3, 2), Literal({3, 4, 5})}}),
                2,
                1,
                {Rgb(1, 2, 3), Rgb(1, 2, 4)},
                {},
                24},
        RlaCase{"rows sharing their data",
                RlaFile(Fields(1, 3),
                        {{Run(1, 1), Run(1, 2), Run(1, 3)}, {Run(1, 4), Run(1, 5), Run(1, 6)}},
                        {0, 1, 0}),
                1,
                3,
                {Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(1, 2, 3)},
                {},
                24}));

TEST(RlaHandmade, EveryRegisteredExtensionLoads) {
    const TByteVector file = RlaFile(Fields(2, 2), kTwoRows);
    for (const char* name : {"a.rla", "a.RPF"}) {
        const TDispatchedLoad load = LoadThroughDispatcher(QString::fromLatin1(name), file);
        EXPECT_EQ(load.Result, 1) << name;
        EXPECT_EQ(PixelList(load.Picture), kTwoRowsPixels) << name;
    }
}

// A picture encoded the way renderers do: runs of equal bytes, literal stretches between.
TByteVector EncodeChannel(const TByteVector& row) {
    TByteVector out;
    size_t x = 0;
    while (x < row.size()) {
        size_t run = 1;
        while (x + run < row.size() && run < 128 && row[x + run] == row[x])
            ++run;
        if (run >= 3) {
            Append(out, Run(int(run), row[x]));
            x += run;
            continue;
        }
        size_t n = 0;
        while (x + n < row.size() && n < 128 &&
               !(x + n + 2 < row.size() && row[x + n] == row[x + n + 1] &&
                 row[x + n] == row[x + n + 2]))
            ++n;
        Append(out, Literal(TByteVector(row.begin() + std::ptrdiff_t(x),
                                        row.begin() + std::ptrdiff_t(x + n))));
        x += n;
    }
    return out;
}

TByteVector RlaOf(const TBitmap& bmp, const TByteVector& alpha = {}) {
    std::vector<std::vector<TByteVector>> rows;
    for (int y = bmp.Height() - 1; y >= 0; --y) {
        TByteVector r, g, b, a;
        for (int x = 0; x < bmp.Width(); ++x) {
            const TTriple t = PixelAt(bmp, x, y);
            r.push_back(t.r);
            g.push_back(t.g);
            b.push_back(t.b);
            if (!alpha.empty()) a.push_back(alpha[size_t(y * bmp.Width() + x)]);
        }
        rows.push_back({EncodeChannel(r), EncodeChannel(g), EncodeChannel(b)});
        if (!alpha.empty()) rows.back().push_back(EncodeChannel(a));
    }
    return RlaFile(Fields(bmp.Width(), bmp.Height(), 3, alpha.empty() ? 0 : 1), rows);
}

// ImageMagick 6.9 rejects files of the published layout as corrupt, so it cannot serve as a
// reference here; these files mix every packet kind and length a renderer writes.
TEST(RlaEncoded, RunsAndLiteralsOfEveryLength) {
    // Smooth rows give runs, noisy rows literals; 300 pixels need packets of several lengths.
    for (const TBitmap& source : {SmoothImage(300, 9), RandomImage(300, 7, 4)}) {
        const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.rla"), RlaOf(source));
        ASSERT_EQ(load.Result, 1);
        EXPECT_EQ(PixelList(load.Picture), PixelList(source));
    }
}

TEST(RlaEncoded, MatteBecomesAlpha) {
    const TToolSourceImage src = MakeToolSource(tsAlphaRamp);
    const TDispatchedLoad load =
        LoadThroughDispatcher(QStringLiteral("a.rla"), RlaOf(src.Colour, src.Alpha));
    ASSERT_EQ(load.Result, 1);
    EXPECT_EQ(PixelList(load.Picture), PixelList(src.Colour));
    EXPECT_EQ(AlphaList(load.Picture), src.Alpha);
}

// Damaged files: a 2 x 2 colour file; the offset table at 740, rows from 748, each row's
// records of 4 bytes (length 2, then a run).
TByteVector GoodFile() {
    return RlaFile(Fields(2, 2),
                   {{Run(2, 1), Run(2, 2), Run(2, 3)}, {Run(2, 4), Run(2, 5), Run(2, 6)}});
}

TEST(RlaDamaged, EveryTruncationFails) {
    ExpectTruncationsFail(QStringLiteral("a.rla"), GoodFile());
    ExpectTruncationsFail(QStringLiteral("a.rla"), RlaOf(RandomImage(5, 3, 9), TByteVector(15, 7)));
}

struct RlaLie {
    const char* what;
    size_t at;
    TByteVector bytes;
    friend void PrintTo(const RlaLie& c, std::ostream* os) { *os << c.what; }
};
class RlaLyingFile : public ::testing::TestWithParam<RlaLie> {};
TEST_P(RlaLyingFile, FailsWithTheLoadMessage) {
    TByteVector b = GoodFile();
    ASSERT_EQ(LoadThroughDispatcher(QStringLiteral("a.rla"), b).Result, 1);
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), b.begin() + GetParam().at);
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.rla"), b);
    EXPECT_EQ(load.Result, -1);
    EXPECT_EQ(load.Messages.size(), 1);
}
INSTANTIATE_TEST_SUITE_P(
    Fields, RlaLyingFile,
    ::testing::Values(
        RlaLie{"right before left", 10, {0xFF, 0xFF}}, RlaLie{"top below bottom", 14, {0x80, 0}},
        RlaLie{"no colour channel", 20, {0, 0}}, RlaLie{"two colour channels", 20, {0, 2}},
        RlaLie{"negative channel count", 20, {0xFF, 0xFF}},
        RlaLie{"negative matte count", 22, {0xFF, 0xFF}}, RlaLie{"float samples", 658, {0, 32}},
        RlaLie{"twelve-bit samples", 658, {0, 12}},
        // 16000 x 16000 is within the program's cap; its offset table alone would not fit.
        RlaLie{"huge window", 10, {0x3E, 0x7F, 0, 0, 0x3E, 0x7F}},
        RlaLie{"wider than the records can give", 10, {0x01, 0}},
        RlaLie{"row in the header", 740, {0, 0, 0, 100}},
        RlaLie{"row in the offset table", 744, {0, 0, 0x02, 0xE6}},
        RlaLie{"row past the end", 744, {0, 1, 0, 0}},
        RlaLie{"record longer than the file", 748 + 8, {0, 200}},
        RlaLie{"empty record", 748 + 4, {0, 0}},
        RlaLie{"literal past its record", 748 + 2, {0x80}}));

} // namespace
