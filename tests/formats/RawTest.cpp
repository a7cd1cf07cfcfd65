// SPDX-License-Identifier: GPL-2.0-or-later
// Camera RAW files through the decoder library: a small DNG written here with libtiff loads at
// the size the library reports, gives its thumbnail in preview mode and its camera lines to the
// information text; without the library every RAW operation fails with "DLL not loaded".
#include "FormatTestUtil.h"
#include "core/Errors.h"
#include "formats/DateDisplay.h"
#include "formats/Exif.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/RawImage.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>
#include <tiffio.h>

namespace {

constexpr int kWidth = 64, kHeight = 48;
constexpr int kThumbWidth = 16, kThumbHeight = 12;

struct TDngSpec {
    bool Thumbnail = false;
    // 16-bit linear sample of the left and right halves (the same value for all three).
    uint16_t Left = 0x2000, Right = 0x2000;
    // A colour filter array picture (red, green / green, blue) of 8-bit samples instead.
    bool Cfa = false;
    int Width = kWidth, Height = kHeight;
};

void SetCameraTags(TIFF* t) {
    static const uint8_t version[4] = {1, 4, 0, 0};
    static const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    static const float neutral[3] = {1, 1, 1};
    TIFFSetField(t, TIFFTAG_MAKE, "Tavelune");
    TIFFSetField(t, TIFFTAG_MODEL, "Test camera");
    TIFFSetField(t, TIFFTAG_DATETIME, "2009:07:14 18:30:05");
    TIFFSetField(t, TIFFTAG_DNGVERSION, version);
    TIFFSetField(t, TIFFTAG_UNIQUECAMERAMODEL, "Tavelune Test camera");
    TIFFSetField(t, TIFFTAG_COLORMATRIX1, uint16_t(9), identity);
    TIFFSetField(t, TIFFTAG_ASSHOTNEUTRAL, uint16_t(3), neutral);
}

void WriteCfaRaw(TIFF* t, const TDngSpec& s) {
    static const uint16_t dim[2] = {2, 2};
    static const uint8_t pattern[4] = {0, 1, 1, 2};
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.Width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.Height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, 32803); // colour filter array
    TIFFSetField(t, TIFFTAG_CFAREPEATPATTERNDIM, dim);
    TIFFSetField(t, TIFFTAG_CFAPATTERN, uint16_t(4), pattern);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 64);
    const std::vector<uint8_t> row(size_t(s.Width), 0x60);
    for (int y = 0; y < s.Height; ++y)
        TIFFWriteScanline(t, const_cast<uint8_t*>(row.data()), uint32_t(y), 0);
}

void WriteLinearRaw(TIFF* t, const TDngSpec& s) {
    if (s.Cfa) return WriteCfaRaw(t, s);
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, 34892); // linear raw
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, kHeight);
    std::vector<uint16_t> row(size_t(kWidth) * 3);
    for (int x = 0; x < kWidth; ++x)
        for (int c = 0; c < 3; ++c)
            row[size_t(x) * 3 + size_t(c)] = x < kWidth / 2 ? s.Left : s.Right;
    for (int y = 0; y < kHeight; ++y)
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
}

// A linear DNG; with a thumbnail, the first directory holds a red 8-bit RGB picture and the
// raw picture sits in its sub-directory.
bool WriteDng(const QString& path, const TDngSpec& s) {
    TIFF* t = TIFFOpen(path.toLocal8Bit().constData(), "w");
    if (!t) return false;
    if (s.Thumbnail) {
        TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, kThumbWidth);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, kThumbHeight);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, kThumbHeight);
        SetCameraTags(t);
        uint64_t sub[1] = {0};
        TIFFSetField(t, TIFFTAG_SUBIFD, uint16_t(1), sub);
        std::vector<uint8_t> row(size_t(kThumbWidth) * 3);
        for (int x = 0; x < kThumbWidth; ++x)
            row[size_t(x) * 3] = 200;
        for (int y = 0; y < kThumbHeight; ++y)
            TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
        TIFFWriteDirectory(t);
        WriteLinearRaw(t, s);
    } else {
        SetCameraTags(t);
        WriteLinearRaw(t, s);
    }
    TIFFWriteDirectory(t);
    TIFFClose(t);
    return true;
}

TTriple Average(const TBitmap& bmp, int x0, int x1) {
    int64_t r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = x0; x < x1; ++x, ++n) {
            const TTriple t = PixelAt(bmp, x, y);
            r += t.r;
            g += t.g;
            b += t.b;
        }
    return Rgb(uint8_t(r / n), uint8_t(g / n), uint8_t(b / n));
}

int Spread(const TTriple& t) {
    return std::max({t.r, t.g, t.b}) - std::min({t.r, t.g, t.b});
}

QStringList ThumbnailLeftovers() {
    return QDir(QDir::tempPath())
        .entryList({QStringLiteral("raw_thumb_tmp*")}, QDir::Files | QDir::Hidden);
}

class RawWithLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        SetRawLibraryFolders({QStringLiteral(TAVELUNE_RAW_PLUGIN_DIR)});
        InstallRawInfoText(); // other tests install providers of their own
        ASSERT_TRUE(RawLibraryLoaded());
    }
    void TearDown() override { SetRawLibraryFolders({}); }
    QString Dng(const TDngSpec& s, const char* name = "shot.dng") {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(WriteDng(path, s));
        return path;
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(RawWithLibrary, FlatGreyLoadsAtTheReportedSize) {
    QString name = Dng({});
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_TRUE(seam.Messages.isEmpty());
    ASSERT_TRUE(bmp.Is24Bit());
    EXPECT_EQ(bmp.Width(), kWidth);
    EXPECT_EQ(bmp.Height(), kHeight);
    EXPECT_EQ(FileWidth(), kWidth);
    EXPECT_EQ(FileHeight(), kHeight);
    const TTriple a = Average(bmp, 0, kWidth);
    EXPECT_LE(Spread(a), 8) << int(a.r) << " " << int(a.g) << " " << int(a.b);
    EXPECT_GT(a.g, 40);
    // Flat: every pixel close to the average.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const TTriple t = PixelAt(bmp, x, y);
            ASSERT_LE(std::abs(t.g - a.g), 4) << x << "," << y;
        }
}

TEST_F(RawWithLibrary, TwoHalvesKeepTheirOrder) {
    QString name = Dng({.Left = 0x1000, .Right = 0x6000}, "halves.DNG");
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    ASSERT_EQ(bmp.Width(), kWidth);
    const TTriple left = Average(bmp, 2, kWidth / 2 - 2);
    const TTriple right = Average(bmp, kWidth / 2 + 2, kWidth - 2);
    EXPECT_LE(Spread(left), 8);
    EXPECT_LE(Spread(right), 8);
    EXPECT_GT(int(right.g) - int(left.g), 40) << int(left.g) << " " << int(right.g);
}

TEST_F(RawWithLibrary, PreviewGivesTheThumbnailAndRemovesItsFile) {
    const QStringList before = ThumbnailLeftovers();
    QString name = Dng({.Thumbnail = true});
    TBitmap bmp;
    ASSERT_EQ(LoadImagePreview(name, bmp), 1);
    EXPECT_EQ(bmp.Width(), kThumbWidth);
    EXPECT_EQ(bmp.Height(), kThumbHeight);
    EXPECT_EQ(PixelAt(bmp, 3, 3), Rgb(200, 0, 0));
    EXPECT_EQ(FileWidth(), kWidth); // the sensor's size, not the thumbnail's
    EXPECT_EQ(FileHeight(), kHeight);
    EXPECT_EQ(ThumbnailLeftovers(), before);
    // A full load of the same file decodes the raw picture.
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(bmp.Width(), kWidth);
}

TEST_F(RawWithLibrary, PreviewWithoutThumbnailDecodesInFull) {
    const QStringList before = ThumbnailLeftovers();
    TBitmap bmp;
    ASSERT_EQ(LoadImagePreview(Dng({}), bmp), 1);
    EXPECT_EQ(bmp.Width(), kWidth);
    EXPECT_EQ(bmp.Height(), kHeight);
    EXPECT_EQ(ThumbnailLeftovers(), before);
}

TEST_F(RawWithLibrary, InformationTextHasMakerModelAndDate) {
    const QString name = Dng({});
    const QStringList lines = ExifInfoText(name).split(QLatin1Char('\r'));
    ASSERT_EQ(lines.size(), 3) << ExifInfoText(name).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Tavelune"));
    EXPECT_EQ(lines[1], QStringLiteral("Test camera"));
    EXPECT_EQ(lines[2], FormatDisplayDate(QDateTime(QDate(2009, 7, 14), QTime(18, 30, 5))));
    const QByteArray bytes = ReadWholeFile(name);
    const TRawFileInfo info = ReadRawInfo(
        {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}, name);
    EXPECT_EQ(info.Width, kWidth);
    EXPECT_EQ(info.Height, kHeight);
    EXPECT_EQ(info.Date, QStringLiteral("2009:07:14 18:30:05"));
}

// Damaged or foreign files: the library's failure becomes -1 and the load message.
TEST_F(RawWithLibrary, DamagedFilesFailWithTheLoadMessage) {
    const std::vector<uint8_t> good = ReadBytes(Dng({}));
    ASSERT_GT(good.size(), 1000u);
    struct TCase {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<TCase> cases = {
        {"e.dng", {}},
        {"t.nef", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
        {"h.dng", std::vector<uint8_t>(good.begin(), good.begin() + 200)},
        {"g.cr2", std::vector<uint8_t>(4000, 0x5A)},
        {"x.xyz", std::vector<uint8_t>(300, 0x00)},
        {"noextension", std::vector<uint8_t>(300, 0x11)},
    };
    for (const TCase& c : cases) {
        seam.Messages.clear();
        QString name = dir.filePath(QString::fromLatin1(c.name));
        WriteBytes(name, c.bytes);
        TBitmap bmp = UniformImage(2, 2, Grey(5));
        EXPECT_EQ(LoadImageFile(name, bmp), -1) << c.name;
        ASSERT_EQ(seam.Messages.size(), 1) << c.name;
        EXPECT_EQ(seam.Messages[0],
                  QStringLiteral("Unable to load image in file \"%1\" !").arg(name));
        EXPECT_EQ(bmp.Width(), 2);
    }
}

// A picture taller than the limit is decoded at half size; the file's size stays the full one.
TEST_F(RawWithLibrary, TallPictureIsDecodedAtHalfSize) {
    QString name = Dng({.Cfa = true, .Width = 24, .Height = kMaxRawHeight + 2}, "tall.dng");
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(bmp.Width(), 12);
    EXPECT_EQ(bmp.Height(), kMaxRawHeight / 2 + 1);
    EXPECT_EQ(FileWidth(), 24);
    EXPECT_EQ(FileHeight(), kMaxRawHeight + 2);
}

TEST_F(RawWithLibrary, TallPicturesAreNotDecoded) {
    const QByteArray bytes = ReadWholeFile(Dng({}));
    const TBytes data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    for (const auto& [w, h] : {std::pair{10, kMaxRawHeight + 1}, {70000, 9000}}) {
        try {
            DecodeRaw(data, QStringLiteral("shot.dng"), w, h);
            ADD_FAILURE() << w << "x" << h << " decoded";
        } catch (const ETaveluneError&) {
        }
    }
    // The size must be the one the library reports.
    EXPECT_THROW(DecodeRaw(data, QStringLiteral("shot.dng"), kWidth, kHeight - 1), ETaveluneError);
}

TEST(RawWithoutLibrary, EveryOperationFailsWithDllNotLoaded) {
    InitImageFormats();
    QTemporaryDir dir, empty;
    TScriptedSeam seam;
    SetRawLibraryFolders({empty.path()});
    InstallRawInfoText();
    QString name = dir.filePath(QStringLiteral("shot.dng"));
    ASSERT_TRUE(WriteDng(name, {}));
    EXPECT_FALSE(RawLibraryLoaded());

    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    ASSERT_EQ(seam.Messages.size(), 1);
    EXPECT_EQ(seam.Messages[0], QStringLiteral("Unable to load image in file \"%1\" !").arg(name));
    EXPECT_EQ(LoadImagePreview(name, bmp), -1);
    EXPECT_EQ(seam.Messages.size(), 1); // no message in preview mode
    EXPECT_EQ(ExifInfoText(name), QString());

    const QByteArray bytes = ReadWholeFile(name);
    const TBytes data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    for (int op = 0; op < 3; ++op) {
        try {
            if (op == 0) ReadRawInfo(data, name);
            if (op == 1) DecodeRaw(data, name, kWidth, kHeight);
            if (op == 2) RawThumbnail(data, name);
            ADD_FAILURE() << "operation " << op << " did not fail";
        } catch (const ETaveluneError& e) {
            EXPECT_STREQ(e.what(), "DLL not loaded") << op;
        }
    }
    SetRawLibraryFolders({});
}

} // namespace
