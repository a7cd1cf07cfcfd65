// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Masks.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using TGreyRows = std::vector<std::vector<int>>;

TBitmap FromRows(const TGreyRows& rows) {
    return MakeImage(int(rows[0].size()), int(rows.size()),
                     [&](int x, int y) { return Grey(uint8_t(rows[size_t(y)][size_t(x)])); });
}

TGreyRows ToRows(const TBitmap& img) {
    TGreyRows rows(size_t(img.Height()), std::vector<int>(size_t(img.Width())));
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const TTriple t = PixelAt(img, x, y);
            EXPECT_TRUE(t.b == t.g && t.g == t.r) << "pixel stays grey at " << x << "," << y;
            rows[size_t(y)][size_t(x)] = t.b;
        }
    return rows;
}

constexpr int W = 255;

struct SmoothCase {
    const char* name;
    TGreyRows before;
    TRect rect;
    int maxRun;
    TGreyRows after;
};

void PrintTo(const SmoothCase& c, std::ostream* os) {
    *os << c.name;
}

class SmoothMaskEdgesCases : public ::testing::TestWithParam<SmoothCase> {};

TEST_P(SmoothMaskEdgesCases, RampsTheSteps) {
    const SmoothCase& c = GetParam();
    TBitmap mask = FromRows(c.before);
    SmoothMaskEdges(mask, c.rect, c.maxRun);
    EXPECT_EQ(ToRows(mask), c.after);
}

const TGreyRows kHorizontalStep{
    {W, W, W, W, W, W, W, W},
    {W, W, W, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},
};

const TGreyRows kVerticalStep{
    {W, W, 0, 0}, {W, W, 0, 0}, {W, W, 0, 0}, {W, 0, 0, 0},
    {W, 0, 0, 0}, {W, 0, 0, 0}, {W, 0, 0, 0}, {W, 0, 0, 0},
};

const TGreyRows kSquare{
    {W, W, W, W, W},
    {W, 0, 0, 0, W},
    {W, 0, 0, 0, W},
    {W, W, W, W, W},
};

INSTANTIATE_TEST_SUITE_P(
    Cases, SmoothMaskEdgesCases,
    ::testing::Values(
        SmoothCase{"horizontalStep",
                   kHorizontalStep,
                   WholeImageRect,
                   33,
                   {
                       {W, W, W, W, W, W, W, W},
                       {192, 128, 64, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                   }},
        // Two pixels: steps of 85 give 85.5 and 170.5, rounded to even.
        SmoothCase{"rampStopsAtTheRectangle",
                   kHorizontalStep,
                   {1, 0, 8, 4},
                   33,
                   {
                       {W, W, W, W, W, W, W, W},
                       {W, 170, 86, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                   }},
        // The row's run of 3 stays sharp; seen down column 2 the corner is a step of one.
        SmoothCase{"runAtTheLimitStaysSharp",
                   kHorizontalStep,
                   WholeImageRect,
                   3,
                   {
                       {W, W, W, W, W, W, W, W},
                       {W, W, 128, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                   }},
        SmoothCase{"verticalStep",
                   kVerticalStep,
                   WholeImageRect,
                   33,
                   {
                       {W, 192, 0, 0},
                       {W, 128, 0, 0},
                       {W, 64, 0, 0},
                       {W, 0, 0, 0},
                       {W, 0, 0, 0},
                       {W, 0, 0, 0},
                       {W, 0, 0, 0},
                       {W, 0, 0, 0},
                   }},
        SmoothCase{"onlyDarkens",
                   {
                       {W, W, W, W, W, W, W, W},
                       {100, W, 30, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                   },
                   WholeImageRect,
                   33,
                   {
                       {W, W, W, W, W, W, W, W},
                       {100, 128, 30, 0, 0, 0, 0, 0},
                       {0, 0, 0, 0, 0, 0, 0, 0},
                   }},
        SmoothCase{"squareHasNoSteps", kSquare, WholeImageRect, 33, kSquare},
        SmoothCase{"emptyRectangle", kHorizontalStep, {8, 0, 12, 4}, 33, kHorizontalStep}),
    [](const auto& info) { return std::string(info.param.name); });

// A step of run length L on a 40-wide mask: white row above, black from x = L in the middle
// row, a black row below (the column pass looks at the middle row only, and finds no step).
TBitmap Step(int run) {
    return MakeImage(40, 3,
                     [run](int x, int y) { return Grey(y == 0 || (y == 1 && x < run) ? 255 : 0); });
}

struct RunCase {
    int run, maxRun;
    bool ramped;
};

class RunLimit : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunLimit, LongStepsStaySharp) {
    const RunCase c = GetParam();
    TBitmap mask = Step(c.run);
    SmoothMaskEdges(mask, WholeImageRect, c.maxRun);
    if (!c.ramped) {
        EXPECT_TRUE(mask == Step(c.run));
        return;
    }
    // Darkest next to the shape. The levels are summed step by step, so where k * 255 / (L + 1)
    // is whole the sum may land a hair above it: for L = 34, k = 14 gives 103, not 102.
    const double step = 255.0 / (c.run + 1);
    double s = 0;
    for (int k = 1; k <= c.run; ++k) {
        s += step;
        EXPECT_EQ(PixelAt(mask, c.run - k, 1).b, RoundHalfEven(s + 0.5)) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RunLimit,
                         ::testing::Values(RunCase{32, 33, true}, RunCase{33, 33, false},
                                           RunCase{34, 33, false}, RunCase{34, -1, true},
                                           RunCase{2, 1, false}, RunCase{1, 0, false},
                                           RunCase{1, 2, true}));

TEST(SmoothMaskEdges, RampValuesOfThirtyTwoPixels) {
    TBitmap mask = Step(32);
    SmoothMaskEdges(mask, WholeImageRect, 33);
    EXPECT_EQ(PixelAt(mask, 31, 1), Grey(8));  // round(7.727 + 0.5)
    EXPECT_EQ(PixelAt(mask, 0, 1), Grey(248)); // round(247.27 + 0.5)
    EXPECT_EQ(PixelAt(mask, 32, 1), Grey(0));
}

} // namespace
