// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Masks.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kKey = 0x405060; // red 0x60, green 0x50, blue 0x40

// One row: the key, the key 3 off in blue, 4 off in red, far away.
TBitmap KeyRow() {
    const TTriple pixels[] = {Rgb(0x60, 0x50, 0x40), Rgb(0x60, 0x50, 0x43), Rgb(0x64, 0x50, 0x40),
                              Rgb(0, 0, 0)};
    return MakeImage(4, 1, [&](int x, int) { return pixels[x]; });
}

std::vector<int> MaskRow(const TBitmap& mask) {
    std::vector<int> v;
    for (int x = 0; x < mask.Width(); ++x)
        v.push_back(PixelAt(mask, x, 0).b);
    return v;
}

struct KeyMaskCase {
    const char* name;
    bool of; // MaskOfColor, else MaskFromColor
    bool mark;
    int tolerance;
    std::vector<int> mask; // from a mask that was grey 77
};

void PrintTo(const KeyMaskCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyMasks : public ::testing::TestWithParam<KeyMaskCase> {};

TEST_P(KeyMasks, MarkCloseAndOtherPixels) {
    const KeyMaskCase c = GetParam();
    TBitmap image = KeyRow();
    TBitmap mask = UniformImage(4, 1, Grey(77));
    if (c.of)
        MaskOfColor(image, mask, kKey, WholeImageRect, c.mark, c.tolerance);
    else
        MaskFromColor(image, mask, kKey, WholeImageRect, c.mark, c.tolerance);
    EXPECT_EQ(MaskRow(mask), c.mask);
    EXPECT_TRUE(image == KeyRow());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyMasks,
    ::testing::Values(KeyMaskCase{"fromMarking", false, true, 3, {255, 255, 0, 0}},
                      KeyMaskCase{"fromNotMarking", false, false, 3, {77, 77, 0, 0}},
                      KeyMaskCase{"fromExact", false, true, 0, {255, 0, 0, 0}},
                      KeyMaskCase{"fromWide", false, true, 4, {255, 255, 255, 0}},
                      KeyMaskCase{"ofMarking", true, true, 3, {0, 0, 255, 255}},
                      KeyMaskCase{"ofNotMarking", true, false, 3, {0, 0, 77, 77}},
                      KeyMaskCase{"ofExact", true, false, 0, {0, 77, 77, 77}},
                      KeyMaskCase{"negativeTolerance", true, true, -1, {77, 77, 77, 77}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MaskFromColor, GivesAnEmptyMaskTheImageSizeInItsFillColour) {
    TBitmap image = KeyRow();
    TBitmap mask;
    MaskFromColor(image, mask, kKey, TRect{1, 0, 3, 1}, true, 0);
    ASSERT_EQ(mask.Width(), 4);
    ASSERT_EQ(mask.Height(), 1);
    EXPECT_EQ(MaskRow(mask), (std::vector<int>{255, 0, 0, 255}));

    TBitmap dark;
    dark.SetFillColor(clBlack);
    MaskOfColor(image, dark, kKey, TRect{0, 0, 1, 1}, true, 0);
    EXPECT_EQ(MaskRow(dark), (std::vector<int>{0, 0, 0, 0}));
}

TEST(MaskFromColor, NothingForAnEmptyRectangleOrNegativeTolerance) {
    TBitmap image = KeyRow();
    TBitmap mask;
    MaskFromColor(image, mask, kKey, TRect{5, 0, 9, 1}, true, 0);
    EXPECT_TRUE(mask.Empty());
    MaskFromColor(image, mask, kKey, WholeImageRect, true, -1);
    EXPECT_TRUE(mask.Empty());
}

TEST(MaskFromColor, ImageMayBeItsOwnMask) {
    TBitmap image = KeyRow();
    const TBitmap shared = image; // shares pixels until written
    MaskFromColor(image, image, kKey, WholeImageRect, true, 3);
    EXPECT_EQ(MaskRow(image), (std::vector<int>{255, 255, 0, 0}));
    EXPECT_EQ(PixelAt(image, 2, 0), Grey(0));
    EXPECT_TRUE(shared == KeyRow());
}

struct UniformCase {
    const char* name;
    int value;
    TRect rect;
    bool uniform;
};

void PrintTo(const UniformCase& c, std::ostream* os) {
    *os << c.name;
}

class IsUniformCases : public ::testing::TestWithParam<UniformCase> {};

// Blue 5 everywhere except (2, 1); red and green vary, which must not matter.
TEST_P(IsUniformCases, JudgesTheFirstByte) {
    const UniformCase c = GetParam();
    const TBitmap img = MakeImage(4, 3, [](int x, int y) {
        return TTriple{uint8_t(x == 2 && y == 1 ? 6 : 5), uint8_t(x * 40), uint8_t(y * 70)};
    });
    EXPECT_EQ(IsUniform(img, c.value, c.rect), c.uniform);
}

INSTANTIATE_TEST_SUITE_P(Cases, IsUniformCases,
                         ::testing::Values(UniformCase{"whole", 5, WholeImageRect, false},
                                           UniformCase{
                                               "avoidingTheOddPixel", 5, {0, 0, 4, 1}, true},
                                           UniformCase{"reversedAvoiding", 5, {2, 3, 0, 0}, true},
                                           UniformCase{"theOddPixel", 6, {2, 1, 3, 2}, true},
                                           UniformCase{"otherValue", 7, {0, 0, 1, 1}, false},
                                           UniformCase{"emptyRect", 200, {9, 9, 12, 12}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
    const char* name;
    int tolerance;
    TRect rect;
    std::vector<bool> replaced;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplaceColorCases : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceColorCases, ReplacesClosePixels) {
    const ReplaceCase c = GetParam();
    TBitmap img = KeyRow();
    ReplaceColor(img, kKey, clLime, c.rect, c.tolerance);
    const TBitmap before = KeyRow();
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(PixelAt(img, x, 0),
                  c.replaced[size_t(x)] ? Rgb(0, 255, 0) : PixelAt(before, x, 0))
            << x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceColorCases,
    ::testing::Values(ReplaceCase{"exactOnly", 0, WholeImageRect, {true, false, false, false}},
                      ReplaceCase{"tolerance3", 3, WholeImageRect, {true, true, false, false}},
                      ReplaceCase{"tolerance4", 4, WholeImageRect, {true, true, true, false}},
                      ReplaceCase{"insideRect", 4, {1, 0, 2, 1}, {false, true, false, false}},
                      ReplaceCase{"negative", -1, WholeImageRect, {false, false, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Invert, EveryByteOfTheRectangleOnly) {
    const TBitmap original = RandomImage(5, 4, 8);
    TBitmap img = original;
    Invert(img, TRect{1, 1, 3, 4});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const TTriple o = PixelAt(original, x, y);
            const bool inside = x >= 1 && x < 3 && y >= 1;
            const TTriple want =
                inside ? TTriple{uint8_t(255 - o.b), uint8_t(255 - o.g), uint8_t(255 - o.r)} : o;
            EXPECT_EQ(PixelAt(img, x, y), want) << x << "," << y;
        }
    Invert(img, TRect{1, 1, 3, 4});
    EXPECT_TRUE(img == original);
}

} // namespace
