// SPDX-License-Identifier: GPL-2.0-or-later
// Windows metafiles load through the registry, drawn at the size their header gives onto the
// transparency key colour; damaged ones end in -1 and the load message.
#include "FormatTestUtil.h"
#include "MetafileFixtures.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/MetafileCodec.h"

#include <gtest/gtest.h>
#include <string>

using namespace metafile_fixture;

namespace {

const TTriple kKey = ColorToTriple(TransparentKeyColour);
const TTriple kRed = Rgb(255, 0, 0);
const TTriple kGreen = Rgb(0, 255, 0);

struct TGoodCase {
    const char* name;
    const char* file;
    std::vector<uint8_t> bytes;
    int width, height;
    int dx, dy; // where the drawing's origin lands on the picture
};

// Emf() with one EXTTEXTOUTW record of "Test" before its EOF record.
std::vector<uint8_t> EmfWithText(uint32_t options, uint32_t offString = 76) {
    std::vector<uint8_t> b = Emf();
    std::vector<uint8_t> r;
    EmfRecord(
        r, 84,
        {0, 0, 40, 30, 1, 0x3F800000, 0x3F800000, 5, 20, 4, offString, options, 0, 0, 0, 0, 0});
    for (const char c : std::string("Test")) {
        r.push_back(uint8_t(c));
        r.push_back(0);
    }
    r[4] = uint8_t(r.size());
    b.insert(b.end() - 20, r.begin(), r.end());
    b[48] = uint8_t(b.size());
    b[49] = uint8_t(b.size() >> 8);
    b[52] += 1;
    return b;
}

std::vector<TGoodCase> GoodCases() {
    return {
        {"PlaceableAt96Dpi", "a.wmf", Wmf(), 40, 30, 0, 0},
        {"PlaceableInTwips", "a.wmf", Wmf({.Right = 600, .Bottom = 450, .Inch = 1440, .Unit = 15}),
         40, 30, 0, 0},
        {"PlaceableWithOrigin", "a.wmf", Wmf({.Left = 100, .Top = 50, .Right = 140, .Bottom = 80}),
         40, 30, 0, 0},
        {"PlaceableWithoutWindowRecords", "a.wmf", Wmf({.WindowRecords = false}), 40, 30, 0, 0},
        {"NotPlaceableWindowExtent", "a.wmf", Wmf({.Placeable = false}), 40, 30, 0, 0},
        {"WmfUnderEmfName", "a.emf", Wmf(), 40, 30, 0, 0},
        {"Emf", "a.emf", Emf(), 40, 30, 0, 0},
        {"EmfBoundsAwayFromOrigin", "a.emf", Emf({.Offset = 2}), 40, 30, 2, 2},
        {"EmfWide", "a.EMF", Emf({.Width = 96, .Height = 30}), 96, 30, 0, 0},
        {"EmfUnderWmfName", "a.wmf", Emf(), 40, 30, 0, 0},
        // Text by glyph index is left out rather than handed to the library.
        {"EmfGlyphIndexText", "a.emf", EmfWithText(0x10), 40, 30, 0, 0},
    };
}

class MetafileGood : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { InitImageFormats(); }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_P(MetafileGood, DrawnOnTheKeyColour) {
    const TGoodCase c = GoodCases()[size_t(GetParam())];
    QString name = dir.filePath(QString::fromLatin1(c.file));
    WriteBytes(name, c.bytes);
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1) << c.name;
    EXPECT_TRUE(seam.Messages.isEmpty());
    ASSERT_EQ(bmp.Width(), c.width);
    ASSERT_EQ(bmp.Height(), c.height);
    EXPECT_EQ(FileWidth(), c.width);
    EXPECT_EQ(FileHeight(), c.height);
    EXPECT_TRUE(bmp.Is24Bit());
    EXPECT_TRUE(bmp.Transparent());
    EXPECT_EQ(bmp.TransparentColor(), TransparentKeyColour);
    const int x = c.dx, y = c.dy;
    const auto at = [&](int px, int py) {
        return PixelAt(bmp, std::min(x + px, c.width - 1), std::min(y + py, c.height - 1));
    };
    // Inside the rectangle, well away from its edges.
    for (const auto& [px, py] : {std::pair{12, 12}, {20, 15}, {28, 18}})
        EXPECT_EQ(at(px, py), kRed) << c.name << " " << px << "," << py;
    // On the line.
    for (const int px : {5, 20, 35})
        EXPECT_EQ(at(px, 25), kGreen) << c.name << " " << px;
    // Where nothing is drawn.
    for (const auto& [px, py] : {std::pair{1, 1}, {20, 5}, {5, 15}, {35, 15}, {20, 22}, {20, 27}})
        EXPECT_EQ(at(px, py), kKey) << c.name << " " << px << "," << py;
    // Every pixel is the key, the red, or the green: no blend with the key at the edges.
    for (int py = 0; py < bmp.Height(); ++py)
        for (int px = 0; px < bmp.Width(); ++px) {
            const TTriple t = PixelAt(bmp, px, py);
            ASSERT_TRUE(t == kKey || t == kRed || t == kGreen) << c.name << " " << px << "," << py;
        }
}

INSTANTIATE_TEST_SUITE_P(Metafiles, MetafileGood, ::testing::Range(0, int(GoodCases().size())),
                         [](const auto& info) { return GoodCases()[size_t(info.param)].name; });

// A drawing larger than the largest side is drawn scaled down; the file's size is kept.
TEST(MetafileSize, LargeDrawingIsCapped) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    QString name = dir.filePath(QStringLiteral("wide.wmf"));
    WriteBytes(name, Wmf({.Right = 12000, .Bottom = 300}));
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(bmp.Width(), kMaxMetafileSide);
    EXPECT_EQ(bmp.Height(), 205); // 300 * 8192 / 12000, rounded
    EXPECT_EQ(FileWidth(), 12000);
    EXPECT_EQ(FileHeight(), 300);
}

// Changes one little-endian field of a copy.
std::vector<uint8_t> Patched(std::vector<uint8_t> b, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = uint8_t(value >> (8 * i));
    return b;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t size) {
    b.resize(size);
    return b;
}

struct TBadCase {
    const char* name;
    const char* file;
    std::vector<uint8_t> bytes;
};

std::vector<TBadCase> BadCases() {
    const std::vector<uint8_t> wmf = Wmf(), emf = Emf();
    const size_t rec = 22 + 18; // first WMF record
    std::vector<TBadCase> cases = {
        {"WmfZeroInch", "a.wmf", Patched(wmf, 14, 0, 2)},
        {"WmfEmptyBox", "a.wmf", Patched(wmf, 10, 0, 2)},
        {"WmfHugeBox", "a.wmf",
         Wmf({.Left = -32000, .Top = -32000, .Right = 32000, .Bottom = 32000, .Inch = 1})},
        {"WmfBadHeaderWords", "a.wmf", Patched(wmf, 22 + 2, 7, 2)},
        {"WmfRecordOfZeroWords", "a.wmf", Patched(wmf, rec, 0, 4)},
        {"WmfRecordPastTheEnd", "a.wmf", Patched(wmf, rec, 0x10000, 4)},
        {"WmfNoEofRecord", "a.wmf", Cut(wmf, wmf.size() - 6)},
        {"WmfOnlyPlaceableHeader", "a.wmf", Cut(wmf, 22)},
        {"EmfBadSignature", "a.emf", Patched(emf, 40, 0x12345678, 4)},
        {"EmfHeaderLongerThanFile", "a.emf", Patched(emf, 4, 4000, 4)},
        {"EmfRecordSizeNotAligned", "a.emf", Patched(emf, 88 + 4, 23, 4)},
        {"EmfRecordPastTheEnd", "a.emf", Patched(emf, 88 + 4, 0x100000, 4)},
        {"EmfObjectOutsideTable", "a.emf", Patched(emf, 88 + 8, 7, 4)},
        {"EmfNoHandles", "a.emf", Patched(emf, 56, 0, 2)},
        {"EmfHugeFrame", "a.emf", Patched(emf, 32, 0x7FFFFFF0, 4)},
        {"EmfNoEofRecord", "a.emf", Cut(emf, emf.size() - 20)},
        {"EmfTextOutsideItsRecord", "a.emf", EmfWithText(0, 80)},
        {"EmfTextCountTooLarge", "a.emf", Patched(EmfWithText(0), emf.size() - 20 + 44, 1000, 4)},
        {"NeitherKind", "a.wmf", std::vector<uint8_t>(64, 0x41)},
        {"Empty", "a.emf", {}},
    };
    // Truncated at many lengths.
    for (size_t n : {size_t(3), size_t(21), size_t(30), size_t(45), wmf.size() / 2, wmf.size() - 1})
        cases.push_back({"WmfCut", "a.wmf", Cut(wmf, n)});
    for (size_t n : {size_t(40), size_t(87), size_t(100), emf.size() / 2, emf.size() - 1})
        cases.push_back({"EmfCut", "a.emf", Cut(emf, n)});
    return cases;
}

class MetafileBad : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { InitImageFormats(); }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_P(MetafileBad, FailsWithTheLoadMessage) {
    const TBadCase c = BadCases()[size_t(GetParam())];
    QString name = dir.filePath(QString::fromLatin1(c.file));
    WriteBytes(name, c.bytes);
    TBitmap bmp = UniformImage(2, 2, Grey(5));
    EXPECT_EQ(LoadImageFile(name, bmp), -1) << c.name << " " << c.bytes.size();
    ASSERT_EQ(seam.Messages.size(), 1) << c.name;
    EXPECT_EQ(seam.Messages[0], QStringLiteral("Unable to load image in file \"%1\" !").arg(name));
    EXPECT_EQ(bmp.Width(), 2);
}

INSTANTIATE_TEST_SUITE_P(Metafiles, MetafileBad, ::testing::Range(0, int(BadCases().size())),
                         [](const auto& info) {
                             return BadCases()[size_t(info.param)].name +
                                    std::to_string(info.param);
                         });

} // namespace
