// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/StretchEx.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr int kPlain = -1;

struct MethodCase {
    const char* name;
    int sw, sh, W, H;
    int expected; // filter index, or kPlain for the nearest-pixel stretch
};

void PrintTo(const MethodCase& c, std::ostream* os) {
    *os << c.name;
}

TBitmap Filtered(TBitmap src, int W, int H, int filter) {
    TBitmap out;
    Resample(W, H, filter, out, src);
    return out;
}

TBitmap Nearest(TBitmap src, int W, int H) {
    TBitmap out;
    NewImage(out, W, H, clBlack);
    StretchNearest(src, ImageBounds(src), out, WholeImageRect, ImageBounds(out));
    return out;
}

class ResizeMethod : public ::testing::TestWithParam<MethodCase> {};

TEST_P(ResizeMethod, OptimizeChoosesTheFilter) {
    const MethodCase& c = GetParam();
    TBitmap src = RandomImage(c.sw, c.sh, 9);
    TBitmap dst;
    ResizeInto(c.W, c.H, TResizeMethod::Filtered, dst, src);
    ASSERT_EQ(dst.Width(), c.W);
    ASSERT_EQ(dst.Height(), c.H);
    if (c.expected == kPlain) {
        EXPECT_TRUE(dst == Nearest(src, c.W, c.H));
        return;
    }
    const int other = c.expected == rfLanczos3 ? rfBSpline : rfLanczos3;
    EXPECT_TRUE(dst == Filtered(src, c.W, c.H, c.expected));
    EXPECT_FALSE(dst == Filtered(src, c.W, c.H, other)); // the case tells the two apart
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResizeMethod,
    ::testing::Values(MethodCase{"doubleIsNotAboveTwo", 100, 100, 200, 200, rfLanczos3},
                      MethodCase{"aboveTwoWide", 100, 100, 201, 200, rfBSpline},
                      MethodCase{"aboveTwoHigh", 10, 10, 10, 21, rfBSpline},
                      MethodCase{"oneAxisReduced", 100, 100, 300, 50, rfLanczos3},
                      MethodCase{"otherAxisReduced", 100, 100, 50, 300, rfLanczos3},
                      MethodCase{"slightEnlargement", 30, 20, 31, 20, rfLanczos3},
                      MethodCase{"oneWideSource", 1, 5, 3, 10, kPlain},
                      MethodCase{"oneHighSource", 5, 1, 10, 3, kPlain},
                      MethodCase{"oneWideTarget", 5, 5, 1, 3, kPlain},
                      MethodCase{"oneHighTarget", 5, 5, 3, 1, kPlain}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResizeImage, PlainTakesEveryHundredthPixel) {
    TBitmap img = RandomImage(1000, 800, 6);
    const TBitmap src = img;
    ResizeImage(10, 8, false, img);
    ASSERT_EQ(img.Width(), 10);
    ASSERT_EQ(img.Height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(PixelAt(img, x, y), PixelAt(src, 100 * x, 100 * y)) << x << ", " << y;
}

TEST(ResizeImage, OptimizeToTheSameSizeKeepsThePixels) {
    TBitmap img = RandomImage(37, 21, 7);
    const TBitmap before = img;
    ResizeImage(37, 21, true, img);
    EXPECT_TRUE(img == before);
}

struct UniformResize {
    int sw, sh, W, H;
};

void PrintTo(const UniformResize& c, std::ostream* os) {
    *os << c.sw << "x" << c.sh << " -> " << c.W << "x" << c.H;
}

class ResizeUniform : public ::testing::TestWithParam<std::tuple<UniformResize, bool>> {};

TEST_P(ResizeUniform, StaysUniform) {
    const auto [c, optimise] = GetParam();
    const TTriple colour = Rgb(255, 1, 128);
    TBitmap img = UniformImage(c.sw, c.sh, colour);
    ResizeImage(c.W, c.H, optimise, img);
    ASSERT_EQ(img.Width(), c.W);
    ASSERT_EQ(img.Height(), c.H);
    for (int y = 0; y < c.H; ++y)
        for (int x = 0; x < c.W; ++x)
            ASSERT_EQ(PixelAt(img, x, y), colour) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResizeUniform,
    ::testing::Combine(::testing::Values(UniformResize{64, 48, 200, 150},
                                         UniformResize{64, 48, 13, 9}, UniformResize{64, 48, 2, 2},
                                         UniformResize{64, 48, 1, 1}, UniformResize{1, 1, 7, 3},
                                         UniformResize{2, 2, 9, 9}, UniformResize{1, 30, 4, 2},
                                         UniformResize{30, 1, 2, 4}, UniformResize{3, 3, 2, 40}),
                       ::testing::Bool()));

TEST(ResizeInto, ZeroSizeClearsTheDestination) {
    TBitmap src = RandomImage(4, 4);
    for (auto [W, H] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 5}}) {
        TBitmap dst = RandomImage(3, 3);
        ResizeInto(W, H, TResizeMethod::Filtered, dst, src);
        EXPECT_TRUE(dst.Empty());
    }
}

TEST(ResizeInto, EmptySourceLeavesTheDestination) {
    TBitmap empty;
    TBitmap dst = RandomImage(3, 3);
    const TBitmap before = dst;
    ResizeInto(5, 5, TResizeMethod::Plain, dst, empty);
    EXPECT_TRUE(dst == before);
    ResizeImage(5, 5, true, empty);
    EXPECT_TRUE(empty.Empty());
}

TEST(ResizeInto, SameImageOnBothSides) {
    TBitmap img = RandomImage(20, 10, 4);
    const TBitmap expected = Filtered(img, 7, 33, rfLanczos3);
    ResizeInto(7, 33, TResizeMethod::Filtered, img, img);
    EXPECT_TRUE(img == expected);
}

TEST(ResizeImage, PaletteImageBecomes24Bit) {
    QImage indexed(4, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 200, 30), qRgb(0, 0, 0)});
    indexed.fill(0);
    for (bool optimise : {false, true}) {
        TBitmap img{indexed};
        ResizeImage(8, 3, optimise, img);
        EXPECT_TRUE(img.Is24Bit());
        EXPECT_EQ(PixelAt(img, 7, 2), Rgb(10, 200, 30));
    }
}

} // namespace
