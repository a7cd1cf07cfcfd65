// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Quantize.h"
#include "TestImages.h"
#include "TestPrinters.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <set>

namespace {

uint32_t Key(const TTriple& t) {
    return (uint32_t(t.r) << 16) | (uint32_t(t.g) << 8) | t.b;
}

std::set<uint32_t> ColoursOf(const TBitmap& img) {
    std::set<uint32_t> s;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            s.insert(Key(PixelAt(img, x, y)));
    return s;
}

std::set<uint32_t> ColoursOf(const TPalette& palette) {
    std::set<uint32_t> s;
    for (const TTriple& t : palette)
        s.insert(Key(t));
    return s;
}

// n distinct random colours repeated over a w x h image.
TBitmap FewColours(int w, int h, int n, uint32_t seed) {
    const TBitmap pool = RandomImage(n, 1, seed);
    return MakeImage(w, h, [&](int x, int y) { return PixelAt(pool, (x * 7 + y * 13) % n, 0); });
}

// Smooth gradients with a little noise, like a photograph.
TBitmap PhotoLike(int w, int h) {
    std::mt19937 rng(5);
    return MakeImage(w, h, [&](int x, int y) {
        const int n = int(rng() % 9) - 4;
        auto c = [n](int v) { return uint8_t(std::clamp(v + n, 0, 255)); };
        return Rgb(c(x * 255 / w), c(y * 255 / h), c((x + y) * 255 / (w + h)));
    });
}

std::array<double, 3> MeanOf(const TBitmap& img) {
    std::array<double, 3> sum{};
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const TTriple t = PixelAt(img, x, y);
            sum[0] += t.r;
            sum[1] += t.g;
            sum[2] += t.b;
        }
    for (double& s : sum)
        s /= double(img.Width()) * img.Height();
    return sum;
}

TEST(OctreePalette, ImageWithFewColoursKeepsExactlyItsColours) {
    for (int n : {1, 2, 200, 254, 256}) {
        const TBitmap img = FewColours(40, 30, n, uint32_t(n));
        EXPECT_EQ(ColoursOf(BuildOctreePalette(img, 256)), ColoursOf(img)) << n;
    }
}

TEST(OctreePalette, NeverMoreEntriesThanAsked) {
    const TBitmap img = RandomImage(64, 64, 2);
    for (int maxColors : {1, 2, 7, 8, 16, 254, 256}) {
        const TPalette p = BuildOctreePalette(img, maxColors);
        EXPECT_GE(p.size(), 1u) << maxColors;
        EXPECT_LE(p.size(), size_t(maxColors)) << maxColors;
    }
    EXPECT_LE(BuildOctreePalette(img, 1000).size(), 256u);
    EXPECT_TRUE(BuildOctreePalette(TBitmap(), 16).empty());
}

TEST(OctreePalette, FoldsTheColoursThatShareTheLongestPrefix) {
    // Blue 0 and 2 differ only in their second lowest bit; white shares nothing with them.
    const TBitmap img = MakeImage(3, 1, [](int x, int) {
        return x == 0 ? Rgb(0, 0, 0) : x == 1 ? Rgb(0, 0, 2) : Rgb(255, 255, 255);
    });
    const TPalette p = BuildOctreePalette(img, 2);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], Rgb(0, 0, 1));
    EXPECT_EQ(p[1], Rgb(255, 255, 255));
}

TEST(OctreePalette, OneEntryIsTheRoundedMean) {
    const TBitmap img = MakeImage(2, 1, [](int x, int) { return Grey(x ? 255 : 0); });
    const TPalette p = BuildOctreePalette(img, 1);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0], Grey(128));
}

struct NearestCase {
    const char* name;
    TTriple colour;
    uint8_t index;
};

void PrintTo(const NearestCase& c, std::ostream* os) {
    *os << c.name;
}

class NearestEntry : public ::testing::TestWithParam<NearestCase> {};

TEST_P(NearestEntry, WithoutDiffusion) {
    const NearestCase c = GetParam();
    // Entry 3 repeats entry 0: ties go to the lower index.
    const TPalette palette{Grey(0), Grey(255), Rgb(255, 0, 0), Grey(0), Rgb(0, 0, 200)};
    const TIndexedImage out = MapToPalette(UniformImage(2, 2, c.colour), palette, false);
    EXPECT_EQ(out.Palette, palette);
    ASSERT_EQ(out.Indices.size(), 4u);
    for (uint8_t i : out.Indices)
        EXPECT_EQ(i, c.index);
}

INSTANTIATE_TEST_SUITE_P(Cases, NearestEntry,
                         ::testing::Values(NearestCase{"exactBlack", Grey(0), 0},
                                           NearestCase{"darkGrey", Grey(100), 0},
                                           NearestCase{"lightGrey", Grey(150), 1},
                                           NearestCase{"reddish", Rgb(200, 40, 40), 2},
                                           NearestCase{"blueish", Rgb(0, 30, 150), 4},
                                           NearestCase{"tieGoesLow", Rgb(0, 0, 100), 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Lowest index among the entries at the least squared distance.
uint8_t BruteNearest(const TPalette& palette, const TTriple& t) {
    int best = INT_MAX, index = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - t.r, dg = palette[i].g - t.g, db = palette[i].b - t.b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            index = int(i);
        }
    }
    return uint8_t(index);
}

struct PaletteShape {
    const char* name;
    int size;
    int spread; // entries drawn from 0..spread-1 on every channel
};

void PrintTo(const PaletteShape& c, std::ostream* os) {
    *os << c.name;
}

class NearestMatchesExhaustiveSearch : public ::testing::TestWithParam<PaletteShape> {};

TEST_P(NearestMatchesExhaustiveSearch, OnRandomColours) {
    const PaletteShape c = GetParam();
    std::mt19937 rng(uint32_t(c.size * 1000 + c.spread));
    TPalette palette;
    for (int i = 0; i < c.size; ++i)
        palette.push_back(TTriple{uint8_t(rng() % unsigned(c.spread)),
                                  uint8_t(rng() % unsigned(c.spread)),
                                  uint8_t(rng() % unsigned(c.spread))});
    const TBitmap img = RandomImage(96, 96, uint32_t(c.size));
    const TIndexedImage out = MapToPalette(img, palette, false);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            ASSERT_EQ(out.At(x, y), BruteNearest(palette, PixelAt(img, x, y))) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Shapes, NearestMatchesExhaustiveSearch,
                         ::testing::Values(PaletteShape{"one", 1, 256},
                                           PaletteShape{"spread", 37, 256},
                                           PaletteShape{"full", 256, 256},
                                           PaletteShape{"crowdedCorner", 200, 24},
                                           PaletteShape{"fewValuesManyTies", 64, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MapToPalette, ReachesIndex255) {
    TPalette greys;
    for (int i = 0; i < 256; ++i)
        greys.push_back(Grey(uint8_t(i)));
    const TIndexedImage out = MapToPalette(UniformImage(3, 1, Grey(255)), greys, true);
    EXPECT_EQ(out.At(2, 0), 255);
}

TEST(MapToPalette, RejectsAnEmptyOrOversizedPalette) {
    const TBitmap img = UniformImage(2, 2, Grey(9));
    EXPECT_THROW(MapToPalette(img, TPalette{}, true), std::exception);
    EXPECT_THROW(MapToPalette(img, TPalette(257, Grey(0)), true), std::exception);
}

TEST(ErrorDiffusion, SpreadsSevenThreeFiveAndOneSixteenths) {
    // Worked by hand: errors kept in sixteenths, rounded to the nearest level when applied.
    const TBitmap img = UniformImage(3, 2, Grey(100));
    const TIndexedImage out = MapToPalette(img, TPalette{Grey(0), Grey(255)}, true);
    const std::vector<uint8_t> want{0, 1, 0, 0, 1, 0};
    EXPECT_EQ(out.Indices, want);
}

TEST(ErrorDiffusion, KeepsTheMeanOfAFlatGrey) {
    const TBitmap img = UniformImage(64, 64, Grey(128));
    const TBitmap dithered = IndexedTo24Bit(MapToPalette(img, TPalette{Grey(0), Grey(255)}, true));
    EXPECT_NEAR(MeanOf(dithered)[0], 128.0, 1.0);
    const TBitmap plain = IndexedTo24Bit(MapToPalette(img, TPalette{Grey(0), Grey(255)}, false));
    EXPECT_EQ(ColoursOf(plain).size(), 1u);
}

TEST(QuantizeImage, PhotoKeepsItsMeanWithinTheColourLimit) {
    const TBitmap img = PhotoLike(300, 200);
    const TIndexedImage q = QuantizeImage(img, 254);
    EXPECT_LE(q.Palette.size(), 254u);
    const TBitmap back = IndexedTo24Bit(q);
    EXPECT_LE(ColoursOf(back).size(), 254u);
    const auto before = MeanOf(img);
    const auto after = MeanOf(back);
    for (size_t c = 0; c < 3; ++c)
        EXPECT_NEAR(after[c], before[c], 1.0) << c;
}

TEST(IndexExactColors, SortedPaletteAndExactIndices) {
    const TBitmap img = MakeImage(3, 2, [](int x, int y) {
        return (x + y) % 3 == 0 ? Rgb(9, 0, 0) : (x + y) % 3 == 1 ? Rgb(0, 0, 200) : Rgb(0, 7, 0);
    });
    const auto out = IndexExactColors(img, 3);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->Palette, (TPalette{Rgb(0, 0, 200), Rgb(0, 7, 0), Rgb(9, 0, 0)}));
    EXPECT_EQ(out->At(0, 0), 2);
    EXPECT_EQ(out->At(1, 0), 0);
    EXPECT_EQ(out->At(2, 0), 1);
    EXPECT_TRUE(IndexedTo24Bit(*out) == img);
    EXPECT_FALSE(IndexExactColors(img, 2).has_value());
}

TEST(IndexExactColors, UpTo256ColoursRoundTrip) {
    const TBitmap img = FewColours(50, 40, 256, 11);
    const auto out = IndexExactColors(img, 256);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->Palette.size(), 256u);
    EXPECT_TRUE(IndexedTo24Bit(*out) == img);
    const TBitmap eight = IndexedTo8Bit(*out);
    EXPECT_EQ(eight.PixelFormat(), TPixelFormat::pf8bit);
    TBitmap widened = eight;
    widened.To24Bit();
    EXPECT_TRUE(widened == img);
}

} // namespace
