// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"

#include <gtest/gtest.h>

namespace {

// FF D8, an APP0 segment, then a frame header of the given marker.
std::vector<uint8_t> JpegHead(uint8_t sof, int w, int h) {
    std::vector<uint8_t> b = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F',  'I', 'F', 0,  1, 1,
                              0,    0,    1,    0,    1, 0,  0,   0xFF, sof, 0,   17, 8};
    b.insert(b.end(), {uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8), uint8_t(w), 3});
    return b;
}

struct SizeCase {
    const char* what;
    std::vector<uint8_t> bytes;
    int w, h;
};
class JpegStoredSizeWalk : public ::testing::TestWithParam<SizeCase> {};
TEST_P(JpegStoredSizeWalk, FindsTheBaselineFrame) {
    const TJpegSize s = JpegStoredSize(GetParam().bytes);
    EXPECT_EQ(s.Width, GetParam().w);
    EXPECT_EQ(s.Height, GetParam().h);
}
std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t n) {
    b.resize(n);
    return b;
}
INSTANTIATE_TEST_SUITE_P(
    Files, JpegStoredSizeWalk,
    ::testing::Values(SizeCase{"baseline", JpegHead(0xC0, 4000, 3000), 4000, 3000},
                      SizeCase{"progressive", JpegHead(0xC2, 4000, 3000), 0, 0},
                      SizeCase{"no SOI", Cut(JpegHead(0xC0, 10, 10), 0), 0, 0},
                      SizeCase{"cut in the frame", Cut(JpegHead(0xC0, 10, 10), 27), 0, 0},
                      SizeCase{"cut after the marker", Cut(JpegHead(0xC0, 10, 10), 22), 0, 0},
                      SizeCase{"bad start", {0xFF, 0xD9, 0xFF, 0xC0, 0, 17, 8, 0, 1, 0, 1}, 0, 0},
                      SizeCase{"short segment", {0xFF, 0xD8, 0xFF, 0xE0, 0, 1, 0xFF, 0xC0}, 0, 0}));

struct ScaleCase {
    int w, h, denom;
};
class JpegPreviewScale : public ::testing::TestWithParam<ScaleCase> {};
TEST_P(JpegPreviewScale, FromTheLongerSide) {
    EXPECT_EQ(JpegPreviewDenominator(GetParam().w, GetParam().h), GetParam().denom);
}
INSTANTIATE_TEST_SUITE_P(Sizes, JpegPreviewScale,
                         ::testing::Values(ScaleCase{4000, 3000, 8}, ScaleCase{600, 400, 4},
                                           ScaleCase{299, 200, 1}, ScaleCase{300, 200, 2},
                                           ScaleCase{200, 599, 2}, ScaleCase{1199, 10, 4},
                                           ScaleCase{1200, 10, 8}, ScaleCase{0, 5000, 1},
                                           ScaleCase{5000, -1, 1}));

class Jpeg : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(Jpeg, RoundTripStaysClose) {
    const TBitmap source = SmoothImage(96, 64);
    for (bool progressive : {false, true}) {
        const std::vector<uint8_t> bytes = EncodeJpeg(source, 95, progressive);
        const TBitmap back = DecodeJpeg(bytes);
        ASSERT_TRUE(back.Is24Bit());
        // Quality 95 on a smooth picture: within 12 everywhere, about 1 on average.
        EXPECT_LE(MaxDifference(back, source), 12);
        EXPECT_LT(MeanDifference(back, source), 1.5);
    }
}

TEST_F(Jpeg, PreviewDecodesAtTheScaleOfTheStoredSize) {
    const TBitmap source = SmoothImage(1200, 40);
    QString base = Path("wide.jpg"), prog = Path("wide-prog.jpg");
    WriteBytes(base, EncodeJpeg(source, 90, false));
    WriteBytes(prog, EncodeJpeg(source, 90, true));
    TBitmap bmp;
    ASSERT_EQ(LoadImagePreview(base, bmp), 1);
    EXPECT_EQ(bmp.Width(), 150); // 1200 div 150 = 8: an eighth
    EXPECT_EQ(bmp.Height(), 5);
    EXPECT_EQ(FileWidth(), 1200);
    EXPECT_EQ(FileHeight(), 40);
    // A progressive file has no baseline frame: full size.
    ASSERT_EQ(LoadImagePreview(prog, bmp), 1);
    EXPECT_EQ(bmp.Width(), 1200);
    EXPECT_EQ(FileWidth(), 1200);
    EXPECT_EQ(FileHeight(), 40);
    // Outside preview mode the whole picture.
    ASSERT_EQ(LoadImageFile(base, bmp), 1);
    EXPECT_EQ(bmp.Width(), 1200);
    EXPECT_EQ(FileWidth(), 1200);
}

TEST_F(Jpeg, ExtensionVariantsLoadThroughTheJpegReader) {
    const std::vector<uint8_t> bytes = EncodeJpeg(SmoothImage(16, 8), 90, false);
    for (const char* n : {"a.JPG", "a.jpe", "a.jfif", "a.jp", "a.Jpeg"}) {
        QString name = Path(n);
        WriteBytes(name, bytes);
        TBitmap bmp;
        EXPECT_EQ(LoadImageFile(name, bmp), 1) << n;
        EXPECT_EQ(bmp.Width(), 16);
    }
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(Jpeg, SameAsDjpegForFilesOfCjpeg) {
    REQUIRE_TOOL("cjpeg");
    REQUIRE_TOOL("djpeg");
    const TBitmap source = RandomImage(37, 23, 5);
    const QString ppm = Path("src.ppm"), jpg = Path("ref.jpg");
    WriteBytes(ppm, PpmOf(source));
    for (const QStringList& options :
         {QStringList{"-quality", "80"}, QStringList{"-progressive", "-quality", "60"},
          QStringList{"-grayscale"}, QStringList{"-sample", "1x1", "-restart", "1"}}) {
        bool ok = false;
        RunTool("cjpeg", options + QStringList{"-outfile", jpg, ppm}, &ok);
        ASSERT_TRUE(ok);
        const QByteArray ref = RunTool("djpeg", {"-pnm", jpg}, &ok);
        ASSERT_TRUE(ok);
        QString name = jpg;
        TBitmap ours;
        ASSERT_EQ(LoadImageFile(name, ours), 1) << options.join(' ').toStdString();
        // djpeg writes P5 for grey files, P6 otherwise.
        const bool grey = ref.startsWith("P5");
        const int channels = grey ? 1 : 3;
        const qsizetype start = ref.size() - qsizetype(37) * 23 * channels;
        const auto* p = reinterpret_cast<const uint8_t*>(ref.constData()) + start;
        const TBitmap expected = MakeImage(37, 23, [&](int x, int y) {
            const uint8_t* q = p + (size_t(y) * 37 + x) * channels;
            return grey ? Grey(q[0]) : Rgb(q[0], q[1], q[2]);
        });
        EXPECT_EQ(MaxDifference(ours, expected), 0) << options.join(' ').toStdString();
    }
}

TEST_F(Jpeg, CmykFilesOfImageMagick) {
    REQUIRE_TOOL("convert");
    const TBitmap source = SmoothImage(40, 30);
    const QString ppm = Path("src.ppm"), jpg = Path("cmyk.jpg");
    WriteBytes(ppm, PpmOf(source));
    bool ok = false;
    RunTool("convert", {ppm, "-colorspace", "CMYK", "-quality", "95", jpg}, &ok);
    ASSERT_TRUE(ok);
    QString name = jpg;
    TBitmap ours;
    ASSERT_EQ(LoadImageFile(name, ours), 1);
    EXPECT_LE(MaxDifference(ours, ReadWithImageMagick(jpg)), 3);
    EXPECT_LT(MeanDifference(ours, source), 3.0);
}

TEST_F(Jpeg, OurFilesOpenInImageMagick) {
    REQUIRE_TOOL("convert");
    const TBitmap source = SmoothImage(50, 34);
    for (bool progressive : {false, true}) {
        QString name = Path(progressive ? "p.jpg" : "b.jpg");
        TBitmap ours;
        ASSERT_EQ(SaveImageFile(name, source), 1);
        ASSERT_EQ(LoadImageFile(name, ours), 1);
        // Both decode with the same library family; their upsampling may differ by a step.
        EXPECT_LE(MaxDifference(ReadWithImageMagick(name), ours), 2);
        EXPECT_LE(MaxDifference(ReadWithImageMagick(name), source), 12);
    }
}

TEST_F(Jpeg, FramesBeyondThePixelCapFailBeforeDecoding) {
    std::vector<uint8_t> b = JpegHead(0xC0, 65000, 65000);
    b.insert(b.end(), {1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0, 0xFF, 0xD9});
    QString name = Path("huge.jpg");
    WriteBytes(name, b);
    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    EXPECT_EQ(seam.Messages.size(), 1);
}

} // namespace
