// SPDX-License-Identifier: GPL-2.0-or-later
// Camera RAW files through the decoder library: a small DNG written here with libtiff loads at
// the size the library reports, gives its thumbnail in preview mode and its camera lines to the
// information text; without the library every RAW operation fails with "DLL not loaded".
#include "FormatTestUtil.h"
#include "TestDng.h"
#include "core/Errors.h"
#include "formats/DateDisplay.h"
#include "formats/DecodeFile.h"
#include "formats/Exif.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"
#include "formats/RawImage.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr int kWidth = kDngWidth, kHeight = kDngHeight;
constexpr int kThumbWidth = kDngThumbWidth, kThumbHeight = kDngThumbHeight;

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

// ---- The embedded preview standing in while the picture decodes

TReducedDecoding Probe(const QByteArray& bytes) {
    TDecodeRequest request;
    request.Class = &gcRaw;
    return ProbeReducedDecoding(request, bytes);
}

// The picture a reduced read gives; empty when it gives none.
TBitmap ReadReduced(const QByteArray& bytes, int reduction) {
    TGraphic graphic(gcRaw);
    TReadInput input{QStringLiteral("shot.dng"),
                     {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}};
    input.Reduction = reduction;
    try {
        ReadGraphic(input, graphic);
    } catch (const ETaveluneError&) {
        return {};
    }
    return std::move(graphic.Picture);
}

QSize SizeOf(const TBitmap& bmp) {
    return bmp.Empty() ? QSize() : QSize(bmp.Width(), bmp.Height());
}

// A JPEG preview of the given size, its top-left sixteenth white on dark grey.
std::vector<uint8_t> MarkedPreview(int w, int h) {
    return EncodeJpeg(
        MakeImage(w, h,
                  [&](int x, int y) { return x < w / 4 && y < h / 4 ? Grey(255) : Grey(40); }),
        95, false);
}

// Linear samples of the picture, its top-left sixteenth bright.
std::vector<uint16_t> MarkedSamples() {
    std::vector<uint16_t> samples;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            samples.insert(samples.end(), 3,
                           x < kWidth / 4 && y < kHeight / 4 ? uint16_t(0xE000) : 0x0800);
    return samples;
}

enum TCorner { ckTopLeft, ckTopRight, ckBottomLeft, ckBottomRight };

// The brightest corner, looked at a tenth of the sides in.
TCorner BrightCorner(const TBitmap& bmp) {
    const int x0 = bmp.Width() / 10, x1 = bmp.Width() - 1 - x0;
    const int y0 = bmp.Height() / 10, y1 = bmp.Height() - 1 - y0;
    const int seen[] = {PixelAt(bmp, x0, y0).g, PixelAt(bmp, x1, y0).g, PixelAt(bmp, x0, y1).g,
                        PixelAt(bmp, x1, y1).g};
    return TCorner(std::max_element(std::begin(seen), std::end(seen)) - std::begin(seen));
}

struct TTurnCase {
    int orientation; // the TIFF tag
    TCorner corner;  // where the stored top-left corner shows
};

class RawStandInTurn : public RawWithLibrary, public testing::WithParamInterface<TTurnCase> {};

// The preview is stored unturned; the stand-in shows it turned as the full decode shows the
// picture, in the turned picture's proportions.
TEST_P(RawStandInTurn, ThePreviewIsTurnedAsTheFullDecode) {
    const TTurnCase& c = GetParam();
    QString name = Dng({.Samples = MarkedSamples(),
                        .Orientation = c.orientation,
                        .Preview = MarkedPreview(32, 24),
                        .PreviewWidth = 32,
                        .PreviewHeight = 24});
    const QByteArray bytes = ReadWholeFile(name);
    const bool sideways = c.orientation > 4;
    const QSize full = sideways ? QSize(kHeight, kWidth) : QSize(kWidth, kHeight);
    const TReducedDecoding probe = Probe(bytes);
    EXPECT_EQ(QSize(probe.Width, probe.Height), full);
    EXPECT_EQ(probe.Smallest, 2);

    TBitmap decoded;
    ASSERT_EQ(LoadImageFile(name, decoded), 1);
    ASSERT_EQ(SizeOf(decoded), full);
    EXPECT_EQ(BrightCorner(decoded), c.corner);
    const TBitmap standIn = ReadReduced(bytes, 2);
    ASSERT_EQ(SizeOf(standIn), full / 2);
    EXPECT_EQ(BrightCorner(standIn), c.corner);
}

INSTANTIATE_TEST_SUITE_P(Orientations, RawStandInTurn,
                         testing::Values(TTurnCase{1, ckTopLeft}, TTurnCase{3, ckBottomRight},
                                         TTurnCase{6, ckTopRight}, TTurnCase{8, ckBottomLeft}),
                         [](const testing::TestParamInfo<TTurnCase>& info) {
                             return "Orientation" + std::to_string(info.param.orientation);
                         });

// Which previews stand in at which reduction: only pictures in the proportions of the 64 x 48
// picture, as large as the reduction asks and no larger than the picture. A JPEG larger than
// needed is decoded at the smallest of libjpeg's scales that still covers the reduction.
TEST_F(RawWithLibrary, APreviewStandsInOnlyWhereItCoversTheReduction) {
    struct TCase {
        const char* name;
        QSize preview;               // of the JPEG; empty: none, or kUncompressed
        int smallest;                // what the probe promises
        std::vector<QSize> pictures; // read at reductions 2, 4 and 8; empty: none
    };
    const QSize none, kUncompressed(-2, -2);
    const std::vector<TCase> cases = {
        {"full size", {64, 48}, 2, {{32, 24}, {16, 12}, {8, 6}}},
        {"half", {32, 24}, 2, {{32, 24}, {16, 12}, {8, 6}}},
        {"quarter", {16, 12}, 4, {none, {16, 12}, {8, 6}}},
        {"sides off by two", {34, 24}, 2, {{34, 24}, {17, 12}, {9, 6}}},
        {"uncompressed thumbnail", kUncompressed, 4, {none, {16, 12}, {16, 12}}},
        {"too small", {7, 5}, 0, {none, none, none}},
        {"square", {32, 32}, 0, {none, none, none}},
        {"wider", {40, 24}, 0, {none, none, none}},
        {"larger than the picture", {128, 96}, 0, {none, none, none}},
        {"no preview", none, 0, {none, none, none}},
    };
    const QStringList before = ThumbnailLeftovers();
    for (const TCase& c : cases) {
        TDngSpec spec;
        if (c.preview == kUncompressed) {
            spec.Thumbnail = true;
        } else if (!c.preview.isEmpty()) {
            spec.Preview = MarkedPreview(c.preview.width(), c.preview.height());
            spec.PreviewWidth = c.preview.width();
            spec.PreviewHeight = c.preview.height();
        }
        const QByteArray bytes = ReadWholeFile(Dng(spec));
        EXPECT_EQ(Probe(bytes).Smallest, c.smallest) << c.name;
        const int reductions[] = {2, 4, 8};
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(SizeOf(ReadReduced(bytes, reductions[i])), c.pictures[i])
                << c.name << " at " << reductions[i];
    }
    EXPECT_EQ(ThumbnailLeftovers(), before);
}

// A damaged preview, or bytes that are no picture at all, give no stand-in and never anything
// worse; the full picture still loads.
TEST_F(RawWithLibrary, ADamagedPreviewGivesNoStandInAndThePictureStillLoads) {
    const std::vector<uint8_t> good = MarkedPreview(32, 24);
    std::vector<uint8_t> cut(good.begin(), good.begin() + ptrdiff_t(good.size() / 2));
    std::vector<uint8_t> garbage(600);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 37 + 11);
    // The frame header claims 48000 x 36000: in proportion, but no 64 x 48 picture's preview.
    std::vector<uint8_t> huge = good;
    for (size_t i = 0; i + 9 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 0x8C;
            huge[i + 6] = 0xA0;
            huge[i + 7] = 0xBB;
            huge[i + 8] = 0x80;
            break;
        }
    std::vector<uint8_t> scrambled = good;
    for (size_t i = scrambled.size() / 2; i + 2 < scrambled.size(); i += 7)
        scrambled[i] = uint8_t(scrambled[i] * 13 + 5);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"cut short", cut}, {"no JPEG", garbage}, {"huge", huge}, {"scrambled", scrambled}};
    for (const auto& [what, preview] : cases) {
        QString name = Dng({.Samples = MarkedSamples(),
                            .Preview = preview,
                            .PreviewWidth = 32,
                            .PreviewHeight = 24});
        const QByteArray bytes = ReadWholeFile(name);
        const TReducedDecoding probe = Probe(bytes);
        EXPECT_EQ(QSize(probe.Width, probe.Height), QSize(kWidth, kHeight)) << what;
        for (const int r : {2, 4, 8})
            EXPECT_TRUE(ReadReduced(bytes, r).Empty()) << what << " at " << r;
        TBitmap bmp;
        ASSERT_EQ(LoadImageFile(name, bmp), 1) << what;
        EXPECT_EQ(SizeOf(bmp), QSize(kWidth, kHeight)) << what;
        EXPECT_EQ(BrightCorner(bmp), ckTopLeft) << what;
    }
}

// A library built before it told the turn gives no stand-in, never one turned by guess; the
// picture still loads.
TEST_F(RawWithLibrary, ALibraryThatCannotTellTheTurnGivesNoStandIn) {
    SetRawLibraryFolders({QStringLiteral(TAVELUNE_OLDER_RAW_PLUGIN_DIR)});
    ASSERT_TRUE(RawLibraryLoaded());
    QString name = Dng({.Samples = MarkedSamples(),
                        .Orientation = 3, // half a turn: in proportion either way
                        .Preview = MarkedPreview(32, 24),
                        .PreviewWidth = 32,
                        .PreviewHeight = 24});
    const QByteArray bytes = ReadWholeFile(name);
    const TReducedDecoding probe = Probe(bytes);
    EXPECT_EQ(QSize(probe.Width, probe.Height), QSize(kWidth, kHeight));
    EXPECT_EQ(probe.Smallest, 0);
    EXPECT_TRUE(ReadReduced(bytes, 2).Empty());
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(SizeOf(bmp), QSize(kWidth, kHeight));
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
