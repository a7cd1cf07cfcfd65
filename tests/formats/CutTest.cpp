// SPDX-License-Identifier: GPL-2.0-or-later
// Dr. Halo pictures and palettes built byte by byte, checked against ImageMagick's reading of
// the same files, the palette found beside the picture, and damaged pictures.
#include "RasterTestUtil.h"
#include "TestPrinters.h"
#include "formats/CutCodec.h"

#include <gtest/gtest.h>

namespace {

TByteVector CutFile(uint16_t w, uint16_t h, const std::vector<TByteVector>& lines) {
    TByteVector b = {uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 0, 0};
    for (const TByteVector& line : lines) {
        b.push_back(uint8_t(line.size()));
        b.push_back(uint8_t(line.size() >> 8));
        Append(b, line);
    }
    return b;
}

// A palette file of count entries with the given largest values; entry i comes from colour(i).
template <typename F>
TByteVector PalFile(int count, uint16_t maxValue, F colour) {
    TByteVector b(40, 0);
    b[0] = 'A';
    b[1] = 'H';
    PutLE16(b, 2, 0xE3);
    PutLE16(b, 4, 0x0A);
    b[6] = 10;
    PutLE16(b, 12, uint16_t(count - 1));
    PutLE16(b, 14, maxValue);
    PutLE16(b, 16, maxValue);
    PutLE16(b, 18, maxValue);
    const std::string signature = "Dr. Halo";
    std::copy(signature.begin(), signature.end(), b.begin() + 20);
    for (int i = 0; i < count; ++i) {
        if (b.size() % 512 + 6 > 512) b.resize((b.size() / 512 + 1) * 512, 0);
        const std::array<uint16_t, 3> rgb = colour(i);
        for (const uint16_t v : rgb)
            Append(b, {uint8_t(v), uint8_t(v >> 8)});
    }
    return b;
}

// Entry i = (i, 63 - i, i / 2) of 64 levels, then the same again.
TByteVector VgaPalette(int count = 256) {
    return PalFile(count, 63, [](int i) {
        return std::array<uint16_t, 3>{uint16_t(i % 64), uint16_t(63 - i % 64),
                                       uint16_t(i % 64 / 2)};
    });
}

// Lines of 5 pixels: a literal run of five, a run of five 5s, then 9, 8 and a run of three 7s.
TByteVector FiveByThree() {
    return CutFile(5, 3, {{0x05, 0, 1, 2, 3, 4, 0}, {0x85, 5, 0}, {0x02, 9, 8, 0x83, 7, 0}});
}

struct CutCase {
    const char* what;
    TByteVector file, palette;
    std::vector<TTriple> pixels; // top row first
    friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.what; }
};
class CutHandmade : public ::testing::TestWithParam<CutCase> {};
TEST_P(CutHandmade, DecodesThePixels) {
    const CutCase& c = GetParam();
    const TBitmap bmp = DecodeCut(c.file, c.palette);
    EXPECT_EQ(PixelList(bmp), c.pixels);
    EXPECT_EQ(bmp.FoundBitDepth(), 8);
}

TByteVector Prefix(TByteVector b, size_t n) {
    b.resize(n);
    return b;
}

TByteVector WithBytes(TByteVector b, size_t at, const TByteVector& bytes) {
    std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(at));
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, CutHandmade,
    ::testing::Values(
        // Without a palette the indices 0..9 spread over the grey levels: i * 255 / 9.
        CutCase{"grey levels up to the highest index",
                FiveByThree(),
                {},
                {Grey(0), Grey(28), Grey(57), Grey(85), Grey(113), Grey(142), Grey(142), Grey(142),
                 Grey(142), Grey(142), Grey(255), Grey(227), Grey(198), Grey(198), Grey(198)}},
        // Values of 0..63 scale to 0..255 rounded: 1 -> 4, 2 -> 8, 62 -> 251, 63 -> 255.
        CutCase{"palette of 64 levels",
                CutFile(3, 1, {{0x03, 0, 1, 2, 0}}),
                VgaPalette(),
                {Rgb(0, 255, 0), Rgb(4, 251, 0), Rgb(8, 247, 4)}},
        // The first block holds 78 entries (40 + 78 * 6 = 508); entry 78 starts the second.
        CutCase{"palette entries never straddle blocks",
                CutFile(3, 1, {{0x03, 77, 78, 79, 0}}),
                PalFile(100, 255,
                        [](int i) {
                            return std::array<uint16_t, 3>{uint16_t(i), 0, uint16_t(2 * i)};
                        }),
                {Rgb(77, 0, 154), Rgb(78, 0, 156), Rgb(79, 0, 158)}},
        CutCase{"indices past the palette are black",
                CutFile(2, 1, {{0x02, 1, 9, 0}}),
                VgaPalette(4),
                {Rgb(4, 251, 0), Rgb(0, 0, 0)}},
        CutCase{"a run longer than the line is cut",
                CutFile(2, 1, {{0xFF, 3, 0}}),
                {},
                {Grey(255), Grey(255)}},
        CutCase{"0x80 also ends a line",
                CutFile(2, 2, {{0x82, 1, 0x80, 0x82, 7}, {0x82, 0, 0}}),
                {},
                {Grey(255), Grey(255), Grey(0), Grey(0)}},
        CutCase{"a line may end with its record",
                CutFile(2, 1, {{0x82, 1}}),
                {},
                {Grey(255), Grey(255)}},
        CutCase{"a file that is not a palette gives grey levels",
                CutFile(2, 1, {{0x02, 0, 1, 0}}),
                WithBytes(VgaPalette(), 0, {'X'}),
                {Grey(0), Grey(255)}},
        CutCase{"a palette without largest values gives grey levels",
                CutFile(2, 1, {{0x02, 0, 1, 0}}),
                WithBytes(VgaPalette(), 16, {0, 0}),
                {Grey(0), Grey(255)}},
        CutCase{"a cut palette gives grey levels",
                CutFile(2, 1, {{0x02, 0, 1, 0}}),
                Prefix(VgaPalette(), 600),
                {Grey(0), Grey(255)}}));

// The palette file is found beside the picture, in either letter case.
TEST(CutPalette, FoundBesideThePicture) {
    const struct {
        const char* cut;
        const char* pal; // nullptr: no palette file
        bool coloured;
    } cases[] = {{"a.cut", "a.pal", true},     {"B.CUT", "B.PAL", true},
                 {"c.cut", "c.PAL", true},     {"d.CUT", "d.pal", true},
                 {"e.cut", nullptr, false},    {"f.cut", "other.pal", false},
                 {"g.h.cut", "g.h.pal", true}, {"i.cut", "i.cut.pal", false}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        if (c.pal) WriteBytes(dir.filePath(QString::fromLatin1(c.pal)), VgaPalette());
        const TDispatchedLoad load = LoadThroughDispatcher(
            QString::fromLatin1(c.cut), CutFile(2, 1, {{0x02, 1, 2, 0}}), dir.path());
        ASSERT_EQ(load.Result, 1) << c.cut;
        const std::vector<TTriple> expected =
            c.coloured ? std::vector<TTriple>{Rgb(4, 251, 0), Rgb(8, 247, 4)}
                       : std::vector<TTriple>{Grey(128), Grey(255)};
        EXPECT_EQ(PixelList(load.Picture), expected) << c.cut;
    }
}

TEST(CutInterop, ImageMagickReadsTheSamePixels) {
    REQUIRE_TOOL("convert");
    // 300 pixels a line, so lines need packets of several lengths; 256 entries over 4 blocks.
    // Largest values of 255 keep the colours exact (ImageMagick scales other ranges down
    // where we round to the nearest).
    const TBitmap source = RandomImage(300, 4, 8);
    std::vector<TByteVector> lines;
    for (int y = 0; y < 4; ++y) {
        TByteVector line;
        int x = 0;
        while (x < 300) {
            const int n = std::min(300 - x, 1 + (x * 7 + y) % 127);
            if ((x + y) % 3 == 0) {
                Append(line, {uint8_t(0x80 | n), uint8_t(x * 3 + y)});
            } else {
                line.push_back(uint8_t(n));
                for (int i = 0; i < n; ++i)
                    line.push_back(PixelAt(source, x + i, y).g);
            }
            x += n;
        }
        line.push_back(0);
        lines.push_back(line);
    }
    QTemporaryDir dir;
    WriteBytes(dir.filePath("pic.cut"), CutFile(300, 4, lines));
    WriteBytes(
        dir.filePath("pic.pal"), PalFile(256, 255, [](int i) {
            return std::array<uint16_t, 3>{uint16_t(i), uint16_t(i * 7 % 256), uint16_t(255 - i)};
        }));
    const TBitmap reference = ReadWithImageMagick(dir.filePath("pic.cut"));
    ASSERT_EQ(reference.Width(), 300);
    TBitmap ours;
    TScriptedSeam seam;
    InitImageFormats();
    QString name = dir.filePath("pic.cut");
    ASSERT_EQ(LoadImageFile(name, ours), 1);
    ours.To24Bit();
    EXPECT_EQ(MaxDifference(ours, reference), 0);
}

TEST(CutDamaged, EveryTruncationFails) {
    ExpectTruncationsFail(QStringLiteral("a.cut"), FiveByThree());
}

struct CutLie {
    const char* what;
    size_t at;
    TByteVector bytes;
    friend void PrintTo(const CutLie& c, std::ostream* os) { *os << c.what; }
};
class CutLyingFile : public ::testing::TestWithParam<CutLie> {};
TEST_P(CutLyingFile, FailsWithTheLoadMessage) {
    // Lines at 6 (record of 7), 15 (record of 3), 20 (record of 6).
    TByteVector b = FiveByThree();
    ASSERT_EQ(LoadThroughDispatcher(QStringLiteral("a.cut"), b).Result, 1);
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), b.begin() + GetParam().at);
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.cut"), b);
    EXPECT_EQ(load.Result, -1);
    EXPECT_EQ(load.Messages.size(), 1);
}
INSTANTIATE_TEST_SUITE_P(
    Fields, CutLyingFile,
    ::testing::Values(CutLie{"no width", 0, {0, 0}}, CutLie{"no height", 2, {0, 0}},
                      // 16000 x 16000 is within the program's cap; 30 bytes cannot hold it.
                      CutLie{"huge picture", 0, {0x80, 0x3E, 0x80, 0x3E}},
                      CutLie{"wider than the lines", 0, {6, 0}},
                      CutLie{"record past the end", 15, {0xFF, 0}},
                      CutLie{"line ends early", 17, {0x84}},
                      CutLie{"literal past its record", 8, {0x07}},
                      CutLie{"run without its value", 15, {1, 0}}));

} // namespace
