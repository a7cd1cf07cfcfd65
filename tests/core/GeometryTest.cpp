// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Bitmap.h"
#include "core/Errors.h"
#include "core/Rect.h"

#include <gtest/gtest.h>

namespace {

TBitmap Blank(int w, int h) {
    TBitmap b;
    NewImage(b, w, h, clWhite);
    return b;
}

struct ClipCase {
    TRect in;
    TRect expected;
};

class ClipToImageTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipToImageTest, SortsThenIntersects) {
    const TBitmap img = Blank(640, 480);
    EXPECT_EQ(ClipToImage(GetParam().in, img), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClipToImageTest,
                         ::testing::Values(ClipCase{WholeImageRect, {0, 0, 640, 480}},
                                           ClipCase{{10, 0, 2, 5}, {2, 0, 10, 5}},
                                           ClipCase{{5, 9, 1, 3}, {1, 3, 5, 9}},
                                           ClipCase{{-10, -10, 20, 20}, {0, 0, 20, 20}},
                                           ClipCase{{700, 0, 800, 10}, {}}, // wholly outside
                                           ClipCase{{10, 10, 10, 20}, {}},  // zero width
                                           ClipCase{{630, 470, 999, 999}, {630, 470, 640, 480}}));

TEST(Rect, IntersectWithImageDoesNotSort) {
    const TBitmap img = Blank(20, 20);
    EXPECT_TRUE(RectEmpty(IntersectWithImage({10, 0, 2, 5}, img)));
    EXPECT_EQ(IntersectWithImage({2, 0, 10, 5}, img), (TRect{2, 0, 10, 5}));
}

struct FitCase {
    int w, h, boxW, boxH, expW, expH;
};

class FitSizeTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitSizeTest, ScalesToTouchTheBox) {
    const FitCase c = GetParam();
    int w = c.w, h = c.h;
    FitSize(w, h, c.boxW, c.boxH);
    EXPECT_EQ(w, c.expW);
    EXPECT_EQ(h, c.expH);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitSizeTest,
    ::testing::Values(FitCase{800, 600, 200, 200, 200, 150}, FitCase{100, 50, 400, 400, 400, 200},
                      FitCase{800, 600, 0, 200, 800, 600}, FitCase{0, 600, 200, 200, 0, 600},
                      FitCase{-5, 600, 200, 200, -5, 600},
                      // 5 / 2 = 2.5 rounds to the even 2, 7 / 2 to 4
                      FitCase{16, 5, 8, 8, 8, 2}, FitCase{16, 7, 8, 8, 8, 4},
                      FitCase{7, 3, 14, 14, 14, 6}, FitCase{3, 2, 5, 5, 5, 3}));

TEST(Rect, CenterTruncatesHalves) {
    EXPECT_EQ(CenterRect(3, 3, {0, 0, 10, 10}), (TRect{3, 3, 6, 6}));
    EXPECT_EQ(CenterRect(4, 2, {10, 20, 15, 27}), (TRect{10, 22, 14, 24}));
    // Larger than the box: the negative half truncates toward zero.
    EXPECT_EQ(CenterRect(13, 3, {0, 0, 10, 10}), (TRect{-1, 3, 12, 6}));
}

TEST(Rect, WidthAndHeightAreAbsolute) {
    EXPECT_EQ(RectWidth({10, 0, 2, 5}), 8);
    EXPECT_EQ(RectHeight({0, 9, 0, 4}), 5);
}

TEST(RoundHalfEven, Ties) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
}

TEST(CheckImageSize, RejectsHugeAndNegative) {
    EXPECT_NO_THROW(CheckImageSize(16384, 16384));
    EXPECT_THROW(CheckImageSize(100000, 100000), ETaveluneError);
    EXPECT_THROW(CheckImageSize(-1, 10), ETaveluneError);
    EXPECT_THROW(CheckImageSize(int64_t{1} << 40, 1), ETaveluneError);
}

} // namespace
