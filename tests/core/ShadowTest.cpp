// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Decorations.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

// Strength of every pixel of a shadow, -1 where it is not shaded. Parts that overlap or leave
// the bounds are counted apart.
struct TShadeMap {
    int width = 0, height = 0;
    std::vector<int> pct;
    int overlaps = 0;
    int outside = 0;

    int At(int x, int y) const { return pct[size_t(y * width + x)]; }
};

TShadeMap Shades(const TRect& rect, int size, bool soft, int strength, const TRect& bounds) {
    TShadeMap m{bounds.Right, bounds.Bottom,
                std::vector<int>(size_t(bounds.Right * bounds.Bottom), -1)};
    ShadowShades(rect, size, soft, strength, bounds, [&](const TRect& part, int pct) {
        if (RectEmpty(part) || part.Left < bounds.Left || part.Top < bounds.Top ||
            part.Right > bounds.Right || part.Bottom > bounds.Bottom) {
            ++m.outside;
            return;
        }
        for (int y = part.Top; y < part.Bottom; ++y)
            for (int x = part.Left; x < part.Right; ++x) {
                int& cell = m.pct[size_t(y * m.width + x)];
                if (cell >= 0) ++m.overlaps;
                cell = pct;
            }
    });
    return m;
}

// Rows of three-character cells: the strength, or "  ." where nothing is shaded.
std::vector<std::string> Render(const TShadeMap& m) {
    std::vector<std::string> rows;
    for (int y = 0; y < m.height; ++y) {
        std::string row;
        for (int x = 0; x < m.width; ++x) {
            char cell[8];
            std::snprintf(cell, sizeof cell, "%3d", m.At(x, y));
            row += m.At(x, y) < 0 ? "  ." : cell;
        }
        rows.push_back(row);
    }
    return rows;
}

// --- The noise ---

TEST(ShadowNoise, UniformOverZeroToSix) {
    TShadowNoise noise(12345);
    std::array<int, 7> counts{};
    for (int i = 0; i < 70000; ++i) {
        const int n = noise.Next();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 6);
        ++counts[size_t(n)];
    }
    for (int c : counts) {
        EXPECT_GT(c, 9600);
        EXPECT_LT(c, 10400);
    }
}

TEST(ShadowNoise, TheSeedFixesTheSequence) {
    auto draw = [](uint64_t seed) {
        TShadowNoise noise(seed);
        std::vector<int> v;
        for (int i = 0; i < 64; ++i)
            v.push_back(noise.Next());
        return v;
    };
    EXPECT_EQ(draw(7), draw(7));
    EXPECT_NE(draw(7), draw(8));
}

// --- Darken ---

struct DarkenCase {
    const char* name;
    uint8_t byte;
    int pct;
    int low, high; // the values the noise spreads the byte over
};

void PrintTo(const DarkenCase& c, std::ostream* os) {
    *os << c.name;
}

class DarkenTest : public ::testing::TestWithParam<DarkenCase> {};

TEST_P(DarkenTest, SpreadsThreeLevelsAroundTheDarkenedByte) {
    const DarkenCase c = GetParam();
    TBitmap img = UniformImage(100, 2, Grey(c.byte));
    TShadowNoise noise(99);
    Darken(img, 0, 0, c.pct, 2, 100, noise);
    std::set<int> seen;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 100; ++x) {
            const TTriple p = PixelAt(img, x, y);
            seen.insert({p.b, p.g, p.r});
        }
    EXPECT_EQ(*seen.begin(), c.low);
    EXPECT_EQ(*seen.rbegin(), c.high);
    EXPECT_EQ(int(seen.size()), c.high - c.low + 1);
}

INSTANTIATE_TEST_SUITE_P(Tables, DarkenTest,
                         ::testing::Values(DarkenCase{"grey200At70", 200, 70, 57, 63},
                                           DarkenCase{"quotientTruncates", 99, 33, 64, 70},
                                           DarkenCase{"blackOnlyLightens", 0, 70, 0, 3},
                                           DarkenCase{"whiteAtZeroOnlyDarkens", 255, 0, 252, 255},
                                           DarkenCase{"beyond100Clamps", 10, 150, 0, 0},
                                           DarkenCase{"negativeLightens", 100, -50, 147, 153}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DarkenRange, LimitedToTheImage) {
    struct Case {
        int x1, y1, y2, x2;
        TRect changed;
    };
    for (const Case& c :
         {Case{-5, -5, 100, 100, TRect{0, 0, 4, 3}}, Case{1, 1, 2, 3, TRect{1, 1, 3, 2}},
          Case{3, 0, 3, 3, TRect{}}, Case{2, 2, 1, 4, TRect{}}, Case{4, 0, 3, 9, TRect{}}}) {
        TBitmap img = UniformImage(4, 3, Grey(200));
        TShadowNoise noise(1);
        Darken(img, c.x1, c.y1, 50, c.y2, c.x2, noise);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool in = x >= c.changed.Left && x < c.changed.Right && y >= c.changed.Top &&
                                y < c.changed.Bottom;
                const TTriple p = PixelAt(img, x, y);
                EXPECT_EQ(p.g >= 97 && p.g <= 103, in) << c.x1 << ": " << x << "," << y;
                EXPECT_EQ(p.g == 200, !in) << c.x1 << ": " << x << "," << y;
            }
    }
}

// --- The geometry of the shadow ---

TEST(ShadowShadesGeometry, SoftSize2HasTwoFadingRingsAndARoundCorner) {
    const TShadeMap m = Shades(TRect{1, 1, 11, 9}, 2, true, 70, TRect{0, 0, 14, 12});
    const std::vector<std::string> want{
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .", "  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .", "  .  .  .  .  .  .  .  .  .  .  .  9  4  .",
        "  .  .  .  .  .  .  .  .  .  .  . 18  9  .", "  .  .  .  .  .  .  .  .  .  .  . 28 14  .",
        "  .  .  .  .  .  .  .  .  .  .  . 37 19  .", "  .  .  .  .  .  .  .  .  .  .  . 47 24  .",
        "  .  .  .  .  .  .  .  .  .  .  . 47 24  .", "  .  .  .  9 18 28 37 47 47 47 47 37 19  .",
        "  .  .  .  4  9 14 19 24 24 24 24 19 14  .", "  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
    };
    EXPECT_EQ(Render(m), want);
    EXPECT_EQ(m.overlaps, 0);
}

TEST(ShadowShadesGeometry, TheViewersShadowHasThreeFullAndFourFadingRings) {
    const TShadeMap m = Shades(TRect{1, 1, 15, 13}, 7, true, 70, TRect{0, 0, 23, 21});
    const std::vector<std::string> want{
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . 14 14 14 11  8  5  2  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . 28 28 28 22 16 11  5  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . 42 42 42 33 25 16  8  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . 56 56 56 44 33 22 11  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . 70 70 70 56 42 28 14  .",
        "  .  .  .  .  .  .  .  . 14 28 42 56 70 70 70 70 70 70 56 42 28 14  .",
        "  .  .  .  .  .  .  .  . 14 28 42 56 70 70 70 70 70 70 56 42 28 14  .",
        "  .  .  .  .  .  .  .  . 14 28 42 56 70 70 70 70 70 70 56 42 28 14  .",
        "  .  .  .  .  .  .  .  . 11 22 33 44 56 56 56 56 56 56 44 33 22 11  .",
        "  .  .  .  .  .  .  .  .  8 16 25 33 42 42 42 42 42 42 33 25 16  8  .",
        "  .  .  .  .  .  .  .  .  5 11 16 22 28 28 28 28 28 28 22 16 11  5  .",
        "  .  .  .  .  .  .  .  .  2  5  8 11 14 14 14 14 14 14 11  8  5  2  .",
        "  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .",
    };
    EXPECT_EQ(Render(m), want);
    EXPECT_EQ(m.overlaps, 0);
}

TEST(ShadowShadesGeometry, HardShadowIsTwoBands) {
    const TShadeMap m = Shades(TRect{1, 1, 6, 5}, 3, false, 50, TRect{0, 0, 10, 9});
    const std::vector<std::string> want{
        "  .  .  .  .  .  .  .  .  .  .", "  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  .  .  .  .  .", "  .  .  .  .  .  .  .  .  .  .",
        "  .  .  .  .  .  . 50 50 50  .", "  .  .  .  . 50 50 50 50 50  .",
        "  .  .  .  . 50 50 50 50 50  .", "  .  .  .  . 50 50 50 50 50  .",
        "  .  .  .  .  .  .  .  .  .  .",
    };
    EXPECT_EQ(Render(m), want);
}

TEST(ShadowShadesGeometry, SizeOneIsOneRingAtHalfStrength) {
    const TShadeMap m = Shades(TRect{0, 0, 8, 8}, 1, true, 70, TRect{0, 0, 10, 10});
    const std::vector<std::string> want{
        "  .  .  .  .  .  .  .  .  .  .", "  .  .  .  .  .  .  .  .  7  .",
        "  .  .  .  .  .  .  .  . 14  .", "  .  .  .  .  .  .  .  . 21  .",
        "  .  .  .  .  .  .  .  . 28  .", "  .  .  .  .  .  .  .  . 35  .",
        "  .  .  .  .  .  .  .  . 35  .", "  .  .  .  .  .  .  .  . 35  .",
        "  .  7 14 21 28 35 35 35 28  .", "  .  .  .  .  .  .  .  .  .  .",
    };
    EXPECT_EQ(Render(m), want);
}

struct RingCase {
    const char* name;
    int size, strength;
    bool soft;
    std::vector<int> rings; // strength of each row below the rectangle, top down
};

void PrintTo(const RingCase& c, std::ostream* os) {
    *os << c.name;
}

class ShadowRings : public ::testing::TestWithParam<RingCase> {};

// Rectangle (2, 2, 30, 24) in 50 x 50: the rows below it and the columns right of it, read
// where no fading start or corner step reaches, carry the strength of each ring.
TEST_P(ShadowRings, StrengthPerRing) {
    const RingCase c = GetParam();
    const TShadeMap m =
        Shades(TRect{2, 2, 30, 24}, c.size, c.soft, c.strength, TRect{0, 0, 50, 50});
    std::vector<int> below, right;
    for (int i = 0; i < 12; ++i) {
        if (m.At(20, 24 + i) >= 0) below.push_back(m.At(20, 24 + i));
        if (m.At(30 + i, 18) >= 0) right.push_back(m.At(30 + i, 18));
    }
    EXPECT_EQ(below, c.rings);
    EXPECT_EQ(right, c.rings);
    EXPECT_EQ(m.overlaps, 0);
    EXPECT_EQ(m.outside, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ShadowRings,
    ::testing::Values(
        RingCase{"viewer", 7, 70, true, {70, 70, 70, 56, 42, 28, 14}},
        RingCase{"size2", 2, 70, true, {47, 24}}, RingCase{"size1", 1, 70, true, {35}},
        RingCase{"printPreview", 4, 70, true, {56, 42, 28, 14}},
        RingCase{"bevelControl", 3, 80, true, {60, 40, 20}},
        RingCase{"full", 4, 100, true, {80, 60, 40, 20}},
        RingCase{"stepOfOne", 4, 9, true, {8, 7, 6, 5}},
        RingCase{"stepOfZero", 4, 4, true, {4, 4, 4, 4}}, RingCase{"weakest", 1, 1, true, {1}},
        RingCase{"large", 9, 50, true, {50, 50, 50, 50, 50, 40, 30, 20, 10}},
        RingCase{"hard", 3, 50, false, {50, 50, 50}},
        RingCase{"hardViewer", 7, 70, false, {70, 70, 70, 70, 70, 70, 70}},
        RingCase{"strength0", 7, 0, true, {}}, RingCase{"strength101", 7, 101, true, {}},
        RingCase{"size0", 0, 70, true, {}}, RingCase{"sizeNegative", -3, 70, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShadowShadesGeometry, EmptyRectanglesCastNoShadow) {
    for (const TRect& r : {TRect{5, 5, 5, 9}, TRect{5, 5, 9, 5}, TRect{9, 5, 5, 9}}) {
        int parts = 0;
        ShadowShades(r, 4, true, 70, TRect{0, 0, 20, 20}, [&](const TRect&, int) { ++parts; });
        EXPECT_EQ(parts, 0);
    }
}

// Clipping to smaller bounds keeps exactly the pixels inside them.
TEST(ShadowShadesGeometry, BoundsClipWithoutMovingAnything) {
    for (bool soft : {true, false})
        for (int size : {1, 2, 4, 5, 7, 9}) {
            const TRect rect{3, 2, 17, 13};
            const TShadeMap all = Shades(rect, size, soft, 70, TRect{0, 0, 30, 30});
            const TRect small{0, 0, 19, 16};
            const TShadeMap cut = Shades(rect, size, soft, 70, small);
            EXPECT_EQ(cut.outside, 0);
            for (int y = 0; y < small.Bottom; ++y)
                for (int x = 0; x < small.Right; ++x)
                    ASSERT_EQ(cut.At(x, y), all.At(x, y)) << soft << size << ":" << x << "," << y;
        }
}

// A size in the billions visits only the rings that reach the bounds, and draws what a size
// just large enough draws.
TEST(ShadowShadesGeometry, HugeSizesDrawOnlyWhatReachesTheBounds) {
    const TRect bounds{0, 0, 20, 20};
    for (bool soft : {true, false}) {
        const TShadeMap huge =
            Shades(TRect{-2'000'000'000, -2'000'000'000, 5, 5}, 2'000'000'000, soft, 70, bounds);
        const TShadeMap enough = Shades(TRect{-19, -19, 5, 5}, 19, soft, 70, bounds);
        EXPECT_EQ(Render(huge), Render(enough)) << soft;
        EXPECT_EQ(huge.outside, 0);
    }
    const TShadeMap far =
        Shades(TRect{INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX}, INT_MAX, true, 70, bounds);
    EXPECT_EQ(Render(far), Render(TShadeMap{20, 20, std::vector<int>(400, -1)}));
}

// --- DropShadow on a picture ---

struct DropCase {
    const char* name;
    bool soft;
    int size, strength;
    bool randomImage;
    TRect rect = TRect{3, 2, 33, 22};
};

void PrintTo(const DropCase& c, std::ostream* os) {
    *os << c.name;
}

class DropShadowTest : public ::testing::TestWithParam<DropCase> {};

// Every byte of a shaded pixel lies within 3 of its noiseless darkening; nothing else changes.
TEST_P(DropShadowTest, DarkensTheShadowWithNoiseOfThree) {
    const DropCase c = GetParam();
    const TRect rect = c.rect;
    const TBitmap original =
        c.randomImage ? RandomImage(48, 40, 5) : UniformImage(48, 40, Grey(200));
    TBitmap img = original;
    TShadowNoise noise(2024);
    DropShadow(img, rect, c.size, c.soft, c.strength, noise);
    const TShadeMap m = Shades(rect, c.size, c.soft, c.strength, ImageBounds(img));
    ASSERT_EQ(m.overlaps, 0);
    std::set<int> offsets;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const TTriple before = PixelAt(original, x, y), after = PixelAt(img, x, y);
            const int pct = m.At(x, y);
            if (pct < 0) {
                ASSERT_EQ(after, before) << x << "," << y;
                continue;
            }
            for (auto [e, got] : {std::pair{before.b, after.b}, std::pair{before.g, after.g},
                                  std::pair{before.r, after.r}}) {
                const int v = e - (e * pct) / 100;
                ASSERT_GE(got, std::max(v - 3, 0)) << x << "," << y;
                ASSERT_LE(got, std::min(v + 3, 255)) << x << "," << y;
                if (v >= 3 && v <= 252) offsets.insert(got - v);
            }
            // On grey 200 the weakest part still darkens by 4, more than the noise.
            if (!c.randomImage) {
                ASSERT_NE(after, before) << x << "," << y;
            }
        }
    EXPECT_EQ(offsets, (std::set<int>{-3, -2, -1, 0, 1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DropShadowTest,
    ::testing::Values(
        DropCase{"viewerSoft", true, 7, 70, false}, DropCase{"viewerHard", false, 7, 70, false},
        DropCase{"softRandom", true, 7, 70, true}, DropCase{"size2", true, 2, 70, false},
        DropCase{"size1Full", true, 1, 100, true}, DropCase{"hardStrong", false, 3, 95, true},
        DropCase{"wide", true, 12, 50, false},
        DropCase{"fromAboveLeft", true, 7, 70, false, TRect{-50, -40, 20, 12}},
        DropCase{"oneColumnOfRoom", true, 9, 60, true, TRect{10, 10, 47, 39}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DropShadowConditions, NothingHappensWithoutRoomOrOutOfRange) {
    struct Case {
        const char* name;
        TRect rect;
        int size, strength;
    };
    const TBitmap original = RandomImage(30, 20, 3);
    for (const Case& c :
         {Case{"empty", TRect{5, 5, 5, 10}, 7, 70}, Case{"reversed", TRect{20, 2, 2, 12}, 7, 70},
          Case{"size0", TRect{2, 2, 20, 12}, 0, 70},
          Case{"sizeNegative", TRect{2, 2, 20, 12}, -2, 70},
          Case{"strength0", TRect{2, 2, 20, 12}, 7, 0},
          Case{"strength101", TRect{2, 2, 20, 12}, 7, 101},
          Case{"rightAtTheLastColumn", TRect{2, 2, 30, 12}, 7, 70},
          Case{"bottomAtTheLastRow", TRect{2, 2, 20, 20}, 7, 70},
          Case{"rightBeyond", TRect{2, 2, 45, 12}, 7, 70}}) {
        for (bool soft : {true, false}) {
            TBitmap img = original;
            DropShadow(img, c.rect, c.size, soft, c.strength);
            EXPECT_EQ(img, original) << c.name << " soft " << soft;
        }
    }
    // One column of room is enough.
    TBitmap img = original;
    DropShadow(img, TRect{2, 2, 29, 12}, 7, true, 70);
    EXPECT_NE(img, original);
}

TEST(DropShadowNoise, TheSeedDecidesTheNoise) {
    auto shadow = [](uint64_t seed) {
        TBitmap img = UniformImage(40, 30, Grey(128));
        TShadowNoise noise(seed);
        DropShadow(img, TRect{2, 2, 30, 20}, 7, true, 70, noise);
        return img;
    };
    EXPECT_EQ(shadow(1), shadow(1));
    EXPECT_NE(shadow(1), shadow(2));
}

TEST(DropShadowNoise, ClockSeededShadowStaysWithinTheNoise) {
    const TRect rect{2, 2, 30, 20};
    TBitmap img = UniformImage(40, 30, Grey(128));
    DropShadow(img, rect, 7, true, 70);
    const TShadeMap m = Shades(rect, 7, true, 70, ImageBounds(img));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const int pct = m.At(x, y);
            const int v = pct < 0 ? 128 : 128 - 128 * pct / 100;
            const TTriple p = PixelAt(img, x, y);
            for (int got : {int(p.b), int(p.g), int(p.r)})
                ASSERT_LE(std::abs(got - v), pct < 0 ? 0 : 3) << x << "," << y;
        }
}

// --- DropShadowOnCanvas ---

// What the canvas shadow must paint: each part in its mixed colour, then the corner squares.
TBitmap ExpectedCanvas(TBitmap img, const TRect& rect, int size, bool corners, bool soft,
                       TColor colour, int strength) {
    ShadowShades(rect, size, soft, strength, ImageBounds(img), [&](const TRect& part, int pct) {
        const TTriple t = ColorToTriple(MixColors(colour, clBlack, pct));
        for (int y = part.Top; y < part.Bottom; ++y)
            for (int x = part.Left; x < part.Right; ++x) {
                uint8_t* p = img.ScanLine(y) + 3 * x;
                p[0] = t.b, p[1] = t.g, p[2] = t.r;
            }
    });
    if (corners && size > 0 && strength > 0 && strength <= 100 && !RectEmpty(rect))
        for (const TRect& sq :
             {TRect{rect.Right, rect.Top, rect.Right + size, rect.Top + size},
              TRect{rect.Left, rect.Bottom, rect.Left + size, rect.Bottom + size}})
            Tone(img, colour, 100, sq);
    return img;
}

struct CanvasCase {
    const char* name;
    TRect rect;
    int size;
    bool corners, soft;
    int strength;
};

void PrintTo(const CanvasCase& c, std::ostream* os) {
    *os << c.name;
}

class DropShadowOnCanvasTest : public ::testing::TestWithParam<CanvasCase> {};

TEST_P(DropShadowOnCanvasTest, PaintsMixedColoursOnPictureAndPainter) {
    const CanvasCase c = GetParam();
    const TColor colour = RGBColor(200, 180, 160);
    const TBitmap original = RandomImage(40, 30, 8);
    const TBitmap want =
        ExpectedCanvas(original, c.rect, c.size, c.corners, c.soft, colour, c.strength);

    TBitmap img = original;
    DropShadowOnCanvas(img, c.rect, c.size, c.corners, c.soft, colour, c.strength);
    EXPECT_EQ(img, want);

    QImage target = original.Image().convertToFormat(QImage::Format_RGB32);
    {
        QPainter painter(&target);
        DropShadowOnCanvas(painter, c.rect, c.size, c.corners, c.soft, colour, c.strength);
    }
    TBitmap painted(target);
    painted.To24Bit();
    EXPECT_EQ(painted, want);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DropShadowOnCanvasTest,
    ::testing::Values(CanvasCase{"printPreview", TRect{3, 2, 30, 22}, 4, true, true, 70},
                      CanvasCase{"bevelControl", TRect{3, 2, 30, 22}, 3, false, true, 80},
                      CanvasCase{"hardWithCorners", TRect{3, 2, 30, 22}, 5, true, false, 50},
                      CanvasCase{"noRoomNeeded", TRect{3, 2, 40, 22}, 4, true, true, 70},
                      CanvasCase{"strength101", TRect{3, 2, 30, 22}, 4, true, true, 101},
                      CanvasCase{"size0", TRect{3, 2, 30, 22}, 0, true, true, 70}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DropShadowOnCanvasValues, PrintPreviewShadeOfWhite) {
    TBitmap img = UniformImage(40, 30, Grey(0));
    const TRect rect{3, 2, 30, 22};
    DropShadowOnCanvas(img, rect, 4, true, true, clWhite, 70);
    // The rings at 56, 42, 28 and 14 % of the way from white to black.
    EXPECT_EQ(PixelAt(img, 15, 22), Grey(113));
    EXPECT_EQ(PixelAt(img, 15, 23), Grey(148));
    EXPECT_EQ(PixelAt(img, 15, 24), Grey(184));
    EXPECT_EQ(PixelAt(img, 15, 25), Grey(220));
    // The notch beside the start of the shadow shows the colour; the shadow starts fading in.
    EXPECT_EQ(PixelAt(img, 30, 2), Grey(255));
    EXPECT_EQ(PixelAt(img, 33, 5), Grey(255));
    EXPECT_EQ(PixelAt(img, 30, 6), Grey(255 - 11 * 255 / 100));
    EXPECT_EQ(PixelAt(img, 3, 22), Grey(255));
    // Inside the rectangle nothing is painted.
    EXPECT_EQ(PixelAt(img, 29, 21), Grey(0));
}

TEST(DropShadowOnCanvasValues, PainterCoordinatesFollowItsTransform) {
    const TRect rect{3, 2, 20, 15};
    QImage shifted(30, 24, QImage::Format_RGB32);
    shifted.fill(Qt::black);
    {
        QPainter painter(&shifted);
        painter.translate(-4, 5);
        DropShadowOnCanvas(painter, rect, 4, true, true, clWhite, 70);
    }
    TBitmap direct = UniformImage(30, 24, Grey(0));
    DropShadowOnCanvas(direct, TRect{-1, 7, 16, 20}, 4, true, true, clWhite, 70);
    TBitmap painted(shifted);
    painted.To24Bit();
    EXPECT_EQ(painted, direct);

    QPainter inactive;
    DropShadowOnCanvas(inactive, rect, 4, true, true, clWhite, 70); // draws nothing, no crash
}

} // namespace
