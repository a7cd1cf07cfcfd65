// SPDX-License-Identifier: GPL-2.0-or-later
// Files written by ImageMagick and netpbm load through the dispatcher with the right pixels,
// and the files we write open in ImageMagick with the same pixels.
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <gtest/gtest.h>
#include <random>

namespace {

enum TSource { Colours, Sixteen, TwoHundred, Greys, BlackWhite, AlphaBinary, AlphaRamp };

struct TSourceImage {
    TBitmap Colour;
    std::vector<uint8_t> Alpha; // empty when opaque
};

TSourceImage MakeSource(TSource kind) {
    constexpr int w = 13, h = 7;
    std::mt19937 rng(unsigned(kind) + 17);
    std::vector<TTriple> palette;
    const int colours = kind == Sixteen ? 16 : kind == TwoHundred ? 200 : 0;
    for (int i = 0; i < colours; ++i)
        palette.push_back(Rgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng())));
    TSourceImage s;
    s.Colour = MakeImage(w, h, [&](int x, int y) {
        switch (kind) {
        case Sixteen:
        case TwoHundred:
            return palette[size_t((x * 7 + y * 31) % colours)];
        case Greys:
            return Grey(uint8_t(rng()));
        case BlackWhite:
            return (rng() & 1) ? Grey(255) : Grey(0);
        default:
            return Rgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
        }
    });
    if (kind == AlphaBinary || kind == AlphaRamp) {
        for (int i = 0; i < w * h; ++i)
            s.Alpha.push_back(kind == AlphaBinary ? ((i % 3) ? 255 : 0) : uint8_t(i * 255 / 90));
    }
    return s;
}

struct InteropCase {
    const char* what;
    TSource source;
    const char* tool;  // writes OUT from IN, or to its standard output when OUT is absent
    QStringList args;  // IN and OUT stand for the file names
    const char* name;  // the file the viewer opens
    int depth;         // the bit depth reported for the file
    int tolerance = 0; // largest channel difference allowed
};

class Interop : public ::testing::TestWithParam<InteropCase> {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_P(Interop, LoadsWithTheSourcePixels) {
    const InteropCase& c = GetParam();
    REQUIRE_TOOL(c.tool);
    const TSourceImage src = MakeSource(c.source);
    const QString in = dir.filePath(src.Alpha.empty() ? "in.ppm" : "in.pam");
    WriteBytes(in, src.Alpha.empty() ? PpmOf(src.Colour) : PamOf(src.Colour, src.Alpha));
    QString out = dir.filePath(QString::fromLatin1(c.name));
    QStringList args;
    bool toStdout = true;
    for (const QString& a : c.args) {
        QString arg = a;
        arg.replace(QStringLiteral("IN"), in);
        if (arg.contains(QStringLiteral("OUT"))) toStdout = false;
        arg.replace(QStringLiteral("OUT"), out);
        args << arg;
    }
    bool ok = false;
    const QByteArray printed = RunTool(QString::fromLatin1(c.tool), args, &ok);
    ASSERT_TRUE(ok) << c.what;
    if (toStdout) WriteBytes(out, std::vector<uint8_t>(printed.begin(), printed.end()));

    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(out, bmp), 1) << c.what;
    EXPECT_EQ(BitDepthFound(out, bmp), c.depth) << c.what;
    EXPECT_EQ(FileWidth(), 13);
    EXPECT_EQ(FileHeight(), 7);
    const bool drawnOnKey = out.endsWith(QStringLiteral(".ico"));
    if (src.Alpha.empty() || drawnOnKey) {
        TBitmap expected = src.Colour;
        if (drawnOnKey) {
            EXPECT_TRUE(bmp.Transparent());
            EXPECT_EQ(bmp.TransparentColor(), TransparentKeyColour);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 13; ++x)
                    if (src.Alpha[size_t(y * 13 + x)] == 0) {
                        uint8_t* p = expected.ScanLine(y) + 3 * x;
                        const TTriple key = ColorToTriple(TransparentKeyColour);
                        p[0] = key.b;
                        p[1] = key.g;
                        p[2] = key.r;
                    }
        }
        bmp.To24Bit();
        EXPECT_LE(MaxDifference(bmp, expected), c.tolerance) << c.what;
        return;
    }
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit) << c.what;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            const uint8_t* p = bmp.ScanLine(y) + 4 * x;
            const uint8_t a = src.Alpha[size_t(y * 13 + x)];
            EXPECT_EQ(p[3], a) << c.what << " at " << x << "," << y;
            if (a == 255) {
                EXPECT_EQ((TTriple{p[0], p[1], p[2]}), PixelAt(src.Colour, x, y)) << c.what;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Interop,
    ::testing::Values(
        InteropCase{"im bmp3 24", Colours, "convert", {"IN", "BMP3:OUT"}, "a.bmp", 24},
        InteropCase{"im bmp v5 24", Colours, "convert", {"IN", "BMP:OUT"}, "a.bmp", 24},
        InteropCase{"im os2 bmp", Colours, "convert", {"IN", "BMP2:OUT"}, "a.bmp", 24},
        InteropCase{
            "im bmp 8", TwoHundred, "convert", {"IN", "-type", "Palette", "BMP3:OUT"}, "a.bmp", 8},
        InteropCase{
            "im bmp 4", Sixteen, "convert", {"IN", "-type", "Palette", "BMP3:OUT"}, "a.dib", 4},
        InteropCase{"im bmp rle8",
                    TwoHundred,
                    "convert",
                    {"IN", "-type", "Palette", "-compress", "RLE", "BMP3:OUT"},
                    "a.rle",
                    8},
        InteropCase{
            "im bmp 1", BlackWhite, "convert", {"IN", "-type", "Bilevel", "BMP3:OUT"}, "a.bmp", 1},
        InteropCase{"im bmp 565",
                    Colours,
                    "convert",
                    {"IN", "-define", "bmp:subtype=RGB565", "BMP:OUT"},
                    "a.bmp",
                    16,
                    8},
        InteropCase{"im bmp alpha", AlphaRamp, "convert", {"IN", "BMP:OUT"}, "a.bmp", 32},
        InteropCase{"netpbm bmp 24", Colours, "ppmtobmp", {"-bpp", "24", "IN"}, "a.bmp", 24},
        InteropCase{"netpbm bmp 8", TwoHundred, "ppmtobmp", {"-bpp", "8", "IN"}, "a.bmp", 8},
        InteropCase{"netpbm bmp 4", Sixteen, "ppmtobmp", {"-bpp", "4", "IN"}, "a.bmp", 4},
        InteropCase{"netpbm os2", Sixteen, "ppmtobmp", {"-os2", "-bpp", "4", "IN"}, "a.bmp", 4},
        // ImageMagick 6 writes and reads bottom-up Targa files upside down, so Targa
        // references come from netpbm, whose reader agrees with ours.
        InteropCase{"netpbm tga grey", Greys, "ppmtotga", {"-mono", "IN"}, "a.win", 8},
        InteropCase{
            "netpbm tga mapped raw", Sixteen, "ppmtotga", {"-cmap", "-norle", "IN"}, "a.vda", 8},
        InteropCase{"netpbm tga alpha", AlphaRamp, "pamtotga", {"-rgb", "IN"}, "a.icb", 32},
        InteropCase{"netpbm tga rle", Colours, "ppmtotga", {"-rgb", "IN"}, "a.tga", 24},
        InteropCase{"netpbm tga raw", Colours, "ppmtotga", {"-rgb", "-norle", "IN"}, "a.tga", 24},
        InteropCase{"netpbm tga mapped", TwoHundred, "ppmtotga", {"-cmap", "IN"}, "a.tga", 8},
        InteropCase{"im ico", AlphaBinary, "convert", {"IN", "ICO:OUT"}, "a.ico", 32},
        InteropCase{
            "im ppm 16-bit", Colours, "convert", {"IN", "-depth", "16", "OUT"}, "a.ppm", 24},
        InteropCase{"netpbm plain ppm", Colours, "pnmtoplainpnm", {"IN"}, "a.ppm", 24},
        InteropCase{"netpbm pgm", Greys, "ppmtopgm", {"IN"}, "a.pgm", 8},
        InteropCase{
            "im plain pgm", Greys, "convert", {"IN", "-compress", "none", "PGM:OUT"}, "a.pgm", 8},
        InteropCase{"im pbm", BlackWhite, "convert", {"IN", "PBM:OUT"}, "a.pbm", 1},
        InteropCase{"im plain pbm",
                    BlackWhite,
                    "convert",
                    {"IN", "-compress", "none", "PBM:OUT"},
                    "a.pbm",
                    1}));

// What we write opens in ImageMagick with the pixels we wrote.
class OursInImageMagick : public ::testing::TestWithParam<const char*> {};
TEST_P(OursInImageMagick, SamePixels) {
    REQUIRE_TOOL("convert");
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    const TBitmap source = RandomImage(19, 6, 21);
    QString name = dir.filePath(QString::fromLatin1(GetParam()));
    ASSERT_EQ(SaveImageFile(name, source), 1);
    EXPECT_EQ(MaxDifference(ReadWithImageMagick(name), source), 0) << GetParam();
    TBitmap back;
    ASSERT_EQ(LoadImageFile(name, back), 1);
    back.To24Bit();
    EXPECT_EQ(MaxDifference(back, source), 0) << GetParam();
}
INSTANTIATE_TEST_SUITE_P(Writers, OursInImageMagick,
                         ::testing::Values("a.bmp", "a.dib", "a.tga", "a.png", "a.tif", "a.gif",
                                           "a.rle"));

} // namespace
