// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/PngUtils.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

namespace {

// A reference PNG written with libpng itself: exact control of type, depth and tRNS.
struct TPngSpec {
    int colorType;
    int bitDepth;
    int width = 4, height = 2;
    std::vector<png_color> palette;
    std::vector<png_byte> transAlpha; // palette tRNS
    bool transColour = false;
    png_color_16 trans{};
};

void AppendToVector(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

// sample(x, y, channel) gives the raw sample value for the bit depth.
std::vector<uint8_t> MakePng(const TPngSpec& s, const std::function<int(int, int, int)>& sample) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng failed";
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, png_uint_32(s.width), png_uint_32(s.height), s.bitDepth, s.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
    if (!s.transAlpha.empty())
        png_set_tRNS(png, info, s.transAlpha.data(), int(s.transAlpha.size()), nullptr);
    if (s.transColour) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(&s.trans));
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    std::vector<uint8_t> row(size_t(s.width) * channels * 2 + 1);
    for (int y = 0; y < s.height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        int bit = 0;
        for (int x = 0; x < s.width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int v = sample(x, y, c);
                if (s.bitDepth == 16) {
                    row[size_t(bit / 8)] = uint8_t(v >> 8);
                    row[size_t(bit / 8) + 1] = uint8_t(v);
                } else {
                    row[size_t(bit / 8)] |= uint8_t(v << (8 - s.bitDepth - bit % 8));
                }
                bit += s.bitDepth;
            }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct TypeCase {
    const char* what;
    TPngSpec spec;
    TPixelFormat format;
    int depth;
    bool transparent;
    TColor key;
};

std::vector<png_color> Palette(int n) {
    std::vector<png_color> p;
    for (int i = 0; i < n; ++i)
        p.push_back({png_byte(10 * i), png_byte(100 + i), png_byte(255 - i)});
    return p;
}

TPngSpec Spec(int type, int depth) {
    TPngSpec s;
    s.colorType = type;
    s.bitDepth = depth;
    return s;
}
TPngSpec WithPalette(TPngSpec s, int n, std::vector<png_byte> alpha = {}) {
    s.palette = Palette(n);
    s.transAlpha = std::move(alpha);
    return s;
}
TPngSpec WithKey(TPngSpec s, png_uint_16 r, png_uint_16 g, png_uint_16 b, png_uint_16 grey) {
    s.transColour = true;
    s.trans.red = r;
    s.trans.green = g;
    s.trans.blue = b;
    s.trans.gray = grey;
    return s;
}

class PngTypes : public ::testing::TestWithParam<TypeCase> {};
TEST_P(PngTypes, TransparencyAndDepthFound) {
    const TypeCase& c = GetParam();
    const int maxv = (1 << c.spec.bitDepth) - 1;
    const int indexMax = c.spec.palette.empty() ? maxv : int(c.spec.palette.size()) - 1;
    const auto sample = [&](int x, int y, int ch) {
        if (c.spec.colorType == PNG_COLOR_TYPE_PALETTE) return (x + y) % (indexMax + 1);
        return (x * 37 + y * 11 + ch * 5) % (maxv + 1);
    };
    const TBitmap bmp = DecodePng(MakePng(c.spec, sample));
    EXPECT_EQ(bmp.PixelFormat(), c.format);
    EXPECT_EQ(bmp.FoundBitDepth(), c.depth);
    EXPECT_EQ(bmp.Transparent(), c.transparent);
    if (c.transparent) {
        EXPECT_EQ(bmp.TransparentColor(), c.key);
    }
    // The pixel values follow the samples.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const auto eight = [&](int v) {
                return c.spec.bitDepth == 16 ? v >> 8 : v * 255 / maxv;
            };
            TTriple want;
            switch (c.spec.colorType) {
            case PNG_COLOR_TYPE_PALETTE: {
                const int i = sample(x, y, 0);
                const png_color pc = c.spec.palette[size_t(i)];
                want = Rgb(pc.red, pc.green, pc.blue);
                if (c.transparent && i < int(c.spec.transAlpha.size()) &&
                    c.spec.transAlpha[size_t(i)] == 0)
                    want = ColorToTriple(c.key);
                break;
            }
            case PNG_COLOR_TYPE_GRAY:
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                want = Grey(uint8_t(eight(sample(x, y, 0))));
                break;
            default:
                want = Rgb(uint8_t(eight(sample(x, y, 0))), uint8_t(eight(sample(x, y, 1))),
                           uint8_t(eight(sample(x, y, 2))));
            }
            const uint8_t* p = bmp.ScanLine(y) + x * (c.format == TPixelFormat::pf32bit ? 4 : 3);
            EXPECT_EQ((TTriple{p[0], p[1], p[2]}), want) << c.what << " at " << x << "," << y;
            if (c.format == TPixelFormat::pf32bit) {
                const int alphaChannel = c.spec.colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 3 : 1;
                EXPECT_EQ(p[3], eight(sample(x, y, alphaChannel))) << c.what;
            }
        }
}
INSTANTIATE_TEST_SUITE_P(
    Files, PngTypes,
    ::testing::Values(
        TypeCase{"rgb8", Spec(PNG_COLOR_TYPE_RGB, 8), TPixelFormat::pf24bit, 24, false, 0},
        TypeCase{"rgb16", Spec(PNG_COLOR_TYPE_RGB, 16), TPixelFormat::pf24bit, 24, false, 0},
        TypeCase{"rgb8 key", WithKey(Spec(PNG_COLOR_TYPE_RGB, 8), 10, 20, 30, 0),
                 TPixelFormat::pf24bit, 24, true, RGBColor(10, 20, 30)},
        TypeCase{"rgb16 key", WithKey(Spec(PNG_COLOR_TYPE_RGB, 16), 0x1234, 0x5678, 0x9ABC, 0),
                 TPixelFormat::pf24bit, 24, true, RGBColor(0x12, 0x56, 0x9A)},
        TypeCase{"grey1", Spec(PNG_COLOR_TYPE_GRAY, 1), TPixelFormat::pf24bit, 1, false, 0},
        TypeCase{"grey2", Spec(PNG_COLOR_TYPE_GRAY, 2), TPixelFormat::pf24bit, 4, false, 0},
        TypeCase{"grey4 key", WithKey(Spec(PNG_COLOR_TYPE_GRAY, 4), 0, 0, 0, 5),
                 TPixelFormat::pf24bit, 4, true, RGBColor(85, 85, 85)},
        TypeCase{"grey8", Spec(PNG_COLOR_TYPE_GRAY, 8), TPixelFormat::pf24bit, 8, false, 0},
        TypeCase{"grey16", Spec(PNG_COLOR_TYPE_GRAY, 16), TPixelFormat::pf24bit, 8, false, 0},
        TypeCase{"palette1", WithPalette(Spec(PNG_COLOR_TYPE_PALETTE, 1), 2), TPixelFormat::pf24bit,
                 1, false, 0},
        TypeCase{"palette4 partial alpha",
                 WithPalette(Spec(PNG_COLOR_TYPE_PALETTE, 4), 5, {128, 255}), TPixelFormat::pf24bit,
                 4, false, 0},
        TypeCase{"palette8 binary alpha",
                 WithPalette(Spec(PNG_COLOR_TYPE_PALETTE, 8), 5, {255, 0, 255}),
                 TPixelFormat::pf24bit, 8, true, RGBColor(10, 101, 254)},
        TypeCase{"palette8 all opaque", WithPalette(Spec(PNG_COLOR_TYPE_PALETTE, 8), 5, {255, 255}),
                 TPixelFormat::pf24bit, 8, false, 0},
        TypeCase{"grey alpha", Spec(PNG_COLOR_TYPE_GRAY_ALPHA, 8), TPixelFormat::pf32bit, 32, false,
                 0},
        TypeCase{"rgba16", Spec(PNG_COLOR_TYPE_RGB_ALPHA, 16), TPixelFormat::pf32bit, 32, false,
                 0}));

TEST(PngKey, OpaqueEntryOfTheKeyColourMovesTheKey) {
    // Entries 0 and 1 share a colour; only entry 1 is transparent.
    TPngSpec s = Spec(PNG_COLOR_TYPE_PALETTE, 8);
    s.palette = {{1, 2, 3}, {1, 2, 3}};
    s.transAlpha = {255, 0};
    const TBitmap bmp = DecodePng(MakePng(s, [](int x, int, int) { return x % 2; }));
    EXPECT_TRUE(bmp.Transparent());
    EXPECT_EQ(bmp.TransparentColor(), TransparentKeyColour);
    EXPECT_EQ(PixelAt(bmp, 0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(PixelAt(bmp, 1, 0), ColorToTriple(TransparentKeyColour));
}

// Chunks of a PNG: type and data.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Chunks(const std::vector<uint8_t>& b) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    size_t pos = 8;
    while (pos + 12 <= b.size()) {
        const uint32_t len = qFromBigEndian<uint32_t>(b.data() + pos);
        out.emplace_back(std::string(b.begin() + pos + 4, b.begin() + pos + 8),
                         std::vector<uint8_t>(b.begin() + pos + 8, b.begin() + pos + 8 + len));
        pos += 12 + len;
    }
    return out;
}

TEST(PngSave, StoredBlocksAndNoFilterOnEveryRow) {
    const TBitmap source = RandomImage(300, 90, 3); // rows of 901 bytes: several stored blocks
    const std::vector<uint8_t> file = EncodePng(source);
    std::vector<uint8_t> idat;
    std::vector<std::string> types;
    for (const auto& [type, data] : Chunks(file)) {
        types.push_back(type);
        if (type == "IHDR") {
            EXPECT_EQ(data[8], 8);  // bits per sample
            EXPECT_EQ(data[9], 2);  // colour type RGB
            EXPECT_EQ(data[12], 0); // not interlaced
        }
        if (type == "IDAT") idat.insert(idat.end(), data.begin(), data.end());
    }
    EXPECT_EQ(types.front(), "IHDR");
    EXPECT_EQ(types.back(), "IEND");
    for (const std::string& t : types)
        EXPECT_TRUE(t == "IHDR" || t == "IDAT" || t == "IEND") << t;

    // The deflate stream is made of stored blocks only.
    ASSERT_GT(idat.size(), 2u);
    size_t pos = 2;
    bool last = false;
    int blocks = 0;
    std::vector<uint8_t> raw;
    while (!last) {
        ASSERT_LT(pos, idat.size());
        last = idat[pos] & 1;
        EXPECT_EQ((idat[pos] >> 1) & 3, 0) << "block " << blocks;
        const size_t len = idat[pos + 1] | (idat[pos + 2] << 8);
        const size_t nlen = idat[pos + 3] | (idat[pos + 4] << 8);
        EXPECT_EQ(len ^ 0xFFFF, nlen);
        raw.insert(raw.end(), idat.begin() + pos + 5, idat.begin() + pos + 5 + len);
        pos += 5 + len;
        ++blocks;
    }
    EXPECT_GT(blocks, 1);
    ASSERT_EQ(raw.size(), size_t(90) * 901);
    for (int y = 0; y < 90; ++y) {
        EXPECT_EQ(raw[size_t(y) * 901], 0) << "row " << y;
        const TTriple first = PixelAt(source, 0, y);
        EXPECT_EQ(raw[size_t(y) * 901 + 1], first.r);
        EXPECT_EQ(raw[size_t(y) * 901 + 3], first.b);
    }
    const TBitmap back = DecodePng(file);
    EXPECT_EQ(MaxDifference(back, source), 0);
}

class PngFiles : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(PngFiles, ImageMagickAlphaFileKeepsItsAlpha) {
    REQUIRE_TOOL("convert");
    const TBitmap colour = RandomImage(9, 7, 11);
    std::vector<uint8_t> alpha(9 * 7);
    for (size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = uint8_t(i * 4);
    const QString pam = Path("a.pam"), png = Path("a.png");
    WriteBytes(pam, PamOf(colour, alpha));
    bool ok = false;
    RunTool("convert", {pam, "PNG32:" + png}, &ok);
    ASSERT_TRUE(ok);
    QString name = png;
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(OptionsOE().FoundBitDepth, 32);
    EXPECT_EQ(BitDepthFound(name, bmp), 32);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            const uint8_t* p = bmp.ScanLine(y) + 4 * x;
            const uint8_t a = alpha[size_t(y * 9 + x)];
            EXPECT_EQ(p[3], a);
            if (a > 0) {
                EXPECT_EQ((TTriple{p[0], p[1], p[2]}), PixelAt(colour, x, y));
            }
        }
}

TEST_F(PngFiles, NetpbmFilesLoadExactly) {
    REQUIRE_TOOL("pnmtopng");
    const TBitmap source = RandomImage(13, 5, 2);
    const QString ppm = Path("a.ppm"), png = Path("a.png");
    WriteBytes(ppm, PpmOf(source));
    bool ok = false;
    const QByteArray out = RunTool("pnmtopng", {"-interlace", ppm}, &ok);
    ASSERT_TRUE(ok);
    WriteBytes(png, std::vector<uint8_t>(out.begin(), out.end()));
    QString name = png;
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(MaxDifference(bmp, source), 0);
}

TEST_F(PngFiles, OurFilesOpenInImageMagickWithTheSamePixels) {
    REQUIRE_TOOL("convert");
    const TBitmap source = RandomImage(21, 11, 8);
    QString name = Path("ours.png");
    ASSERT_EQ(SaveImageFile(name, source), 1);
    EXPECT_EQ(MaxDifference(ReadWithImageMagick(name), source), 0);
}

} // namespace
