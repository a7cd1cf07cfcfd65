// SPDX-License-Identifier: GPL-2.0-or-later
// EXIF in files made or rewritten by independent tools: ImageMagick and libjpeg-turbo's cjpeg.
#include "TestFiles.h"
#include "formats/Exif.h"
#include "formats/ExifSegments.h"

#include "ExifFixtures.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

using namespace exiffix;

namespace {

// The tool's standard output, or nothing when it cannot run or fails.
std::optional<QByteArray> RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted() || !p.waitForFinished(120000)) return std::nullopt;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    return p.readAllStandardOutput();
}

bool HaveTools() {
    return !QStandardPaths::findExecutable("convert").isEmpty() &&
           !QStandardPaths::findExecutable("identify").isEmpty() &&
           !QStandardPaths::findExecutable("cjpeg").isEmpty();
}

uint32_t FirstDirectoryOffset(const QByteArray& tiff) {
    const bool big = tiff.startsWith("MM");
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(uint8_t(tiff[4 + (big ? 3 - i : i)])) << (8 * i);
    return v;
}

class ExifInterop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTools()) GTEST_SKIP() << "ImageMagick or cjpeg missing";
        ASSERT_TRUE(m_dir.isValid());
    }
    QString Path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(ExifInterop, TiffOrientationWrittenByImageMagick) {
    const char* names[] = {"TopLeft", "TopRight", "BottomRight", "BottomLeft",
                           "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
    for (const char* endian : {"lsb", "msb"})
        for (int value = 1; value <= 8; ++value) {
            const QString out = Path(QString("o%1%2.tif").arg(endian).arg(value));
            ASSERT_TRUE(RunTool("convert", {"-size", "5x3", "xc:red", "-depth", "8", "-define",
                                            QString("tiff:endian=") + endian, "-orient",
                                            names[value - 1], out}));
            ASSERT_EQ(ReadFileBytes(out).left(2), endian == std::string("msb") ? "MM" : "II");
            EXPECT_EQ(ReadExifOrientation(out), value) << endian << " " << names[value - 1];
        }
}

// ImageMagick writes the directory after the pixels, so the picture's size moves it.
TEST_F(ExifInterop, TiffDirectoryAfterThePixels) {
    struct Case {
        int side;
        int expected;
    };
    for (const Case c : {Case{160, 6}, Case{280, 6}, Case{300, 0}}) {
        const QString out = Path(QString("big%1.tif").arg(c.side));
        ASSERT_TRUE(RunTool("convert", {"-size", QString("%1x%1").arg(c.side), "xc:red", "-depth",
                                        "8", "-compress", "none", "-orient", "RightTop", out}));
        const uint32_t ifd = FirstDirectoryOffset(ReadFileBytes(out));
        // 160: beyond 64 KiB; 280: just inside 8 + 256000 bytes; 300: outside.
        ASSERT_EQ(ifd > kTiffExifWindow, c.expected == 0) << ifd;
        ASSERT_GT(ifd, 65536u);
        EXPECT_EQ(ReadExifOrientation(out), c.expected) << c.side << " " << ifd;
    }
}

// cjpeg's picture with our APP1 after its JFIF segment: ImageMagick reads our tags, rewrites
// the orientation, and we read its output.
TEST_F(ExifInterop, JpegReadAndRewrittenByImageMagick) {
    const QString ppm = Path("in.ppm");
    QFile f(ppm);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("P6\n8 8\n255\n") + QByteArray(8 * 8 * 3, '\x60'));
    f.close();
    const std::optional<QByteArray> plain = RunTool("cjpeg", {"-quality", "90", ppm});
    ASSERT_TRUE(plain && plain->startsWith("\xFF\xD8\xFF\xE0"));
    const qsizetype app0End = 4 + ((uint8_t((*plain)[4]) << 8) | uint8_t((*plain)[5]));

    for (const bool big : {false, true}) {
        const QByteArray block = Block(big,
                                       {Ascii(271, "Canon"), Ascii(272, "Canon EOS 5D"),
                                        Short(big, 274, 1), Ascii(306, "2011:01:02 03:04:05")},
                                       {Ascii(36867, "2009:07:14 18:30:05")});
        QByteArray jpeg = *plain;
        const TSegment app1 = ExifApp1(block);
        jpeg.insert(app0End, QByteArray("\xFF\xE1", 2) +
                                 U16(true, uint16_t(app1.payload.size() + 2)) + app1.payload);
        const QString in = WriteFile(QDir(m_dir.path()), big ? "mm.jpg" : "ii.jpg", jpeg);
        EXPECT_EQ(ReadExifOrientation(in), 1);

        const std::optional<QByteArray> seen = RunTool(
            "identify",
            {"-format", "%[EXIF:Make]|%[EXIF:Model]|%[EXIF:Orientation]|%[EXIF:DateTimeOriginal]",
             in});
        ASSERT_TRUE(seen);
        EXPECT_EQ(*seen, "Canon|Canon EOS 5D|1|2009:07:14 18:30:05");

        const QString out = Path(big ? "mm-turned.jpg" : "ii-turned.jpg");
        ASSERT_TRUE(RunTool("convert", {in, "-orient", "LeftBottom", out}));
        EXPECT_EQ(ReadExifOrientation(out), 8);
        EXPECT_EQ(ExifInfoText(out, QLocale("en_GB")), "Canon\rCanon EOS 5D\r14/07/2009 18:30");
    }
}

TEST_F(ExifInterop, PlainJpegHasNoMetadata) {
    const QString out = Path("plain.jpg");
    ASSERT_TRUE(RunTool("convert", {"-size", "8x8", "xc:blue", out}));
    EXPECT_EQ(ReadExifOrientation(out), 0);
    EXPECT_EQ(ExifInfoText(out), QString());
}

} // namespace
