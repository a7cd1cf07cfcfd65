// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormatTestUtil.h"
#include "GifTestUtil.h"
#include "TestPrinters.h"
#include "formats/FormatRegistry.h"
#include "formats/GifCodec.h"
#include "formats/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kPalette = {255, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255};

std::vector<uint8_t> Ramp(int w, int h) {
    std::vector<uint8_t> v;
    for (int i = 0; i < w * h; ++i)
        v.push_back(uint8_t((i * 7 + i / w) % 4));
    return v;
}

TEST(Gif, FirstFrameAtItsOwnSizeInPaletteForm) {
    const std::vector<uint8_t> file =
        MakeGif(20, 20, kPalette, {{5, 3, Ramp(5, 3)}, {20, 20, Ramp(20, 20)}});
    const TGifFrame f = DecodeGif(file);
    EXPECT_TRUE(f.Animated);
    EXPECT_EQ(f.Picture.Width(), 5);
    EXPECT_EQ(f.Picture.Height(), 3);
    EXPECT_EQ(f.Picture.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_FALSE(f.Picture.Transparent());
    const std::vector<uint8_t> ramp = Ramp(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(f.Picture.ScanLine(y)[x], ramp[size_t(y * 5 + x)]);
    EXPECT_FALSE(DecodeGif(MakeGif(5, 3, kPalette, {{5, 3, Ramp(5, 3)}})).Animated);
}

TEST(Gif, InterlacedRowsComeBackInOrder) {
    const std::vector<uint8_t> ramp = Ramp(3, 11);
    const TGifFrame f = DecodeGif(MakeGif(3, 11, kPalette, {{3, 11, ramp, -1, true}}));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(f.Picture.ScanLine(y)[x], ramp[size_t(y * 3 + x)]) << y;
}

struct TransparencyCase {
    const char* what;
    int index;
    TColor colour;      // the transparent colour delivered
    TTriple entryAfter; // the palette entry at the index afterwards
};
class GifTransparency : public ::testing::TestWithParam<TransparencyCase> {};
TEST_P(GifTransparency, KeyColourRule) {
    const TGifFrame f =
        DecodeGif(MakeGif(4, 1, kPalette, {{4, 1, {0, 1, 2, 3}, GetParam().index}}));
    EXPECT_TRUE(f.Picture.Transparent());
    EXPECT_EQ(f.Picture.TransparentColor(), GetParam().colour) << GetParam().what;
    TBitmap bmp = f.Picture;
    bmp.To24Bit();
    EXPECT_EQ(PixelAt(bmp, GetParam().index, 0), GetParam().entryAfter) << GetParam().what;
    EXPECT_EQ(PixelAt(bmp, 0, 0), Rgb(255, 0, 0)) << GetParam().what; // entry 0 keeps its red
}
INSTANTIATE_TEST_SUITE_P(
    Cases, GifTransparency,
    ::testing::Values(TransparencyCase{"unique white", 1, clWhite, Rgb(255, 255, 255)},
                      TransparencyCase{"red also at index 0", 2, TransparentKeyColour,
                                       ColorToTriple(TransparentKeyColour)}));

class GifFiles : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(GifFiles, AnimatedFlagAndSizeThroughTheDispatcher) {
    QString name = dir.filePath("anim.gif");
    WriteBytes(name, MakeGif(20, 20, kPalette, {{5, 3, Ramp(5, 3)}, {20, 20, Ramp(20, 20)}}));
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_TRUE(AnimatedGif());
    EXPECT_EQ(FileWidth(), 5);
    EXPECT_EQ(FileHeight(), 3);
    QString still = dir.filePath("still.gif");
    WriteBytes(still, MakeGif(5, 3, kPalette, {{5, 3, Ramp(5, 3)}}));
    ASSERT_EQ(LoadImageFile(still, bmp), 1);
    EXPECT_FALSE(AnimatedGif());
}

TEST_F(GifFiles, ImageMagickFilesLoadExactly) {
    REQUIRE_TOOL("convert");
    const TBitmap source = MakeImage(11, 6, [](int x, int y) {
        return Rgb(uint8_t(x * 20), uint8_t(y * 40), uint8_t((x * y) % 3 * 100));
    });
    const QString ppm = dir.filePath("in.ppm");
    WriteBytes(ppm, PpmOf(source));
    for (const QStringList& options : {QStringList{}, QStringList{"-interlace", "GIF"}}) {
        QString gif = dir.filePath("out.gif");
        bool ok = false;
        RunTool("convert", QStringList{ppm} + options + QStringList{gif}, &ok);
        ASSERT_TRUE(ok);
        TBitmap bmp;
        ASSERT_EQ(LoadImageFile(gif, bmp), 1);
        EXPECT_EQ(bmp.PixelFormat(), TPixelFormat::pf8bit);
        bmp.To24Bit();
        EXPECT_EQ(MaxDifference(bmp, source), 0);
    }
}

TEST_F(GifFiles, ImageMagickTransparency) {
    REQUIRE_TOOL("convert");
    const TBitmap colour =
        MakeImage(6, 4, [](int x, int) { return x < 3 ? Rgb(0, 0, 200) : Rgb(9, 9, 9); });
    std::vector<uint8_t> alpha(24, 255);
    alpha[0] = alpha[7] = 0;
    const QString pam = dir.filePath("in.pam");
    WriteBytes(pam, PamOf(colour, alpha));
    QString gif = dir.filePath("t.gif");
    bool ok = false;
    RunTool("convert", {pam, gif}, &ok);
    ASSERT_TRUE(ok);
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(gif, bmp), 1);
    ASSERT_TRUE(bmp.Transparent());
    bmp.To24Bit();
    const TTriple key = ColorToTriple(bmp.TransparentColor());
    EXPECT_EQ(PixelAt(bmp, 0, 0), key);
    EXPECT_EQ(PixelAt(bmp, 1, 1), key);
    EXPECT_EQ(PixelAt(bmp, 4, 0), Rgb(9, 9, 9));
    EXPECT_NE(PixelAt(bmp, 1, 0), key);
}

} // namespace
