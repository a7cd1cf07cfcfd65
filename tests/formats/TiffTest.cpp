// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/TiffUtils.h"

#include <gtest/gtest.h>
#include <tiffio.h>

namespace {

class Tiff : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    // ImageMagick turns a PPM or PAM of ours into a TIFF with the given options.
    QString Convert(const std::vector<uint8_t>& pnm, const char* ext, const QStringList& options,
                    const char* out) {
        const QString in = Path(ext), target = Path(out);
        WriteBytes(in, pnm);
        bool ok = false;
        RunTool("convert", QStringList{in} + options + QStringList{target}, &ok);
        EXPECT_TRUE(ok);
        return target;
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(Tiff, SavedFileIsRgbLzwWithPrediction) {
    TBitmap source = RandomImage(17, 9, 4);
    uint8_t* p = source.ScanLine(0);
    p[0] = 10; // blue
    p[1] = 20; // green
    p[2] = 30; // red
    QString name = Path("out.tif");
    ASSERT_EQ(SaveImageFile(name, source), 1);

    TIFF* tif = TIFFOpen(name.toLocal8Bit().constData(), "r");
    ASSERT_NE(tif, nullptr);
    uint16_t compression = 0, predictor = 0, photometric = 0, spp = 0, bps = 0, planar = 0,
             orientation = 0;
    uint32_t rowsPerStrip = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PREDICTOR, &predictor);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(predictor, PREDICTOR_HORIZONTAL);
    EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(spp, 3);
    EXPECT_EQ(bps, 8);
    EXPECT_EQ(planar, PLANARCONFIG_CONTIG);
    EXPECT_EQ(orientation, ORIENTATION_TOPLEFT);
    EXPECT_GE(rowsPerStrip, 1u);
    char* text = nullptr;
    float resolution = 0;
    EXPECT_EQ(TIFFGetField(tif, TIFFTAG_SOFTWARE, &text), 0);
    EXPECT_EQ(TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution), 0);
    std::vector<uint8_t> row(size_t(TIFFScanlineSize(tif)));
    ASSERT_EQ(TIFFReadScanline(tif, row.data(), 0, 0), 1);
    EXPECT_EQ(row[0], 30);
    EXPECT_EQ(row[1], 20);
    EXPECT_EQ(row[2], 10);
    TIFFClose(tif);

    TBitmap back;
    ASSERT_EQ(LoadImageFile(name, back), 1);
    EXPECT_EQ(MaxDifference(back, source), 0);
    EXPECT_EQ(OptionsOE().FoundBitDepth, 24);
}

enum TSource { BlackWhite, RedBlue, FortyColours };
struct DepthCase {
    const char* what;
    TSource source;
    QStringList options;
    int depth;
    int tolerance = 0; // ImageMagick's palette reduction may move a colour by one
};
TBitmap SourceImage(TSource s) {
    switch (s) {
    case BlackWhite:
        return MakeImage(8, 4, [](int x, int y) { return (x + y) % 2 ? Grey(255) : Grey(0); });
    case RedBlue:
        return MakeImage(
            8, 4, [](int x, int y) { return (x + y) % 2 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); });
    default:
        return MakeImage(40, 2, [](int x, int y) {
            return Rgb(uint8_t(x * 6), uint8_t(255 - x * 6), uint8_t(x + y));
        });
    }
}
class TiffDepth : public Tiff, public ::testing::WithParamInterface<DepthCase> {};
TEST_P(TiffDepth, FoundByTheReader) {
    REQUIRE_TOOL("convert");
    const TBitmap source = SourceImage(GetParam().source);
    QString name = Convert(PpmOf(source), "in.ppm", GetParam().options, "out.tif");
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1) << GetParam().what;
    EXPECT_EQ(OptionsOE().FoundBitDepth, GetParam().depth) << GetParam().what;
    EXPECT_EQ(BitDepthFound(name, bmp), GetParam().depth) << GetParam().what;
    // Red stays red in one-bit palette files too.
    EXPECT_LE(MaxDifference(bmp, source), GetParam().tolerance) << GetParam().what;
}
INSTANTIATE_TEST_SUITE_P(
    Kinds, TiffDepth,
    ::testing::Values(DepthCase{"bilevel", BlackWhite, {"-type", "Bilevel", "-depth", "1"}, 1},
                      DepthCase{"palette1", RedBlue, {"-type", "Palette"}, 1},
                      DepthCase{"palette8", FortyColours, {"-type", "Palette"}, 8, 1},
                      DepthCase{"grey", BlackWhite, {"-type", "Grayscale", "-depth", "8"}, 8},
                      DepthCase{"rgb", FortyColours, {"-type", "TrueColor", "-depth", "8"}, 24},
                      DepthCase{"rgb16", FortyColours, {"-type", "TrueColor", "-depth", "16"}, 24},
                      DepthCase{"grey16", BlackWhite, {"-type", "Grayscale", "-depth", "16"}, 24},
                      DepthCase{
                          "zip", FortyColours, {"-type", "TrueColor", "-compress", "Zip"}, 24},
                      DepthCase{"jpeg-in-tiff",
                                BlackWhite,
                                {"-type", "TrueColor", "-compress", "JPEG", "-quality", "100",
                                 "-sampling-factor", "1x1"},
                                24}));

TEST_F(Tiff, SixteenBitSamplesGiveTheHighBytes) {
    REQUIRE_TOOL("convert");
    const TBitmap source = RandomImage(11, 6, 9);
    QString name = Convert(PpmOf(source), "in.ppm", {"-depth", "16"}, "deep.tiff");
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_TRUE(bmp.Is24Bit());
    EXPECT_EQ(MaxDifference(bmp, source), 0);
}

TEST_F(Tiff, AlphaBelowOpaqueKeepsThirtyTwoBits) {
    REQUIRE_TOOL("convert");
    const TBitmap colour = RandomImage(10, 5, 12);
    std::vector<uint8_t> alpha(50, 255);
    alpha[3] = 0;
    alpha[7] = 128;
    alpha[12] = 254;
    QString name = Convert(PamOf(colour, alpha), "in.pam", {}, "alpha.tif");
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(OptionsOE().FoundBitDepth, 32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            const uint8_t* p = bmp.ScanLine(y) + 4 * x;
            const uint8_t a = alpha[size_t(y * 10 + x)];
            EXPECT_EQ(p[3], a);
            if (a == 0) continue;
            // Colour comes back from libtiff's premultiplied form: exact when opaque.
            const TTriple want = PixelAt(colour, x, y);
            const int tolerance = a == 255 ? 0 : 255 / a + 1;
            EXPECT_NEAR(p[0], want.b, tolerance);
            EXPECT_NEAR(p[1], want.g, tolerance);
            EXPECT_NEAR(p[2], want.r, tolerance);
        }
}

TEST_F(Tiff, OpaqueAlphaGivesTwentyFourBits) {
    REQUIRE_TOOL("convert");
    const TBitmap colour = RandomImage(6, 6, 13);
    QString name = Convert(PamOf(colour, std::vector<uint8_t>(36, 255)), "in.pam",
                           {"-define", "tiff:alpha=unassociated"}, "opaque.tif");
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_TRUE(bmp.Is24Bit());
    EXPECT_EQ(MaxDifference(bmp, colour), 0);
}

TEST_F(Tiff, FirstPageOfSeveral) {
    REQUIRE_TOOL("convert");
    const TBitmap first = UniformImage(5, 4, Rgb(200, 10, 20));
    const TBitmap second = UniformImage(9, 9, Rgb(1, 2, 3));
    const QString a = Path("a.ppm"), b = Path("b.ppm"), out = Path("pages.tif");
    WriteBytes(a, PpmOf(first));
    WriteBytes(b, PpmOf(second));
    bool ok = false;
    RunTool("convert", {a, b, out}, &ok);
    ASSERT_TRUE(ok);
    QString name = out;
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(MaxDifference(bmp, first), 0);
}

TEST_F(Tiff, OurFilesOpenInImageMagickWithTheSamePixels) {
    REQUIRE_TOOL("convert");
    const TBitmap source = RandomImage(23, 7, 14);
    QString name = Path("ours.tiff");
    ASSERT_EQ(SaveImageFile(name, source), 1);
    EXPECT_EQ(MaxDifference(ReadWithImageMagick(name), source), 0);
}

} // namespace
