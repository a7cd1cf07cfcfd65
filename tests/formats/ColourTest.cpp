// SPDX-License-Identifier: GPL-2.0-or-later
// Colour management: files that carry an ICC profile come out in sRGB as ImageMagick's
// colour-managed conversion gives them; untagged files and the option off give the stored
// pixels; profiles that cannot be used are ignored.
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/ColourManagement.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/JpegIcc.h"
#include "formats/JpegUtils.h"
#include "formats/PngUtils.h"
#include "formats/PsdCodec.h"
#include "formats/TiffUtils.h"

#include <QFileInfo>
#include <QtEndian>
#include <gtest/gtest.h>
#include <lcms2.h>
#include <thread>
#include <zlib.h>

namespace {

// Profiles of Debian's colord-data, icc-profiles-free and libgs-common packages.
const char* const kAdobe = "/usr/share/color/icc/colord/AdobeRGB1998.icc";
const char* const kProPhoto = "/usr/share/color/icc/colord/ProPhotoRGB.icc";
const char* const kSwapped = "/usr/share/color/icc/colord/SwappedRedAndGreen.icc";
const char* const kSrgb = "/usr/share/color/icc/colord/sRGB.icc";
const char* const kGreyL = "/usr/share/color/icc/Gray-CIE_L.icc";
const char* const kCmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

#define REQUIRE_PROFILE(path)                                                                      \
    do {                                                                                           \
        if (!QFileInfo::exists(QString::fromLatin1(path)))                                         \
            GTEST_SKIP() << (path) << " is not installed";                                         \
    } while (0)

QByteArray ProfileBytes(const char* path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Saturated and middle colours, greys and a few dark ones: what a wide-gamut profile moves most.
TBitmap ColourChart() {
    return MakeImage(16, 12, [](int x, int y) {
        const uint8_t levels[4] = {0, 70, 160, 255};
        if (y >= 8) return Grey(uint8_t((y - 8) * 64 + x * 4));
        return Rgb(levels[x % 4], levels[(x / 4) % 4], levels[y % 4] / (y < 4 ? 1 : 2));
    });
}

TBitmap GreyChart() {
    return MakeImage(16, 12, [](int x, int y) { return Grey(uint8_t(x * 16 + y)); });
}

// What ImageMagick makes of a tagged file converted to sRGB with our rendering choices.
TBitmap ImageMagickInSrgb(const QString& file) {
    return ReadWithImageMagick(file, {QStringLiteral("-intent"), QStringLiteral("Perceptual"),
                                      QStringLiteral("-black-point-compensation"),
                                      QStringLiteral("-profile"), QString::fromLatin1(kSrgb)});
}

// Loads through the dispatcher with colour management on or off.
TBitmap Load(const QString& path, bool colourManagement) {
    OptionsOE().ColourManagement = colourManagement;
    QString name = path;
    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), 1) << path.toStdString();
    OptionsOE().ColourManagement = true;
    bmp.To24Bit();
    return bmp;
}

// Every channel within tolerance of the wanted colour.
::testing::AssertionResult Near(TTriple shown, TTriple want, int tolerance) {
    if (std::abs(shown.r - want.r) <= tolerance && std::abs(shown.g - want.g) <= tolerance &&
        std::abs(shown.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "shown " << int(shown.r) << "," << int(shown.g) << "," << int(shown.b) << " for "
           << int(want.r) << "," << int(want.g) << "," << int(want.b);
}

class Colour : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { OptionsOE().ColourManagement = true; }

    // Runs ImageMagick's convert on a chart written as PPM (or PGM); returns the output file.
    QString MakeWithImageMagick(const TBitmap& chart, const QStringList& operations,
                                const QString& name, bool grey = false) {
        const QString in = dir.filePath(grey ? "in.pgm" : "in.ppm");
        std::vector<uint8_t> ppm = PpmOf(chart);
        if (grey) ppm = PgmOf(chart);
        WriteBytes(in, ppm);
        const QString out = dir.filePath(name);
        bool ok = false;
        RunTool(QStringLiteral("convert"), QStringList{in} + operations + QStringList{out}, &ok);
        EXPECT_TRUE(ok) << name.toStdString();
        return out;
    }

    static std::vector<uint8_t> PgmOf(const TBitmap& bmp) {
        const std::string head =
            "P5\n" + std::to_string(bmp.Width()) + " " + std::to_string(bmp.Height()) + "\n255\n";
        std::vector<uint8_t> out(head.begin(), head.end());
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                out.push_back(PixelAt(bmp, x, y).g);
        return out;
    }

    QTemporaryDir dir;
    TScriptedSeam seam;
};

// ---- files tagged by ImageMagick (-profile on an image without one assigns it)

struct TaggedCase {
    const char* what;
    const char* profile;
    const char* name;
    const char* description; // as ImageMagick reports it
    int tolerance;
};

class TaggedFiles : public Colour, public ::testing::WithParamInterface<TaggedCase> {};

TEST_P(TaggedFiles, ComeOutAsImageMagicksConversionToSrgb) {
    const TaggedCase& c = GetParam();
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(c.profile);
    const TBitmap chart = ColourChart();
    const QString file = MakeWithImageMagick(
        chart, {"-profile", QString::fromLatin1(c.profile), "-quality", "95"}, c.name);

    const TBitmap managed = Load(file, true);
    EXPECT_EQ(IccDescription(), QString::fromLatin1(c.description));
    const TBitmap expected = ImageMagickInSrgb(file);
    ASSERT_FALSE(expected.Empty());
    EXPECT_LE(MaxDifference(managed, expected), c.tolerance) << c.what;

    // The stored pixels are not sRGB, so the conversion moved them well away.
    const TBitmap stored = Load(file, false);
    EXPECT_GT(MaxDifference(managed, stored), 20) << c.what;
    EXPECT_EQ(IccDescription(), QString::fromLatin1(c.description)) << "named also when off";
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, TaggedFiles,
    ::testing::Values(
        TaggedCase{"Adobe RGB JPEG", kAdobe, "adobe.jpg", "Compatible with Adobe RGB (1998)", 3},
        TaggedCase{"Adobe RGB PNG", kAdobe, "adobe.png", "Compatible with Adobe RGB (1998)", 2},
        TaggedCase{"Adobe RGB TIFF", kAdobe, "adobe.tif", "Compatible with Adobe RGB (1998)", 2},
        TaggedCase{"ProPhoto JPEG", kProPhoto, "prophoto.jpg", "ProPhoto RGB", 3},
        TaggedCase{"ProPhoto PNG", kProPhoto, "prophoto.png", "ProPhoto RGB", 2},
        TaggedCase{"ProPhoto TIFF", kProPhoto, "prophoto.tif", "ProPhoto RGB", 2},
        TaggedCase{"swapped JPEG", kSwapped, "swapped.jpg", "Swapped Red and Green", 3},
        TaggedCase{"swapped PNG", kSwapped, "swapped.png", "Swapped Red and Green", 2},
        TaggedCase{"swapped TIFF", kSwapped, "swapped.tif", "Swapped Red and Green", 2}));

TEST_F(Colour, AdobeRgbRedShowsAsTheBrighterRedItMeans) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kAdobe);
    const QString file =
        MakeWithImageMagick(UniformImage(4, 4, Rgb(200, 40, 40)), {"-profile", kAdobe}, "red.png");
    EXPECT_TRUE(Near(PixelAt(Load(file, true), 1, 1), Rgb(232, 35, 35), 2));
}

TEST_F(Colour, SwappingProfileShowsStoredRedAsGreen) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kSwapped);
    const QString file =
        MakeWithImageMagick(UniformImage(4, 4, Rgb(255, 0, 0)), {"-profile", kSwapped}, "r.tif");
    EXPECT_TRUE(Near(PixelAt(Load(file, true), 0, 0), Rgb(0, 255, 0), 5));
}

struct CmykCase {
    const char* what;
    const char* name;
};

// Pixels further apart than the tolerance, in 24-bit pictures of one size.
int CountOver(const TBitmap& a, const TBitmap& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const TTriple p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            count += std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)}) >
                     tolerance;
        }
    return count;
}

class CmykFiles : public Colour, public ::testing::WithParamInterface<CmykCase> {};

TEST_P(CmykFiles, ComeOutAsImageMagicksConversionToSrgb) {
    const CmykCase& c = GetParam();
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kCmyk);
    // sRGB assigned, then converted into the CMYK profile's space, which the file carries.
    const QString file = MakeWithImageMagick(
        ColourChart(), {"-profile", kSrgb, "-profile", kCmyk, "-quality", "95"}, c.name);
    const TBitmap managed = Load(file, true);
    EXPECT_EQ(IccDescription(), QStringLiteral("Artifex CMYK SWOP Profile"));
    const TBitmap expected = ImageMagickInSrgb(file);
    ASSERT_FALSE(expected.Empty());
    // lcms2's precalculated table for four inks stays within a few levels, except where a CMYK
    // colour lies outside sRGB and the table interpolates across the clipping (a few levels
    // more; ImageMagick evaluates every pixel through the profile at full precision).
    EXPECT_LE(CountOver(managed, expected, 3), managed.Width() * managed.Height() / 50) << c.what;
    EXPECT_LE(MaxDifference(managed, expected), 12) << c.what;
    EXPECT_LT(MeanDifference(managed, expected), 1.5) << c.what;
    // Without the profile the inks are turned into light plainly, as before.
    EXPECT_GT(MaxDifference(managed, Load(file, false)), 20) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Containers, CmykFiles,
                         ::testing::Values(CmykCase{"CMYK JPEG", "cmyk.jpg"},
                                           CmykCase{"CMYK TIFF", "cmyk.tif"},
                                           CmykCase{"CMYK Photoshop", "cmyk.psd"}));

class GreyFiles : public Colour, public ::testing::WithParamInterface<const char*> {};

TEST_P(GreyFiles, StayGreyAndMatchImageMagick) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kGreyL);
    const QString file = MakeWithImageMagick(GreyChart(), {"-profile", kGreyL, "-quality", "95"},
                                             QString::fromLatin1(GetParam()), true);
    const TBitmap managed = Load(file, true);
    for (int y = 0; y < managed.Height(); ++y)
        for (int x = 0; x < managed.Width(); ++x) {
            const TTriple t = PixelAt(managed, x, y);
            ASSERT_TRUE(t.r == t.g && t.g == t.b) << x << "," << y;
        }
    EXPECT_LE(MaxDifference(managed, ImageMagickInSrgb(file)), 2);
    EXPECT_GT(MaxDifference(managed, Load(file, false)), 5);
}

INSTANTIATE_TEST_SUITE_P(Containers, GreyFiles,
                         ::testing::Values("grey.jpg", "grey.png", "grey.tif"));

TEST_F(Colour, OptionOffGivesTheStoredPixelsExactly) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kAdobe);
    const TBitmap chart = ColourChart();
    for (const char* name : {"a.png", "a.tif", "a.psd"}) {
        const QString file = MakeWithImageMagick(chart, {"-profile", kAdobe}, name);
        EXPECT_EQ(MaxDifference(Load(file, false), chart), 0) << name;
    }
    const QString jpeg = MakeWithImageMagick(chart, {"-profile", kAdobe}, "a.jpg");
    const std::vector<uint8_t> bytes = ReadBytes(jpeg);
    EXPECT_EQ(MaxDifference(Load(jpeg, false), DecodeJpeg(bytes)), 0);
}

TEST_F(Colour, UntaggedFilesAreBitIdenticalEitherWay) {
    REQUIRE_TOOL("convert");
    const TBitmap chart = ColourChart();
    for (const char* name : {"u.jpg", "u.png", "u.tif", "u.psd", "u.bmp"}) {
        const QString file = MakeWithImageMagick(chart, {"-strip"}, name);
        const TBitmap on = Load(file, true);
        EXPECT_TRUE(IccDescription().isEmpty()) << name;
        EXPECT_TRUE(on == Load(file, false)) << name;
    }
}

TEST_F(Colour, PhotoshopProfileResourceIsFound) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kAdobe);
    const QString file = MakeWithImageMagick(ColourChart(), {"-profile", kAdobe}, "p.psd");
    QByteArray profile;
    DecodePsd(ReadBytes(file), &profile);
    EXPECT_EQ(profile, ProfileBytes(kAdobe));
    EXPECT_LE(MaxDifference(Load(file, true), ImageMagickInSrgb(file)), 2);
}

// A PNG that says sRGB (in an sRGB chunk ahead of its iCCP) needs no conversion.
std::vector<uint8_t> WithChunkAfterHeader(std::vector<uint8_t> png, const char* type,
                                          std::vector<uint8_t> data) {
    std::vector<uint8_t> chunk(4);
    qToBigEndian(uint32_t(data.size()), chunk.data());
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
    chunk.resize(chunk.size() + 4);
    qToBigEndian(uint32_t(crc), chunk.data() + chunk.size() - 4);
    png.insert(png.begin() + 8 + 25, chunk.begin(), chunk.end()); // after the signature and IHDR
    return png;
}

TEST_F(Colour, PngMarkedSrgbIsNotConverted) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kAdobe);
    const TBitmap chart = ColourChart();
    const QString tagged = MakeWithImageMagick(chart, {"-profile", kAdobe}, "t.png");
    QByteArray profile;
    DecodePng(ReadBytes(tagged), &profile);
    EXPECT_EQ(profile, ProfileBytes(kAdobe));

    const QString marked = dir.filePath("marked.png");
    WriteBytes(marked, WithChunkAfterHeader(ReadBytes(tagged), "sRGB", {0}));
    EXPECT_EQ(MaxDifference(Load(marked, true), chart), 0);
    EXPECT_TRUE(IccDescription().isEmpty());
}

TEST_F(Colour, AlphaIsKeptWhileTheColoursAreConverted) {
    REQUIRE_TOOL("convert");
    REQUIRE_PROFILE(kAdobe);
    const TBitmap chart = ColourChart();
    std::vector<uint8_t> alpha;
    for (int i = 0; i < chart.Width() * chart.Height(); ++i)
        alpha.push_back(uint8_t(i * 255 / (chart.Width() * chart.Height() - 1)));
    const QString in = dir.filePath("in.pam");
    WriteBytes(in, PamOf(chart, alpha));
    const QString file = dir.filePath("alpha.png");
    bool ok = false;
    RunTool("convert", {in, "-profile", kAdobe, "PNG32:" + file}, &ok);
    ASSERT_TRUE(ok);
    const QString opaque = MakeWithImageMagick(chart, {"-profile", kAdobe}, "opaque.png");

    QString name = file;
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit);
    const TBitmap colours = Load(opaque, true);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const uint8_t* p = bmp.ScanLine(y) + 4 * x;
            const TTriple want = PixelAt(colours, x, y);
            EXPECT_EQ(p[3], alpha[size_t(y * bmp.Width() + x)]);
            if (p[3] > 0) {
                EXPECT_EQ((TTriple{p[0], p[1], p[2]}), want) << x << "," << y;
            }
        }
}

// ---- profiles built here with lcms2

QByteArray SavedProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// sRGB's curves and white with the red and green primaries exchanged.
QByteArray SwappingProfile() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.30, 0.60, 1.0}, {0.64, 0.33, 1.0}, {0.15, 0.06, 1.0}};
    const cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const QByteArray bytes = SavedProfile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    return bytes;
}

QByteArray LabProfile() {
    return SavedProfile(cmsCreateLab4Profile(nullptr));
}

QByteArray GreyProfile() {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 1.0);
    const QByteArray bytes = SavedProfile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return bytes;
}

// A JPEG with the profile in APP2 segments of at most chunk bytes, in the given order of
// sequence numbers (1-based); empty order: 1, 2, 3...
std::vector<uint8_t> WithIccSegments(const std::vector<uint8_t>& jpeg, const QByteArray& profile,
                                     size_t chunk = 60000, std::vector<int> order = {},
                                     int countShift = 0) {
    const size_t count = std::max<size_t>(1, (size_t(profile.size()) + chunk - 1) / chunk);
    if (order.empty())
        for (size_t i = 1; i <= count; ++i)
            order.push_back(int(i));
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    for (int seq : order) {
        const size_t from = std::min(size_t(profile.size()), (size_t(seq) - 1) * chunk);
        const size_t n = std::min(chunk, size_t(profile.size()) - from);
        const size_t length = 2 + 12 + 2 + n;
        out.insert(out.end(), {0xFF, 0xE2, uint8_t(length >> 8), uint8_t(length)});
        const char tag[] = "ICC_PROFILE";
        out.insert(out.end(), tag, tag + 12);
        out.push_back(uint8_t(seq));
        out.push_back(uint8_t(int(count) + countShift));
        out.insert(out.end(), profile.begin() + qsizetype(from),
                   profile.begin() + qsizetype(from + n));
    }
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<uint8_t> PlainJpeg() {
    return EncodeJpeg(ColourChart(), 95, false);
}

TEST(JpegIccSegments, JoinsThePiecesInSequenceOrder) {
    QByteArray profile(150000, '\0');
    for (qsizetype i = 0; i < profile.size(); ++i)
        profile[i] = char(i * 7 % 251);
    EXPECT_EQ(JpegIccProfile(WithIccSegments(PlainJpeg(), profile)), profile);
    EXPECT_EQ(JpegIccProfile(WithIccSegments(PlainJpeg(), profile, 60000, {3, 1, 2})), profile);
    EXPECT_EQ(JpegIccProfile(WithIccSegments(PlainJpeg(), profile, 1000)).size(), 150000);
}

struct SegmentCase {
    const char* what;
    std::vector<int> order;
    int countShift;
};

class JpegIccDamaged : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(JpegIccDamaged, GivesNoProfile) {
    const QByteArray profile(150000, 'p');
    const SegmentCase& c = GetParam();
    EXPECT_TRUE(JpegIccProfile(WithIccSegments(PlainJpeg(), profile, 60000, c.order, c.countShift))
                    .isEmpty())
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(Pieces, JpegIccDamaged,
                         ::testing::Values(SegmentCase{"a number twice", {1, 2, 2, 3}, 0},
                                           SegmentCase{"a number missing", {1, 3}, 0},
                                           SegmentCase{"number above the count", {1, 2, 3}, -1},
                                           SegmentCase{"count larger than the pieces", {}, 1},
                                           SegmentCase{"number zero", {0, 1, 2, 3}, 0}));

TEST(JpegIccSegments, OnlySegmentsBeforeTheScanCount) {
    const std::vector<uint8_t> jpeg = PlainJpeg();
    // The same segment placed just before the end of the file, after the scan.
    std::vector<uint8_t> late = WithIccSegments(jpeg, QByteArray(100, 'x'));
    std::vector<uint8_t> segment(late.begin() + 2, late.begin() + 2 + 2 + 2 + 14 + 100);
    std::vector<uint8_t> file = jpeg;
    file.insert(file.end() - 2, segment.begin(), segment.end());
    EXPECT_TRUE(JpegIccProfile(file).isEmpty());
    // A file cut after its headers still gives the whole profile.
    late.resize(late.size() / 2);
    EXPECT_EQ(JpegIccProfile(late), QByteArray(100, 'x'));
}

TEST_F(Colour, SwappingProfileBuiltWithLcmsInAJpeg) {
    const QString file = dir.filePath("swap.jpg");
    WriteBytes(file, WithIccSegments(EncodeJpeg(UniformImage(8, 8, Rgb(0, 255, 0)), 100, false),
                                     SwappingProfile()));
    EXPECT_TRUE(Near(PixelAt(Load(file, true), 4, 4), Rgb(255, 0, 0), 5));
}

struct DamagedCase {
    const char* what;
    std::function<QByteArray()> profile;
};

class DamagedProfiles : public Colour, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedProfiles, AreIgnoredWithoutAMessage) {
    const std::vector<uint8_t> plain = PlainJpeg();
    const QString file = dir.filePath("damaged.jpg");
    WriteBytes(file, WithIccSegments(plain, GetParam().profile()));
    EXPECT_EQ(MaxDifference(Load(file, true), DecodeJpeg(plain)), 0) << GetParam().what;
    EXPECT_TRUE(seam.Messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, DamagedProfiles,
    ::testing::Values(DamagedCase{"garbage", [] { return QByteArray(3000, '\x5a'); }},
                      DamagedCase{"cut in half", [] { return SwappingProfile().left(300); }},
                      DamagedCase{"cut in its tags",
                                  [] {
                                      QByteArray p = SwappingProfile();
                                      return p.left(p.size() - 40);
                                  }},
                      DamagedCase{"header only", [] { return SwappingProfile().left(128); }},
                      DamagedCase{"size field too large",
                                  [] {
                                      QByteArray p = SwappingProfile();
                                      p[0] = '\x7f';
                                      return p;
                                  }},
                      DamagedCase{"a Lab profile on RGB pixels", [] { return LabProfile(); }},
                      DamagedCase{"a grey profile on colour pixels",
                                  [] { return GreyProfile(); }}));

TEST_F(Colour, CmykProfileOnAnRgbJpegIsIgnored) {
    REQUIRE_PROFILE(kCmyk);
    const std::vector<uint8_t> plain = PlainJpeg();
    const QString file = dir.filePath("rgb-with-cmyk.jpg");
    WriteBytes(file, WithIccSegments(plain, ProfileBytes(kCmyk)));
    EXPECT_EQ(MaxDifference(Load(file, true), DecodeJpeg(plain)), 0);
}

// ---- the conversion step itself

TEST(ColourConversion, PalettesAndTheTransparentColourAreConverted) {
    const QByteArray swap = SwappingProfile();
    QImage indexed(3, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 255, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int x = 0; x < 3; ++x)
        indexed.scanLine(0)[x] = uint8_t(x);
    TGraphic graphic(gcPng);
    graphic.Picture = TBitmap(indexed);
    graphic.Picture.SetTransparent(true);
    graphic.Picture.SetTransparentColor(RGBColor(0, 255, 0));
    graphic.IccProfile = swap;
    ConvertToSrgb(graphic);
    ASSERT_EQ(graphic.Picture.PixelFormat(), TPixelFormat::pf8bit);
    const QList<QRgb> table = graphic.Picture.Image().colorTable();
    EXPECT_GE(qRed(table[0]), 250);
    EXPECT_LE(qGreen(table[0]), 5);
    EXPECT_GE(qGreen(table[1]), 250);
    EXPECT_GE(qBlue(table[2]), 250);
    const TTriple key = ColorToTriple(graphic.Picture.TransparentColor());
    EXPECT_EQ(qRgb(key.r, key.g, key.b), table[0]);
}

// Large pictures are converted in bands on several threads, the largest through a table of
// every colour: every row comes out as a small picture of the same colours does.
TEST(ColourConversion, LargePicturesMatchASmallOne) {
    REQUIRE_PROFILE(kAdobe);
    const TBitmap row = RandomImage(1024, 1, 7);
    for (const int height : {2600, 4200}) { // bands; bands and the table (above 4 megapixels)
        TBitmap big = MakeImage(1024, height, [&](int x, int) { return PixelAt(row, x, 0); });
        TGraphic small(gcPng), large(gcPng);
        small.Picture = row;
        large.Picture = std::move(big);
        small.IccProfile = large.IccProfile = ProfileBytes(kAdobe);
        ConvertToSrgb(small);
        ConvertToSrgb(large);
        EXPECT_GT(MaxDifference(small.Picture, row), 10);
        for (int y = 0; y < large.Picture.Height(); ++y)
            ASSERT_EQ(std::memcmp(large.Picture.ScanLine(y), small.Picture.ScanLine(0), 1024 * 3),
                      0)
                << "row " << y << " of " << height;
    }
}

// Large pictures of the same profile converted at once fill its table of every colour together:
// each comes out as its rows converted one by one do, whichever band met a colour first.
TEST(ColourConversion, PicturesConvertedAtOnceShareOneTable) {
    REQUIRE_PROFILE(kProPhoto);
    const QByteArray profile = ProfileBytes(kProPhoto);
    std::vector<TGraphic> large;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        large.emplace_back(gcPng);
        large.back().Picture = RandomImage(1024, 4200, seed); // above 4 megapixels
        large.back().IccProfile = profile;
    }
    const std::vector<TGraphic> stored = large;
    {
        std::vector<std::jthread> threads;
        for (TGraphic& graphic : large)
            threads.emplace_back([&graphic] { ConvertToSrgb(graphic); });
    }
    for (size_t i = 0; i < large.size(); ++i)
        for (int y = 0; y < 4200; y += 7) {
            TGraphic row(gcPng);
            NewImage(row.Picture, 1024, 1, clBlack);
            std::memcpy(row.Picture.ScanLine(0), stored[i].Picture.ScanLine(y), 1024 * 3);
            row.IccProfile = profile;
            ConvertToSrgb(row);
            ASSERT_EQ(std::memcmp(large[i].Picture.ScanLine(y), row.Picture.ScanLine(0), 1024 * 3),
                      0)
                << "row " << y << " of picture " << i;
        }
    EXPECT_GT(MaxDifference(large[0].Picture, stored[0].Picture), 10);
}

TEST(ColourConversion, DecodingThreadsShareTheTransforms) {
    REQUIRE_PROFILE(kProPhoto);
    const std::vector<uint8_t> file = WithIccSegments(PlainJpeg(), ProfileBytes(kProPhoto));
    const auto decode = [&file] {
        TGraphic graphic(gcJpeg);
        ReadGraphic(TReadInput{QStringLiteral("a.jpg"), file, false, true}, graphic);
        return graphic.Picture;
    };
    std::vector<TBitmap> results(6);
    {
        std::vector<std::jthread> threads;
        for (TBitmap& r : results)
            threads.emplace_back([&r, &decode] {
                for (int i = 0; i < 5; ++i)
                    r = decode();
            });
    }
    const TBitmap alone = decode();
    EXPECT_GT(MaxDifference(alone, DecodeJpeg(PlainJpeg())), 10);
    for (const TBitmap& r : results)
        EXPECT_TRUE(r == alone);
}

TEST(ColourConversion, DescriptionOfBytesThatAreNoProfileIsEmpty) {
    EXPECT_TRUE(IccProfileDescription(QByteArray()).isEmpty());
    EXPECT_TRUE(IccProfileDescription(QByteArray(500, 'x')).isEmpty());
    EXPECT_FALSE(IccProfileDescription(SwappingProfile()).contains(u'\t'));
}

} // namespace
