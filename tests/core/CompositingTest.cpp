// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Masks.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// Every source pixel distinct, none black, so copied pixels are recognised.
TBitmap Numbered(int w, int h) {
    return MakeImage(w, h, [](int x, int y) { return Rgb(uint8_t(10 + x), uint8_t(100 + y), 7); });
}

struct PlacementCase {
    const char* name;
    TRect source, clip;
    int x, y;
    TRect area;       // destination pixels that change
    int srcX0, srcY0; // source pixel of the area's top-left corner
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

class Placement : public ::testing::TestWithParam<PlacementCase> {};

// A 4 x 3 source onto a black 5 x 5 destination.
TEST_P(Placement, CopiesExactlyTheCoveredArea) {
    const PlacementCase c = GetParam();
    const TBitmap src = Numbered(4, 3);
    TBitmap dst = UniformImage(5, 5, Grey(0));
    CopyPixels(src, c.source, dst, c.clip, c.x, c.y);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inside =
                x >= c.area.Left && x < c.area.Right && y >= c.area.Top && y < c.area.Bottom;
            const TTriple want =
                inside ? PixelAt(src, x - c.area.Left + c.srcX0, y - c.area.Top + c.srcY0)
                       : Grey(0);
            EXPECT_EQ(PixelAt(dst, x, y), want) << x << "," << y;
        }
}

constexpr TRect kNone{0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        PlacementCase{"whole", WholeImageRect, WholeImageRect, 0, 0, {0, 0, 4, 3}, 0, 0},
        PlacementCase{
            "clippedByDestination", WholeImageRect, WholeImageRect, 2, 3, {2, 3, 5, 5}, 0, 0},
        PlacementCase{
            "negativePosition", WholeImageRect, WholeImageRect, -1, -2, {0, 0, 3, 1}, 1, 2},
        PlacementCase{"reversedSource", {3, 2, 1, 0}, WholeImageRect, 0, 0, {0, 0, 2, 2}, 1, 0},
        PlacementCase{
            "sourcePartlyOutside", {-2, -2, 2, 2}, WholeImageRect, 1, 1, {1, 1, 3, 3}, 0, 0},
        PlacementCase{"destinationClip", WholeImageRect, {1, 1, 3, 3}, 0, 0, {1, 1, 3, 3}, 1, 1},
        PlacementCase{
            "reversedDestinationClip", WholeImageRect, {3, 3, 1, 1}, 0, 0, {1, 1, 3, 3}, 1, 1},
        PlacementCase{"clipAndPosition", {1, 1, 4, 3}, {0, 0, 2, 5}, 1, 2, {1, 2, 2, 4}, 1, 1},
        PlacementCase{"sourceOutside", {10, 10, 20, 20}, WholeImageRect, 0, 0, kNone, 0, 0},
        PlacementCase{"clipOutside", WholeImageRect, {6, 0, 9, 5}, 0, 0, kNone, 0, 0},
        PlacementCase{"farAway", WholeImageRect, WholeImageRect, 99999, 0, kNone, 0, 0},
        PlacementCase{"extremePositive", WholeImageRect, WholeImageRect, INT_MAX, INT_MAX, kNone, 0,
                      0},
        PlacementCase{"extremeNegative", WholeImageRect, WholeImageRect, INT_MIN, INT_MIN, kNone, 0,
                      0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyPixels, WithinOneImageReadsTheOriginalPixels) {
    TBitmap img = Numbered(6, 4);
    const TBitmap before = img;
    CopyPixels(img, TRect{0, 0, 5, 3}, img, WholeImageRect, 1, 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const TTriple want =
                x >= 1 && y >= 1 ? PixelAt(before, x - 1, y - 1) : PixelAt(before, x, y);
            EXPECT_EQ(PixelAt(img, x, y), want) << x << "," << y;
        }
}

TEST(CopyImage, CopiesTheOverlapAndConvertsBothSides) {
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 0)); // alpha is dropped, never blended
    const TBitmap src(argb);
    TBitmap dst;
    dst.SetPixelFormat(TPixelFormat::pf32bit);
    dst.SetFillColor(clWhite);
    dst.SetSize(2, 3);
    CopyImage(src, dst);
    EXPECT_TRUE(dst.Is24Bit());
    EXPECT_EQ(PixelAt(dst, 0, 0), Rgb(10, 20, 30));
    EXPECT_EQ(PixelAt(dst, 1, 1), Rgb(10, 20, 30));
    EXPECT_EQ(PixelAt(dst, 1, 2), Grey(255));
}

struct BlendCase {
    const char* name;
    uint8_t source, destination;
    int opacity;
    uint8_t result;
};

void PrintTo(const BlendCase& c, std::ostream* os) {
    *os << c.name;
}

class BlendPixelsCases : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendPixelsCases, MixEveryChannel) {
    const BlendCase c = GetParam();
    const TBitmap src = UniformImage(3, 2, Grey(c.source));
    TBitmap dst = UniformImage(3, 2, Grey(c.destination));
    BlendPixels(src, WholeImageRect, dst, c.opacity, WholeImageRect, 0, 0);
    EXPECT_TRUE(dst == UniformImage(3, 2, Grey(c.result)));
}

INSTANTIATE_TEST_SUITE_P(Cases, BlendPixelsCases,
                         ::testing::Values(BlendCase{"halfWhiteOverBlack", 255, 0, 50, 127},
                                           BlendCase{"quarter", 200, 100, 25, 125},
                                           BlendCase{"truncatesTowardZero", 0, 255, 33, 171},
                                           BlendCase{"fullCopies", 9, 200, 100, 9},
                                           BlendCase{"aboveFullCopies", 9, 200, 150, 9},
                                           BlendCase{"zeroDoesNothing", 9, 200, 0, 200},
                                           BlendCase{"negativeDoesNothing", 9, 200, -5, 200}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MaskedCase {
    const char* name;
    uint8_t source, destination, mask;
    int opacity;
    uint8_t result;
};

void PrintTo(const MaskedCase& c, std::ostream* os) {
    *os << c.name;
}

class MaskedBlendCases : public ::testing::TestWithParam<MaskedCase> {};

TEST_P(MaskedBlendCases, WeighByMaskAndOpacity) {
    const MaskedCase c = GetParam();
    const TBitmap src = UniformImage(2, 2, Grey(c.source));
    const TBitmap mask = UniformImage(2, 2, Grey(c.mask));
    TBitmap dst = UniformImage(2, 2, Grey(c.destination));
    MaskedBlend(src, WholeImageRect, dst, &mask, c.opacity, WholeImageRect, 0, 0);
    EXPECT_TRUE(dst == UniformImage(2, 2, Grey(c.result)));
}

INSTANTIATE_TEST_SUITE_P(Cases, MaskedBlendCases,
                         ::testing::Values(MaskedCase{"half", 255, 0, 128, 100, 127},
                                           MaskedCase{"transparent", 255, 0, 255, 100, 0},
                                           MaskedCase{"opaque", 255, 0, 0, 100, 255},
                                           MaskedCase{"opaqueHalfOpacity", 0, 255, 0, 50, 128},
                                           MaskedCase{"halfHalfOpacity", 255, 0, 128, 50, 63},
                                           MaskedCase{"lighter", 200, 100, 64, 100, 174},
                                           MaskedCase{"darkerTruncatesTowardZero", 100, 200, 64,
                                                      100, 126},
                                           MaskedCase{"opacityAboveFull", 255, 0, 128, 150, 127},
                                           MaskedCase{"opacityZero", 255, 0, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MaskedBlend, OnlyTheFirstMaskByteCounts) {
    const TBitmap src = UniformImage(1, 1, Grey(255));
    const TBitmap mask = UniformImage(1, 1, Rgb(0, 0, 128)); // blue 128, red and green 0
    TBitmap dst = UniformImage(1, 1, Grey(0));
    MaskedBlend(src, WholeImageRect, dst, &mask, 100, WholeImageRect, 0, 0);
    EXPECT_EQ(PixelAt(dst, 0, 0), Grey(127));
}

TEST(MaskedBlend, AllTransparentLeavesAndAllOpaqueCopies) {
    const TBitmap src = RandomImage(7, 5, 3);
    const TBitmap before = RandomImage(7, 5, 4);
    const TBitmap clear = UniformImage(7, 5, Grey(255));
    const TBitmap solid = UniformImage(7, 5, Grey(0));
    TBitmap dst = before;
    MaskedBlend(src, WholeImageRect, dst, &clear, 100, WholeImageRect, 0, 0);
    EXPECT_TRUE(dst == before);
    MaskedBlend(src, WholeImageRect, dst, &solid, 100, WholeImageRect, 0, 0);
    EXPECT_TRUE(dst == src);
}

TEST(MaskedBlend, WithoutMaskBlendsByOpacity) {
    const TBitmap src = UniformImage(2, 1, Grey(255));
    const TBitmap empty;
    for (const TBitmap* mask : {static_cast<const TBitmap*>(nullptr), &empty}) {
        TBitmap dst = UniformImage(2, 1, Grey(0));
        MaskedBlend(src, WholeImageRect, dst, mask, 50, WholeImageRect, 0, 0);
        EXPECT_EQ(PixelAt(dst, 1, 0), Grey(127));
    }
}

TEST(MaskedBlend, ReadsTheMaskAtTheSourcePixel) {
    const TBitmap src = UniformImage(3, 3, Grey(200));
    const TBitmap mask =
        MakeImage(3, 3, [](int x, int y) { return Grey(x == 2 && y == 1 ? 0 : 255); });
    TBitmap dst = UniformImage(6, 6, Grey(0));
    MaskedBlend(src, TRect{1, 0, 3, 3}, dst, &mask, 100, WholeImageRect, 3, 2);
    // Source (2, 1) lands at (3 + 2 - 1, 2 + 1 - 0).
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(dst, x, y), Grey(x == 4 && y == 3 ? 200 : 0)) << x << "," << y;
}

TEST(MaskedBlend, MaskSmallerThanTheSourceLimitsTheArea) {
    const TBitmap src = UniformImage(4, 4, Grey(200));
    const TBitmap mask = UniformImage(2, 3, Grey(0));
    TBitmap dst = UniformImage(4, 4, Grey(0));
    MaskedBlend(src, WholeImageRect, dst, &mask, 100, WholeImageRect, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(dst, x, y), Grey(x < 2 && y < 3 ? 200 : 0)) << x << "," << y;
}

TEST(PaintThroughMask, PaintsTheColourByMaskWeight) {
    const TBitmap mask = MakeImage(3, 1, [](int x, int) { return Grey(uint8_t(x * 127 + x / 2)); });
    // Mask values 0, 127, 255.
    TBitmap dst = UniformImage(3, 1, Grey(0));
    PaintThroughMask(mask, WholeImageRect, dst, 100, clRed, WholeImageRect, 0, 0);
    EXPECT_EQ(PixelAt(dst, 0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(dst, 1, 0), Rgb(128, 0, 0));
    EXPECT_EQ(PixelAt(dst, 2, 0), Grey(0));
    const TBitmap before = dst;
    PaintThroughMask(mask, WholeImageRect, dst, 0, clLime, WholeImageRect, 0, 0);
    EXPECT_TRUE(dst == before);
}

struct RangeCase {
    const char* name;
    int high, low;
    std::vector<bool> painted; // for the mask values 0, 100, 128, 129, 255
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

class PaintWhereInRangeCases : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PaintWhereInRangeCases, PaintsInclusiveRange) {
    const RangeCase c = GetParam();
    const uint8_t values[] = {0, 100, 128, 129, 255};
    const TBitmap mask = MakeImage(5, 1, [&](int x, int) { return Grey(values[x]); });
    TBitmap dst = UniformImage(5, 1, Grey(9));
    PaintWhereInRange(mask, WholeImageRect, dst, c.high, c.low, clBlue, WholeImageRect, 0, 0);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(PixelAt(dst, x, 0), c.painted[size_t(x)] ? Rgb(0, 0, 255) : Grey(9)) << x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaintWhereInRangeCases,
    ::testing::Values(RangeCase{"transparentHalf", 128, 0, {true, true, true, false, false}},
                      RangeCase{"middle", 200, 100, {false, true, true, true, false}},
                      RangeCase{"single", 255, 255, {false, false, false, false, true}},
                      RangeCase{"reversedIsEmpty", 0, 255, {false, false, false, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlattenOnColor, MaskShowsBackgroundPictureOrAMix) {
    TBitmap picture = MakeImage(3, 1, [](int, int) { return Rgb(255, 255, 255); });
    picture.SetTransparent(true);
    const TBitmap mask = MakeImage(3, 1, [](int x, int) {
        return Grey(x == 0 ? 0 : x == 1 ? 255 : 128);
    });
    const TBitmap flat = FlattenOnColor(picture, &mask, clBlack);
    EXPECT_FALSE(flat.Transparent());
    EXPECT_TRUE(flat.Is24Bit());
    EXPECT_EQ(PixelAt(flat, 0, 0), Grey(255));
    EXPECT_EQ(PixelAt(flat, 1, 0), Grey(0));
    EXPECT_EQ(PixelAt(flat, 2, 0), Grey(127));
    const TBitmap copied = FlattenOnColor(picture, nullptr, clBlack);
    EXPECT_EQ(PixelAt(copied, 1, 0), Grey(255));
    EXPECT_FALSE(copied.Transparent());
}

} // namespace
