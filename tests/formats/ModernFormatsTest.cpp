// WebP, AVIF, HEIF and JPEG XL files written by the formats' reference tools open through the
// dispatcher with the pixels the reference decoders give: exact for lossless files, within a
// few levels for lossy ones, alpha kept as a 32-bit picture, deeper samples brought to 8 bits.
#include "ModernTestUtil.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

enum TKind { kOpaque, kAlpha, kSixteen };

struct ToolCase {
    const char* what;
    TKind kind;
    const char* encoder;
    QStringList encode; // IN and OUT stand for the source PNG and the file made
    const char* decoder;
    QStringList decode; // IN and OUT: the file made and the reference PNG
    const char* name;   // the file the viewer opens
    int tolerance;      // against the reference decoder
    int depth;          // bit depth found
};

QStringList Filled(QStringList args, const QString& in, const QString& out) {
    for (QString& a : args) {
        if (a == QLatin1String("IN")) a = in;
        if (a == QLatin1String("OUT")) a = out;
    }
    return args;
}

void PrintTo(const ToolCase& c, std::ostream* os) {
    *os << c.what;
}

class ToolFiles : public ::testing::TestWithParam<ToolCase> {
protected:
    void SetUp() override {
        REQUIRE_MODERN_TOOLS();
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_P(ToolFiles, OpenWithTheReferenceDecodersPixels) {
    const ToolCase& c = GetParam();
    const TAlphaPicture source =
        c.kind == kAlpha ? AlphaSource(37, 23, 5) : OpaqueSource(37, 23, 9);
    const QString png =
        WritePng(QDir(dir.path()), QStringLiteral("src.png"), source, c.kind == kSixteen);
    ASSERT_FALSE(png.isEmpty());
    QString file = dir.filePath(QString::fromLatin1(c.name));
    bool ok = false;
    RunTool(QString::fromLatin1(c.encoder), Filled(c.encode, png, file), &ok);
    ASSERT_TRUE(ok) << c.encoder;
    const QString ref = dir.filePath(QStringLiteral("ref.png"));
    RunTool(QString::fromLatin1(c.decoder), Filled(c.decode, file, ref), &ok);
    ASSERT_TRUE(ok) << c.decoder;
    const TBitmap expected = ReadPngFile(ref);
    ASSERT_FALSE(expected.Empty());

    TBitmap loaded;
    ASSERT_EQ(LoadImageFile(file, loaded), 1);
    EXPECT_TRUE(seam.Messages.isEmpty());
    EXPECT_EQ(loaded.PixelFormat(),
              c.kind == kAlpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    EXPECT_EQ(BitDepthFound(file, loaded), c.depth);
    EXPECT_EQ(FileWidth(), 37);
    EXPECT_EQ(FileHeight(), 23);
    EXPECT_LE(MaxArgbDifference(loaded, expected), c.tolerance);
    if (c.tolerance == 0) {
        // Lossless files give back the very source.
        EXPECT_EQ(MaxArgbDifference(loaded, AsPicture(source)), 0);
    }
}

const QStringList kDwebp{"IN", "-o", "OUT"};
const QStringList kPlain{"IN", "OUT"};
const QStringList kQuiet{"IN", "OUT", "--quiet"};

INSTANTIATE_TEST_SUITE_P(
    Readers, ToolFiles,
    ::testing::Values(ToolCase{"WebpLossless",
                               kOpaque,
                               "cwebp",
                               {"-quiet", "-lossless", "IN", "-o", "OUT"},
                               "dwebp",
                               kDwebp,
                               "a.webp",
                               0,
                               24},
                      ToolCase{"WebpLossy",
                               kOpaque,
                               "cwebp",
                               {"-quiet", "-q", "80", "IN", "-o", "OUT"},
                               "dwebp",
                               kDwebp,
                               "a.webp",
                               2,
                               24},
                      ToolCase{"WebpAlpha",
                               kAlpha,
                               "cwebp",
                               {"-quiet", "-lossless", "-exact", "IN", "-o", "OUT"},
                               "dwebp",
                               kDwebp,
                               "a.webp",
                               0,
                               32},
                      ToolCase{"WebpLossyAlpha",
                               kAlpha,
                               "cwebp",
                               {"-quiet", "-q", "90", "IN", "-o", "OUT"},
                               "dwebp",
                               kDwebp,
                               "A.WEBP",
                               2,
                               32},
                      ToolCase{"AvifLossless",
                               kOpaque,
                               "avifenc",
                               {"-l", "IN", "OUT"},
                               "avifdec",
                               kPlain,
                               "a.avif",
                               0,
                               24},
                      ToolCase{"AvifLossy",
                               kOpaque,
                               "avifenc",
                               {"--min", "10", "--max", "20", "IN", "OUT"},
                               "avifdec",
                               kPlain,
                               "a.avif",
                               3,
                               24},
                      ToolCase{"AvifAlpha",
                               kAlpha,
                               "avifenc",
                               {"-l", "IN", "OUT"},
                               "avifdec",
                               kPlain,
                               "a.avif",
                               0,
                               32},
                      ToolCase{"AvifTenBit",
                               kSixteen,
                               "avifenc",
                               {"-d", "10", "-y", "444", "IN", "OUT"},
                               "avifdec",
                               {"-d", "8", "IN", "OUT"},
                               "a.avifs",
                               2,
                               24},
                      ToolCase{"HeicLossy",
                               kOpaque,
                               "heif-enc",
                               {"-q", "85", "IN", "-o", "OUT"},
                               "heif-convert",
                               kPlain,
                               "a.heic",
                               3,
                               24},
                      ToolCase{"HeifAlpha",
                               kAlpha,
                               "heif-enc",
                               {"-q", "90", "IN", "-o", "OUT"},
                               "heif-convert",
                               kPlain,
                               "a.heif",
                               3,
                               32},
                      ToolCase{"HeicTenBit",
                               kSixteen,
                               "heif-enc",
                               {"-q", "90", "-b", "10", "IN", "-o", "OUT"},
                               "heif-convert",
                               kPlain,
                               "a.hif",
                               3,
                               24},
                      ToolCase{"JxlLossless",
                               kOpaque,
                               "cjxl",
                               {"IN", "OUT", "-d", "0", "--quiet"},
                               "djxl",
                               kQuiet,
                               "a.jxl",
                               0,
                               24},
                      ToolCase{"JxlLossy",
                               kOpaque,
                               "cjxl",
                               {"IN", "OUT", "-d", "1", "--quiet"},
                               "djxl",
                               kQuiet,
                               "a.jxl",
                               3,
                               24},
                      ToolCase{"JxlAlpha",
                               kAlpha,
                               "cjxl",
                               {"IN", "OUT", "-d", "0", "--quiet"},
                               "djxl",
                               kQuiet,
                               "a.jxl",
                               0,
                               32},
                      // djxl writes 16 bits, which the PNG reader cuts to 8 where libjxl rounds.
                      ToolCase{"JxlSixteenBit",
                               kSixteen,
                               "cjxl",
                               {"IN", "OUT", "-d", "0", "--quiet"},
                               "djxl",
                               kQuiet,
                               "a.jxl",
                               1,
                               24}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace
