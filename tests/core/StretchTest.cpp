// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/ScanMan.h"
#include "core/StretchEx.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const TTriple kUntouched = Rgb(1, 2, 3);

// Destination pixel (x, y) must hold source pixel (mapX[x], mapY[y]); -1 means untouched.
struct NearestCase {
    const char* name;
    int sw, sh;
    TRect srcRect;
    int dw, dh;
    TRect clip;
    TRect dstRect;
    std::vector<int> mapX, mapY;
};

void PrintTo(const NearestCase& c, std::ostream* os) {
    *os << c.name;
}

void ExpectMapped(const TBitmap& src, const TBitmap& dst, const std::vector<int>& mapX,
                  const std::vector<int>& mapY) {
    ASSERT_EQ(size_t(dst.Width()), mapX.size());
    ASSERT_EQ(size_t(dst.Height()), mapY.size());
    for (int y = 0; y < dst.Height(); ++y)
        for (int x = 0; x < dst.Width(); ++x) {
            const int sx = mapX[size_t(x)], sy = mapY[size_t(y)];
            const TTriple want = (sx < 0 || sy < 0) ? kUntouched : PixelAt(src, sx, sy);
            ASSERT_EQ(PixelAt(dst, x, y), want) << "at " << x << ", " << y;
        }
}

const std::vector<NearestCase> kNearestCases{
    {"reduce4to2", 4, 1, WholeImageRect, 2, 1, WholeImageRect, {0, 0, 2, 1}, {0, 2}, {0}},
    {"enlarge2to5",
     2,
     2,
     WholeImageRect,
     5,
     2,
     WholeImageRect,
     {0, 0, 5, 2},
     {0, 0, 0, 1, 1},
     {0, 1}},
    {"sourcePart",
     8,
     8,
     {2, 2, 6, 6},
     4,
     3,
     WholeImageRect,
     {0, 0, 2, 2},
     {2, 4, -1, -1},
     {2, 4, -1}},
    {"reversedSourceIsSorted",
     4,
     4,
     {3, 3, 1, 1},
     4,
     4,
     WholeImageRect,
     {0, 0, 4, 4},
     {1, 1, 2, 2},
     {1, 1, 2, 2}},
    {"clipped",
     4,
     4,
     WholeImageRect,
     8,
     4,
     {2, 0, 5, 3},
     {0, 0, 8, 8},
     {-1, -1, 1, 1, 2, -1, -1, -1},
     {0, 0, 1, -1}},
    {"destinationPartlyOutside",
     2,
     2,
     WholeImageRect,
     4,
     4,
     WholeImageRect,
     {2, -2, 6, 2},
     {-1, -1, 0, 0},
     {1, 1, -1, -1}},
    {"sameSizeCopies",
     4,
     4,
     {1, 1, 3, 3},
     5,
     5,
     WholeImageRect,
     {2, 3, 4, 5},
     {-1, -1, 1, 2, -1},
     {-1, -1, -1, 1, 2}},
    {"sameSizeClipped",
     4,
     4,
     {1, 1, 3, 3},
     5,
     5,
     {0, 0, 3, 4},
     {2, 3, 4, 5},
     {-1, -1, 1, -1, -1},
     {-1, -1, -1, 1, -1}},
    {"reversedDestinationIsEmpty",
     2,
     2,
     WholeImageRect,
     3,
     3,
     WholeImageRect,
     {3, 0, 0, 3},
     {-1, -1, -1},
     {-1, -1, -1}},
    {"sourceRectOutside",
     2,
     2,
     {5, 5, 9, 9},
     3,
     3,
     WholeImageRect,
     {0, 0, 3, 3},
     {-1, -1, -1},
     {-1, -1, -1}},
    {"clipOutside",
     2,
     2,
     WholeImageRect,
     3,
     3,
     {3, 0, 9, 3},
     {0, 0, 3, 3},
     {-1, -1, -1},
     {-1, -1, -1}},
};

class NearestStretch : public ::testing::TestWithParam<NearestCase> {};

TEST_P(NearestStretch, TakesTruncatedSourcePositions) {
    const NearestCase& c = GetParam();
    TBitmap src = RandomImage(c.sw, c.sh, 11);
    TBitmap dst = UniformImage(c.dw, c.dh, kUntouched);
    StretchNearest(src, c.srcRect, dst, c.clip, c.dstRect);
    ExpectMapped(src, dst, c.mapX, c.mapY);
}

INSTANTIATE_TEST_SUITE_P(Table, NearestStretch, ::testing::ValuesIn(kNearestCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NearestStretch, EveryHundredthPixelOfALargeImage) {
    TBitmap src = RandomImage(1000, 800, 4);
    TBitmap dst = UniformImage(10, 8, kUntouched);
    StretchNearest(src, ImageBounds(src), dst, WholeImageRect, ImageBounds(dst));
    std::vector<int> mapX, mapY;
    for (int i = 0; i < 10; ++i)
        mapX.push_back(100 * i);
    for (int i = 0; i < 8; ++i)
        mapY.push_back(100 * i);
    ExpectMapped(src, dst, mapX, mapY);
}

TEST(NearestStretch, SameImageOnBothSides) {
    TBitmap img = RandomImage(6, 6, 8);
    const TBitmap before = img;
    StretchNearest(img, {0, 0, 3, 3}, img, WholeImageRect, {0, 0, 6, 6});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(PixelAt(img, x, y), PixelAt(before, x / 2, y / 2)) << x << ", " << y;
}

// --- SampleBicubic -------------------------------------------------------------------------

struct SampleCase {
    const char* name;
    std::vector<uint8_t> row; // a one-row image
    TRect rect;               // the sampler's rectangle
    double x;
    uint8_t expected;
};

void PrintTo(const SampleCase& c, std::ostream* os) {
    *os << c.name;
}

class BicubicSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(BicubicSample, WeighsFourNeighbours) {
    const SampleCase& c = GetParam();
    TBitmap img =
        MakeImage(int(c.row.size()), 1, [&](int x, int) { return Grey(c.row[size_t(x)]); });
    TScanLinesManagerEx scan(img, c.rect);
    scan.ClampEdges = true;
    EXPECT_EQ(scan.SampleBicubic(0.0, c.x), Grey(c.expected));
}

// Halfway between pixels the weights are -1/8, 5/8, 5/8, -1/8.
INSTANTIATE_TEST_SUITE_P(
    Table, BicubicSample,
    ::testing::Values(SampleCase{"halfway", {0, 101, 100, 0}, WholeImageRect, 1.5, 126},
                      SampleCase{"tieToEvenDown", {0, 100, 100, 4}, WholeImageRect, 1.5, 124},
                      SampleCase{"tieToEvenUp", {1, 101, 100, 0}, WholeImageRect, 1.5, 126},
                      SampleCase{"above254Is255", {3, 204, 204, 3}, WholeImageRect, 1.5, 255},
                      SampleCase{"negativeIs0", {255, 0, 0, 255}, WholeImageRect, 1.5, 0},
                      SampleCase{"over255", {0, 255, 255, 0}, WholeImageRect, 1.5, 255},
                      SampleCase{"integerPosition", {9, 254, 77, 200}, WholeImageRect, 1.0, 254},
                      SampleCase{"integerPositionEnd", {9, 254, 77, 200}, WholeImageRect, 3.0, 200},
                      SampleCase{"clampedAtLeft", {100, 20, 0, 0}, WholeImageRect, -0.5, 110},
                      SampleCase{"clampedAtRight", {0, 0, 20, 100}, WholeImageRect, 3.5, 110},
                      // Clamped to the sampler's rectangle, not to the image.
                      SampleCase{"clampedToRect", {9, 100, 20, 0, 0, 9}, {1, 0, 5, 1}, 0.5, 110}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BicubicSample, BothAxes) {
    TBitmap img = MakeImage(4, 4, [](int x, int y) { return Grey(x == 1 && y == 1 ? 160 : 0); });
    TScanLinesManagerEx scan(img, WholeImageRect);
    scan.ClampEdges = true;
    EXPECT_EQ(scan.SampleBicubic(1.5, 1.5), Grey(62));  // 160 x 25/64 = 62.5, tie to even
    EXPECT_EQ(scan.SampleBicubic(1.0, 1.5), Grey(100)); // 160 x 5/8
    EXPECT_EQ(scan.SampleBicubic(1.5, 1.0), Grey(100)); // the first argument is y
    EXPECT_EQ(scan.SampleBicubic(1.0, 1.0), Grey(160));
}

// --- StretchBicubic ------------------------------------------------------------------------

struct BicubicCase {
    const char* name;
    int sw, sh;
    TRect srcRect;
    int dw, dh;
    TRect clip;
    TRect dstRect;
};

void PrintTo(const BicubicCase& c, std::ostream* os) {
    *os << c.name;
}

class BicubicStretch : public ::testing::TestWithParam<BicubicCase> {};

// Every computed pixel equals SampleBicubic at the top-left aligned source position.
TEST_P(BicubicStretch, SamplesEachPixel) {
    const BicubicCase& c = GetParam();
    TBitmap src = RandomImage(c.sw, c.sh, 21);
    TBitmap dst = UniformImage(c.dw, c.dh, kUntouched);
    StretchBicubic(src, c.srcRect, dst, c.clip, c.dstRect);

    const TRect s = ClipToImage(c.srcRect, src);
    TScanLinesManagerEx scan(src, s);
    scan.ClampEdges = true;
    const TRect& d = c.dstRect;
    const double xs = double(d.Right - d.Left) / (s.Right - s.Left);
    const double ys = double(d.Bottom - d.Top) / (s.Bottom - s.Top);
    const TRect area = IntersectRects(ClipToImage(c.clip, dst), d);
    for (int y = 0; y < c.dh; ++y)
        for (int x = 0; x < c.dw; ++x) {
            const bool inside =
                x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
            const TTriple want =
                inside ? scan.SampleBicubic((y - d.Top) / ys + s.Top, (x - d.Left) / xs + s.Left)
                       : kUntouched;
            ASSERT_EQ(PixelAt(dst, x, y), want) << "at " << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BicubicStretch,
    ::testing::Values(
        BicubicCase{"enlarge", 9, 7, WholeImageRect, 23, 5, WholeImageRect, {0, 0, 23, 5}},
        BicubicCase{"reduce", 19, 17, WholeImageRect, 4, 3, WholeImageRect, {0, 0, 4, 3}},
        BicubicCase{
            "sourcePartClamped", 12, 12, {3, 2, 8, 9}, 20, 20, WholeImageRect, {1, 2, 17, 19}},
        BicubicCase{"clipped", 6, 6, WholeImageRect, 20, 20, {4, 5, 11, 30}, {0, 0, 15, 15}},
        BicubicCase{"oneRowSource", 5, 1, WholeImageRect, 9, 3, WholeImageRect, {0, 0, 9, 3}},
        BicubicCase{"oneColumnSource", 1, 4, WholeImageRect, 2, 7, WholeImageRect, {0, 0, 2, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BicubicStretch, HalvingKeepsEvenSourcePixels) {
    TBitmap src = RandomImage(4, 4, 2);
    TBitmap dst = UniformImage(2, 2, kUntouched);
    StretchBicubic(src, ImageBounds(src), dst, WholeImageRect, ImageBounds(dst));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(PixelAt(dst, x, y), PixelAt(src, 2 * x, 2 * y));
}

TEST(BicubicStretch, SameSizeCopies) {
    TBitmap src = RandomImage(5, 4, 3);
    TBitmap dst = UniformImage(8, 8, kUntouched);
    StretchBicubic(src, ImageBounds(src), dst, WholeImageRect, {2, 1, 7, 5});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 1 && y < 5;
            EXPECT_EQ(PixelAt(dst, x, y), inside ? PixelAt(src, x - 2, y - 1) : kUntouched);
        }
}

// (254 is left out: a sum a hair above 254 becomes 255.)
TEST(BicubicStretch, UniformStaysUniform) {
    for (TTriple t : {Grey(0), Grey(255), Rgb(128, 3, 253)})
        for (auto [dw, dh] : {std::pair{31, 5}, std::pair{3, 2}, std::pair{7, 40}}) {
            TBitmap src = UniformImage(9, 6, t);
            TBitmap dst = UniformImage(dw, dh, kUntouched);
            StretchBicubic(src, ImageBounds(src), dst, WholeImageRect, ImageBounds(dst));
            for (int y = 0; y < dh; ++y)
                for (int x = 0; x < dw; ++x)
                    ASSERT_EQ(PixelAt(dst, x, y), t) << dw << "x" << dh << " at " << x << "," << y;
        }
}

} // namespace
