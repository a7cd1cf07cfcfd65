// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"
#include "TestImages.h"
#include "TestPrinters.h"

#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using TPicture = std::vector<std::string>;

// The image drawn as letters: each pixel becomes the legend letter of its value, '.' for the
// background and '?' for anything else, so a failure shows where the pixels differ.
TPicture Draw(const TBitmap& img, TTriple background, const std::map<char, TTriple>& legend) {
    TPicture rows;
    for (int y = 0; y < img.Height(); ++y) {
        std::string row;
        for (int x = 0; x < img.Width(); ++x) {
            const TTriple p = PixelAt(img, x, y);
            char c = p == background ? '.' : '?';
            for (const auto& [letter, value] : legend)
                if (c == '?' && p == value) c = letter;
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

bool Inside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// A QPainter over a 32-bit copy of img runs fn; the result comes back as a 24-bit image.
template <typename Fn>
TBitmap PaintedThroughPainter(const TBitmap& img, Fn&& fn) {
    QImage target = img.Image().convertToFormat(QImage::Format_RGB32);
    {
        QPainter painter(&target);
        fn(painter);
    }
    TBitmap out(target);
    out.To24Bit();
    return out;
}

// --- Tone ---

struct ToneCase {
    const char* name;
    TColor colour;
    int pct;
    TTriple in;
    TTriple out;
};

void PrintTo(const ToneCase& c, std::ostream* os) {
    *os << c.name;
}

class ToneTest : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ToneTest, MapsEveryPixel) {
    const ToneCase c = GetParam();
    TBitmap img = UniformImage(3, 2, c.in);
    Tone(img, c.colour, c.pct);
    EXPECT_EQ(Draw(img, c.out, {}), TPicture(2, "..."));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ToneTest,
    ::testing::Values(ToneCase{"towardBlack35", clBlack, 35, Grey(200), Grey(130)},
                      ToneCase{"paintsTheColour", RGBColor(10, 20, 30), 100, Rgb(200, 100, 50),
                               Rgb(10, 20, 30)},
                      ToneCase{"above100IsLimited", RGBColor(10, 20, 30), 250, Rgb(200, 100, 50),
                               Rgb(10, 20, 30)},
                      ToneCase{"eachChannelTowardItsOwn", RGBColor(0, 100, 255), 50,
                               Rgb(200, 100, 55), Rgb(100, 100, 155)},
                      ToneCase{"quotientTruncatesTowardZero", clBlack, 33, Grey(10), Grey(7)},
                      ToneCase{"towardWhite", clWhite, 33, Grey(100), Grey(151)},
                      ToneCase{"negativePushesAway", RGBColor(100, 100, 100), -50,
                               Rgb(150, 60, 100), Rgb(175, 40, 100)},
                      ToneCase{"pushAwayClamps", clBlack, -100, Rgb(200, 0, 128), Rgb(255, 0, 255)},
                      ToneCase{"belowMinus100IsLimited", clWhite, -250, Grey(100), Grey(0)},
                      ToneCase{"zeroLeavesThePixels", clBlack, 0, Rgb(1, 2, 3), Rgb(1, 2, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToneRect, OnlyTheSortedClippedRectangleChanges) {
    const TBitmap original = RandomImage(8, 6);
    TBitmap img = original;
    Tone(img, clWhite, 100, TRect{6, 4, 2, 1});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(PixelAt(img, x, y),
                      Inside(TRect{2, 1, 6, 4}, x, y) ? Grey(255) : PixelAt(original, x, y))
                << x << "," << y;

    img = original;
    Tone(img, clWhite, 100, TRect{8, 0, 20, 6});
    EXPECT_EQ(img, original);
}

TEST(ToneRect, WorksOnA32BitImage) {
    QImage argb(4, 3, QImage::Format_ARGB32);
    argb.fill(qRgba(200, 100, 50, 10));
    TBitmap img(argb);
    Tone(img, clBlack, 50);
    ASSERT_TRUE(img.Is24Bit());
    EXPECT_EQ(PixelAt(img, 3, 2), Rgb(100, 50, 25));
}

// --- ScanLines ---

struct ScanCase {
    const char* name;
    int lineHeight, gap;
    TRect rect;
    int strength;
    std::vector<int> tonedRows;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class ScanLinesTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanLinesTest, TonesTheBandsOnly) {
    const ScanCase c = GetParam();
    TBitmap img = UniformImage(6, 12, Grey(200));
    ScanLines(img, c.lineHeight, c.gap, c.rect, c.strength, clBlack);
    const uint8_t toned = uint8_t(200 - 200 * std::min(c.strength, 100) / 100);
    const TRect clipped = ClipToImage(c.rect, img);
    for (int y = 0; y < 12; ++y) {
        const bool band = std::find(c.tonedRows.begin(), c.tonedRows.end(), y) != c.tonedRows.end();
        for (int x = 0; x < 6; ++x) {
            const bool inColumns = x >= clipped.Left && x < clipped.Right;
            EXPECT_EQ(PixelAt(img, x, y), Grey(band && inColumns ? toned : 200)) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ScanLinesTest,
    ::testing::Values(ScanCase{"everyThirdRowFromTopPlus2", 1, 2, TRect{1, 2, 5, 10}, 35, {4, 7}},
                      ScanCase{"twoRowBands", 2, 1, TRect{0, 0, 6, 7}, 35, {1, 2, 4, 5}},
                      ScanCase{"lastBandCutAtTheBottom", 3, 1, TRect{0, 0, 6, 6}, 50, {1, 2, 3, 5}},
                      ScanCase{"noGap", 1, 0, TRect{0, 3, 6, 6}, 35, {3, 4, 5}},
                      ScanCase{"startsFromTheClippedTop", 1, 2, TRect{0, -4, 6, 6}, 35, {2, 5}},
                      ScanCase{"strengthAbove100IsLimited", 1, 2, TRect{0, 0, 6, 4}, 150, {2}},
                      ScanCase{"zeroStrength", 1, 2, TRect{0, 0, 6, 12}, 0, {}},
                      ScanCase{"negativeStrength", 1, 2, TRect{0, 0, 6, 12}, -5, {}},
                      ScanCase{"noLineHeight", 0, 2, TRect{0, 0, 6, 12}, 35, {}},
                      ScanCase{"stepThatNeverAdvances", 1, -1, TRect{0, 0, 6, 12}, 35, {}},
                      ScanCase{"rectOutside", 1, 2, TRect{6, 0, 9, 12}, 35, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- FrameBand ---

struct BandCase {
    const char* name;
    TRect rect;
    int width;
    TRect outer, inner; // coloured: inside outer and outside inner
};

void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameBandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(FrameBandTest, CoversTheBandOnly) {
    const BandCase c = GetParam();
    const TBitmap original = UniformImage(140, 120, Grey(50));
    TBitmap img = original;
    FrameBand(img, c.rect, RGBColor(250, 240, 230), c.width);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const bool band = Inside(c.outer, x, y) && !Inside(c.inner, x, y);
            ASSERT_EQ(PixelAt(img, x, y), band ? Rgb(250, 240, 230) : Grey(50)) << x << "," << y;
        }
    // The painter draws the same band.
    const TBitmap painted = PaintedThroughPainter(
        original, [&](QPainter& p) { FrameBand(p, c.rect, RGBColor(250, 240, 230), c.width); });
    EXPECT_EQ(painted, img);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, FrameBandTest,
    ::testing::Values(
        // A 100 x 80 image at (20, 20) with a frame of 15: the rectangle grows by 15 first.
        BandCase{"photoFrame", TRect{5, 5, 135, 115}, 15, TRect{5, 5, 135, 115},
                 TRect{20, 20, 120, 100}},
        BandCase{"widerThanHalfFillsAll", TRect{2, 2, 8, 6}, 3, TRect{2, 2, 8, 6}, TRect{}},
        BandCase{"clippedAtTheEdges", TRect{-3, -3, 5, 5}, 2, TRect{0, 0, 5, 5},
                 TRect{-1, -1, 3, 3}},
        BandCase{"zeroWidth", TRect{2, 2, 8, 6}, 0, TRect{}, TRect{}},
        BandCase{"negativeWidth", TRect{2, 2, 8, 6}, -2, TRect{}, TRect{}},
        BandCase{"emptyRect", TRect{4, 2, 4, 6}, 1, TRect{}, TRect{}},
        BandCase{"reversedRectIsEmpty", TRect{8, 2, 2, 6}, 1, TRect{}, TRect{}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Outline3D ---

struct OutlineCase {
    const char* name;
    TRect rect;
    TPicture picture; // F first colour, S second colour
    TRect shrunk;
};

void PrintTo(const OutlineCase& c, std::ostream* os) {
    *os << c.name;
}

class Outline3DTest : public ::testing::TestWithParam<OutlineCase> {};

TEST_P(Outline3DTest, DrawsTheOutlineAndShrinks) {
    const OutlineCase c = GetParam();
    const TTriple first = Rgb(0xCC, 0xCC, 0xCC), second = Rgb(0x55, 0x55, 0x55);
    const TBitmap original = UniformImage(8, 6, Grey(9));
    TBitmap img = original;
    TRect r = c.rect;
    Outline3D(img, r, 0xCCCCCC, 0x555555);
    EXPECT_EQ(Draw(img, Grey(9), {{'F', first}, {'S', second}}), c.picture);
    EXPECT_EQ(r, c.shrunk);

    TRect painterRect = c.rect;
    const TBitmap painted = PaintedThroughPainter(
        original, [&](QPainter& p) { Outline3D(p, painterRect, 0xCCCCCC, 0x555555); });
    EXPECT_EQ(painted, img);
    EXPECT_EQ(painterRect, c.shrunk);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, Outline3DTest,
    ::testing::Values(
        OutlineCase{"fiveByFour",
                    TRect{1, 1, 6, 5},
                    {"........", ".FFFFS..", ".F...S..", ".F...S..", ".SSSSS..", "........"},
                    TRect{2, 2, 5, 4}},
        OutlineCase{"twoByTwo",
                    TRect{1, 1, 3, 3},
                    {"........", ".FS.....", ".SS.....", "........", "........", "........"},
                    TRect{2, 2, 2, 2}},
        OutlineCase{"onePixel",
                    TRect{2, 2, 3, 3},
                    {"........", "........", "..S.....", "........", "........", "........"},
                    TRect{3, 3, 2, 2}},
        OutlineCase{"partlyOutside",
                    TRect{-2, -2, 4, 3},
                    {"...S....", "...S....", "SSSS....", "........", "........", "........"},
                    TRect{-1, -1, 3, 2}},
        OutlineCase{"emptyDrawsNothing",
                    TRect{3, 3, 3, 5},
                    {"........", "........", "........", "........", "........", "........"},
                    TRect{4, 4, 2, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Outline3DLimits, ShrinkingStopsAtTheIntegerRange) {
    TBitmap img = UniformImage(2, 2, Grey(0));
    TRect r{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    Outline3D(img, r, clWhite, clWhite);
    EXPECT_EQ(r, (TRect{INT32_MIN + 1, INT32_MIN + 1, INT32_MIN, INT32_MIN}));
    EXPECT_EQ(img, UniformImage(2, 2, Grey(0)));
}

// --- BevelFrame ---

struct BevelCase {
    const char* name;
    TRect rect;
    int width;
    bool sunken;
    int imageWidth, imageHeight;
    TPicture picture; // T, L, R, B: the pixel toned toward that edge's colour
};

void PrintTo(const BevelCase& c, std::ostream* os) {
    *os << c.name;
}

class BevelFrameTest : public ::testing::TestWithParam<BevelCase> {};

// Grey 128 toned by 60 % toward black, 0x222222, 0xCCCCCC and white.
constexpr uint8_t kToBlack = 52, kTo22 = 72, kToCC = 173, kToWhite = 204;

TEST_P(BevelFrameTest, TonesRingsOutsideTheRectangle) {
    const BevelCase c = GetParam();
    TBitmap img = UniformImage(c.imageWidth, c.imageHeight, Grey(128));
    BevelFrame(img, c.rect, c.width, 60, c.sunken);
    const std::map<char, TTriple> legend = c.sunken
                                               ? std::map<char, TTriple>{{'T', Grey(kToBlack)},
                                                                         {'L', Grey(kTo22)},
                                                                         {'R', Grey(kToCC)},
                                                                         {'B', Grey(kToWhite)}}
                                               : std::map<char, TTriple>{{'T', Grey(kToWhite)},
                                                                         {'L', Grey(kToCC)},
                                                                         {'R', Grey(kTo22)},
                                                                         {'B', Grey(kToBlack)}};
    EXPECT_EQ(Draw(img, Grey(128), legend), c.picture);
}

const TPicture kTwoRings{
    "..........", ".LTTTTTTT.", ".LLTTTTTR.", ".LL....RR.", ".LL....RR.",
    ".LL....RR.", ".LLBBBBBR.", ".LBBBBBBB.", "..........",
};

INSTANTIATE_TEST_SUITE_P(
    Tables, BevelFrameTest,
    ::testing::Values(
        BevelCase{"sunkenTwoRings", TRect{3, 3, 7, 6}, 2, true, 10, 9, kTwoRings},
        BevelCase{"raisedTwoRings", TRect{3, 3, 7, 6}, 2, false, 10, 9, kTwoRings},
        BevelCase{"outerRingOffTheImage",
                  TRect{1, 1, 5, 4},
                  2,
                  true,
                  6,
                  5,
                  {"LTTTTT", "L....R", "L....R", "L....R", "LBBBBB"}},
        BevelCase{"zeroWidth", TRect{3, 3, 7, 6}, 0, true, 10, 9, TPicture(9, "..........")},
        BevelCase{"emptyRect", TRect{3, 3, 3, 6}, 2, true, 10, 9, TPicture(9, "..........")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BevelFrameLimits, RingsBeyondTheImageChangeNothing) {
    struct Case {
        TRect rect;
        int enough;
    };
    // A width far past the image gives what a width just past it gives.
    for (const Case& c : {Case{TRect{3, 3, 7, 6}, 12}, Case{TRect{-40, 2, -30, 5}, 60},
                          Case{TRect{-99999, -99999, 99999, 99999}, 1},
                          Case{TRect{INT32_MIN, 4, INT32_MAX, 6}, 12}}) {
        TBitmap huge = RandomImage(10, 9);
        TBitmap enough = huge;
        BevelFrame(huge, c.rect, 2'000'000'000, 10, true);
        BevelFrame(enough, c.rect, c.enough, 10, true);
        EXPECT_EQ(huge, enough) << c.rect.Left;
    }
}

TEST(BevelFrameLimits, ZeroStrengthChangesNothing) {
    const TBitmap original = RandomImage(10, 9);
    TBitmap img = original;
    BevelFrame(img, TRect{3, 3, 7, 6}, 2, 0, true);
    EXPECT_EQ(img, original);
}

// --- TilePattern ---

// Pattern pixel (px, py) is (red px, green py, blue 99).
TBitmap Pattern(int w, int h) {
    return MakeImage(w, h, [](int x, int y) { return Rgb(uint8_t(x), uint8_t(y), 99); });
}

struct TileCase {
    const char* name;
    int X, Y;
    int x, y;   // a pixel of the image
    int px, py; // the pattern pixel it must show
};

void PrintTo(const TileCase& c, std::ostream* os) {
    *os << c.name;
}

class TilePatternTest : public ::testing::TestWithParam<TileCase> {};

TEST_P(TilePatternTest, EveryPixelShowsItsPatternPixel) {
    const TileCase c = GetParam();
    TBitmap img = UniformImage(40, 20, Grey(0));
    TilePattern(Pattern(10, 10), img, c.X, c.Y);
    EXPECT_EQ(PixelAt(img, c.x, c.y), Rgb(uint8_t(c.px), uint8_t(c.py), 99));
    // Moving one pixel right or down moves one pixel along the pattern, wrapping at its size.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const TTriple p = PixelAt(img, x, y);
            const int px = (c.px + (x - c.x) % 10 + 10) % 10;
            const int py = (c.py + (y - c.y) % 10 + 10) % 10;
            ASSERT_EQ(p, Rgb(uint8_t(px), uint8_t(py), 99)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TilePatternTest,
    ::testing::Values(TileCase{"origin", 0, 0, 25, 7, 5, 7}, TileCase{"shifted", 3, 0, 25, 7, 2, 7},
                      TileCase{"negativeOrigin", -3, 0, 25, 7, 8, 7},
                      TileCase{"originBelow", 0, 12, 0, 0, 0, 8},
                      TileCase{"farOrigin", -99999, -99999, 0, 0, 9, 9},
                      TileCase{"extremeOrigin", INT32_MAX, INT32_MIN, 0, 0, 3, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TilePatternRect, OnlyTheRectangleIsTiled) {
    const TBitmap original = RandomImage(12, 9);
    TBitmap img = original;
    TilePattern(Pattern(3, 2), img, 1, 0, TRect{10, 7, 2, 3});
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const TTriple want = Inside(TRect{2, 3, 10, 7}, x, y)
                                     ? Rgb(uint8_t((x + 2) % 3), uint8_t(y % 2), 99)
                                     : PixelAt(original, x, y);
            EXPECT_EQ(PixelAt(img, x, y), want) << x << "," << y;
        }
}

TEST(TilePatternRect, PatternOfAnotherFormatAndThePictureItself) {
    const TBitmap pattern24 = Pattern(5, 4);
    TBitmap pattern32(pattern24.Image().convertToFormat(QImage::Format_ARGB32));
    TBitmap a = UniformImage(17, 11, Grey(0));
    TBitmap b = a;
    TilePattern(pattern24, a, 2, 3);
    TilePattern(pattern32, b, 2, 3);
    EXPECT_EQ(a, b);

    // Tiled onto itself, the picture is read as it was before the call.
    TBitmap self = Pattern(6, 5);
    TilePattern(self, self, 2, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(self, x, y), Rgb(uint8_t((x + 4) % 6), uint8_t((y + 4) % 5), 99));
}

TEST(TilePatternRect, EmptyPatternLeavesTheImage) {
    const TBitmap original = RandomImage(6, 4);
    TBitmap img = original;
    TilePattern(TBitmap(), img, 0, 0);
    EXPECT_EQ(img, original);
}

} // namespace
