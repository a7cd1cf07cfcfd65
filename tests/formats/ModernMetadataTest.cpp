// The EXIF block and ICC profile of WebP, AVIF, HEIF and JPEG XL files written by the reference
// tools reach the graphic object and the information lines; only WebP, which has no
// orientation of its own, turns by the EXIF orientation.
#include "ExifFixtures.h"
#include "ModernTestUtil.h"
#include "formats/Exif.h"
#include "formats/ExifSegments.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"

#include <gtest/gtest.h>

namespace {

using namespace exiffix;

QByteArray CameraBlock() {
    return Block(false, {Ascii(271, "Tavelune Test"), Ascii(272, "Model 7"), Short(false, 274, 6)},
                 {Ascii(36867, "2021:06:15 10:20:30")});
}

// A stand-in profile: the tools store it as given.
QByteArray Profile() {
    QByteArray icc(200, '\x11');
    icc[0] = 0, icc[1] = 0, icc[2] = 0, icc[3] = char(200);
    icc.replace(36, 4, "acsp");
    return icc;
}

// A JPEG photo with the camera block in its APP1 segment.
QByteArray Photo() {
    const std::vector<uint8_t> jpeg = EncodeJpeg(OpaqueSource(32, 16, 3).Colour, 95, false);
    QByteArray bytes(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size()));
    const QByteArray payload = QByteArray("Exif\0\0", 6) + CameraBlock();
    QByteArray app1("\xFF\xE1", 2);
    app1 += char((payload.size() + 2) >> 8);
    app1 += char((payload.size() + 2) & 0xFF);
    bytes.insert(2, app1 + payload);
    return bytes;
}

struct MetadataCase {
    const char* what;
    const char* name;
    const char* tool;
    QStringList args; // JPG, PNG, EXIF, ICC, OUT stand for the files
    bool orientationFromExif;
    bool profile;
};

void PrintTo(const MetadataCase& c, std::ostream* os) {
    *os << c.what;
}

class Metadata : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(Metadata, ReachesTheGraphicAndTheInformationLines) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    const MetadataCase& c = GetParam();
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QString jpg = WriteFile(d, QStringLiteral("photo.jpg"), Photo());
    const QString png = WritePng(d, QStringLiteral("src.png"), OpaqueSource(32, 16, 3));
    const QString exif = WriteFile(d, QStringLiteral("exif.bin"), CameraBlock());
    const QString icc = WriteFile(d, QStringLiteral("icc.bin"), Profile());
    const QString out = d.filePath(QString::fromLatin1(c.name));
    QStringList args = c.args;
    for (QString& a : args) {
        if (a == QLatin1String("JPG")) a = jpg;
        if (a == QLatin1String("PNG")) a = png;
        if (a == QLatin1String("EXIF")) a = exif;
        if (a == QLatin1String("ICC")) a = icc;
        if (a == QLatin1String("OUT")) a = out;
    }
    bool ok = false;
    RunTool(QString::fromLatin1(c.tool), args, &ok);
    ASSERT_TRUE(ok) << c.tool;

    const QByteArray bytes = ReadWholeFile(out);
    TGraphic graphic(ReaderClassFor(out));
    ReadGraphic(
        TReadInput{out,
                   {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}},
        graphic);
    EXPECT_EQ(graphic.ExifBlock.left(2), QByteArray("II"));
    EXPECT_EQ(TExifMetadata(graphic.ExifBlock).Model(), QStringLiteral("Model 7"));
    if (c.profile) {
        EXPECT_EQ(graphic.IccProfile, Profile());
    }

    EXPECT_TRUE(HasExifName(out));
    const QString lines = ExifInfoText(out, QLocale::c());
    EXPECT_TRUE(lines.startsWith(QStringLiteral("Tavelune Test\rModel 7\r")))
        << lines.toStdString();
    EXPECT_EQ(ExifMetadataFromBytes(
                  out, {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())})
                  .Maker(),
              QStringLiteral("Tavelune Test"));
    EXPECT_EQ(OrientationFromExif(out), c.orientationFromExif);
    EXPECT_EQ(ReadExifOrientation(out), c.orientationFromExif ? 6 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, Metadata,
    ::testing::Values(
        MetadataCase{"WebpFromJpeg",
                     "a.webp",
                     "cwebp",
                     {"-quiet", "-metadata", "exif", "JPG", "-o", "OUT"},
                     true,
                     false},
        MetadataCase{"AvifExifAndProfile",
                     "a.avif",
                     "avifenc",
                     {"--exif", "EXIF", "--icc", "ICC", "PNG", "OUT"},
                     false,
                     true},
        MetadataCase{
            "HeicFromJpeg", "a.heic", "heif-enc", {"-q", "80", "JPG", "-o", "OUT"}, false, false},
        MetadataCase{"JxlFromJpeg", "a.jxl", "cjxl", {"JPG", "OUT", "--quiet"}, false, false}),
    [](const auto& info) { return std::string(info.param.what); });

// webpmux adds the chunks to a file made without them.
TEST(Metadata, WebpProfileAndExifChunks) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QString png = WritePng(d, QStringLiteral("src.png"), OpaqueSource(8, 8, 1));
    const QString plain = d.filePath(QStringLiteral("plain.webp"));
    const QString icc = WriteFile(d, QStringLiteral("icc.bin"), Profile());
    const QString exif = WriteFile(d, QStringLiteral("exif.bin"), CameraBlock());
    const QString withIcc = d.filePath(QStringLiteral("icc.webp"));
    const QString out = d.filePath(QStringLiteral("both.webp"));
    bool ok = false;
    RunTool(QStringLiteral("cwebp"), {QStringLiteral("-quiet"), png, QStringLiteral("-o"), plain},
            &ok);
    ASSERT_TRUE(ok);
    RunTool(
        QStringLiteral("webpmux"),
        {QStringLiteral("-set"), QStringLiteral("icc"), icc, plain, QStringLiteral("-o"), withIcc},
        &ok);
    ASSERT_TRUE(ok);
    RunTool(
        QStringLiteral("webpmux"),
        {QStringLiteral("-set"), QStringLiteral("exif"), exif, withIcc, QStringLiteral("-o"), out},
        &ok);
    ASSERT_TRUE(ok);
    const QByteArray bytes = ReadWholeFile(out);
    TGraphic graphic(ReaderClassFor(out));
    ReadGraphic(
        TReadInput{out,
                   {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}},
        graphic);
    EXPECT_EQ(graphic.IccProfile, Profile());
    EXPECT_EQ(graphic.ExifBlock, CameraBlock());
    EXPECT_EQ(ReadExifOrientation(out), 6);
}

// HEIF turns by its own boxes: the picture comes out as libheif's own tool shows it, and the
// EXIF orientation is not applied on top.
TEST(Metadata, HeifIsTurnedOnceOnly) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    const QDir d(dir.path());
    const QString jpg = WriteFile(d, QStringLiteral("photo.jpg"), Photo());
    QString heic = d.filePath(QStringLiteral("a.heic"));
    const QString ref = d.filePath(QStringLiteral("ref.png"));
    bool ok = false;
    RunTool(QStringLiteral("heif-enc"),
            {QStringLiteral("-q"), QStringLiteral("90"), jpg, QStringLiteral("-o"), heic}, &ok);
    ASSERT_TRUE(ok);
    RunTool(QStringLiteral("heif-convert"), {heic, ref}, &ok);
    ASSERT_TRUE(ok);
    TBitmap loaded;
    ASSERT_EQ(LoadImageFile(heic, loaded), 1);
    const TBitmap expected = ReadPngFile(ref);
    EXPECT_EQ(loaded.Width(), expected.Width());
    EXPECT_EQ(loaded.Height(), expected.Height());
    EXPECT_LE(MaxDifference(loaded, expected), 0);
    EXPECT_EQ(ReadExifOrientation(heic), 0);
}

TEST(ExifPayload, PrefixesOfTheContainersAreStripped) {
    const QByteArray block = CameraBlock();
    const auto strip = [](const QByteArray& b) {
        return ExifBlockFromPayload(reinterpret_cast<const uint8_t*>(b.constData()),
                                    size_t(b.size()));
    };
    EXPECT_EQ(strip(block), block);
    EXPECT_EQ(strip(QByteArray("Exif\0\0", 6) + block), block);
    EXPECT_EQ(strip(QByteArray("\0\0\0\0", 4) + block), block);
    EXPECT_EQ(strip(QByteArray("\0\0\0\6Exif\0\0", 10) + block), block);
    EXPECT_EQ(strip(QByteArray("\0\0\0\2..", 6) + block), block);
    EXPECT_TRUE(strip(QByteArray("\0\0\0\xFF", 4) + block).isEmpty());
    EXPECT_TRUE(strip(QByteArray("garbage")).isEmpty());
    EXPECT_TRUE(strip(QByteArray()).isEmpty());
}

} // namespace
