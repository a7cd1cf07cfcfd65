// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Masks.h"

#include <gtest/gtest.h>
#include <set>

namespace {

std::set<uint32_t> ColoursOf(const TBitmap& img) {
    std::set<uint32_t> s;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const TTriple t = PixelAt(img, x, y);
            s.insert((uint32_t(t.r) << 16) | (uint32_t(t.g) << 8) | t.b);
        }
    return s;
}

// Exactly n distinct colours (n <= 4096), spread over all three channels, each used at least
// once, on a 64-wide image.
TBitmap ExactColours(int n) {
    return MakeImage(64, (n + 63) / 64 + 1, [n](int x, int y) {
        const int i = (y * 64 + x) % n;
        return Rgb(uint8_t((i * 37) & 0xFF), uint8_t((i * 11) >> 4), uint8_t((i & 0x0F) * 16));
    });
}

struct CountCase {
    const char* name;
    TBitmap image;
    int count;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.name;
}

class CountColorsCases : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountColorsCases, CountsDistinctColours) {
    const CountCase& c = GetParam();
    EXPECT_EQ(CountColors(c.image), c.count);
    EXPECT_TRUE(HasMoreColorsThan(c.image, c.count - 1));
    EXPECT_FALSE(HasMoreColorsThan(c.image, c.count));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CountColorsCases,
    ::testing::Values(
        CountCase{"uniform", UniformImage(9, 9, Rgb(1, 2, 3)), 1},
        CountCase{"allBluesOfOnePair",
                  MakeImage(256, 2, [](int x, int) { return Rgb(7, 7, uint8_t(x)); }), 256},
        CountCase{"allPairsOneBlue",
                  MakeImage(256, 256, [](int x, int y) { return Rgb(uint8_t(x), uint8_t(y), 0); }),
                  65536},
        CountCase{"exactly254", ExactColours(254), 254},
        CountCase{"exactly255", ExactColours(255), 255}, CountCase{"empty", TBitmap(), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CountColors, MatchesASetOnRandomPixels) {
    const TBitmap img = RandomImage(128, 96, 6);
    EXPECT_EQ(CountColors(img), int(ColoursOf(img).size()));
}

TEST(CountColors, ZeroForImagesThatAreNot24Bit) {
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
    indexed.fill(1u);
    EXPECT_EQ(CountColors(TBitmap(indexed)), 0);
    QImage argb(4, 4, QImage::Format_ARGB32);
    argb.fill(qRgba(1, 2, 3, 255));
    EXPECT_EQ(CountColors(TBitmap(argb)), 0);
}

TEST(ReduceForPalette, At254ColoursNothingChanges) {
    TBitmap img = ExactColours(254);
    const TBitmap before = img;
    ReduceForPalette(img);
    EXPECT_TRUE(img == before);
}

TEST(ReduceForPalette, At255ColoursTheImageIsReduced) {
    TBitmap img = ExactColours(255);
    img.SetTransparent(true);
    img.SetTransparentColor(0x123456);
    const TBitmap before = img;
    ReduceForPalette(img);
    EXPECT_FALSE(img == before);
    EXPECT_LE(CountColors(img), 254);
    EXPECT_TRUE(img.Is24Bit());
    EXPECT_TRUE(img.Transparent());
    EXPECT_EQ(img.TransparentColor(), 0x123456u);
}

TEST(ReduceForPalette, PhotoStaysCloseOnAverage) {
    std::mt19937 rng(3);
    TBitmap img = MakeImage(320, 240, [&](int x, int y) {
        const int n = int(rng() % 17) - 8;
        auto c = [n](int v) { return uint8_t(std::clamp(v + n, 0, 255)); };
        return Rgb(c(x * 255 / 320), c(y * 255 / 240), c(128 + (x - y) / 4));
    });
    const TBitmap before = img;
    ReduceForPalette(img);
    EXPECT_LE(CountColors(img), 254);
    double diff[3] = {0, 0, 0};
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const TTriple a = PixelAt(img, x, y), b = PixelAt(before, x, y);
            diff[0] += a.r - b.r;
            diff[1] += a.g - b.g;
            diff[2] += a.b - b.b;
        }
    for (double d : diff)
        EXPECT_NEAR(d / (320.0 * 240.0), 0.0, 1.0);
}

TEST(ReduceForPalette, ConvertsOtherFormatsFirst) {
    const TBitmap random = RandomImage(40, 40, 12);
    TBitmap img(random.Image().convertToFormat(QImage::Format_ARGB32));
    ReduceForPalette(img);
    EXPECT_TRUE(img.Is24Bit());
    EXPECT_LE(CountColors(img), 254);
}

struct NudgeCase {
    TColor key, nudged;
};

class NudgedKey : public ::testing::TestWithParam<NudgeCase> {};

TEST_P(NudgedKey, MovesGreenByThreeAwayFromTheNearEnd) {
    EXPECT_EQ(NudgedKeyColor(GetParam().key), GetParam().nudged);
}

INSTANTIATE_TEST_SUITE_P(Cases, NudgedKey,
                         ::testing::Values(NudgeCase{0xFFFFFF, 0xFFFCFF},
                                           NudgeCase{0x000000, 0x000300},
                                           NudgeCase{0x127F34, 0x128234},
                                           NudgeCase{0x128034, 0x127D34},
                                           NudgeCase{KeyColor, 0xDCEACE}));

TEST(KeyColorMask, BlackOnExactKeyPixelsOnly) {
    const TBitmap picture = MakeImage(3, 1, [](int x, int) {
        return x == 0 ? Rgb(255, 255, 255) : x == 1 ? Rgb(255, 254, 255) : Rgb(0, 0, 0);
    });
    const TBitmap mask = KeyColorMask(picture, clWhite);
    EXPECT_EQ(PixelAt(mask, 0, 0), Grey(0));
    EXPECT_EQ(PixelAt(mask, 1, 0), Grey(255));
    EXPECT_EQ(PixelAt(mask, 2, 0), Grey(255));
}

TEST(PrepareTransparentGif, VisibleKeyPixelsMoveAndMaskedOnesTakeTheKey) {
    TBitmap picture = UniformImage(4, 1, Grey(255));
    picture.SetTransparent(true);
    picture.SetTransparentColor(clWhite);
    const TBitmap before = picture;
    const TBitmap mask = MakeImage(4, 1, [](int x, int) {
        return Grey(x == 0 ? 0 : x == 1 ? 128 : x == 2 ? 129 : 255);
    });
    const TBitmap gif = PrepareTransparentGif(picture, clWhite, mask);
    EXPECT_EQ(PixelAt(gif, 0, 0), Grey(255));
    EXPECT_EQ(PixelAt(gif, 1, 0), Grey(255));
    EXPECT_EQ(PixelAt(gif, 2, 0), Rgb(255, 252, 255));
    EXPECT_EQ(PixelAt(gif, 3, 0), Rgb(255, 252, 255));
    EXPECT_TRUE(gif.Transparent());
    EXPECT_EQ(gif.TransparentColor(), clWhite);
    EXPECT_TRUE(picture == before);
}

TEST(PrepareTransparentGif, ReducedPictureKeepsTheKeyOnlyWhereTransparent) {
    // A noisy picture of many colours whose key pixels form a square.
    std::mt19937 rng(9);
    TBitmap picture = MakeImage(64, 48, [&](int x, int y) {
        if (x >= 10 && x < 20 && y >= 10 && y < 20) return Rgb(0xCE, 0xED, 0xDC);
        return Rgb(uint8_t(rng()), uint8_t(0xE0 + rng() % 32), uint8_t(rng()));
    });
    const TBitmap mask = KeyColorMask(picture, KeyColor);
    const TBitmap gif = PrepareTransparentGif(picture, KeyColor, mask);
    EXPECT_LE(CountColors(gif), 255);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool key = x >= 10 && x < 20 && y >= 10 && y < 20;
            EXPECT_EQ(PixelAt(gif, x, y) == Rgb(0xCE, 0xED, 0xDC), key) << x << "," << y;
        }
    EXPECT_EQ(gif.TransparentColor(), KeyColor);
}

} // namespace
