// SPDX-License-Identifier: GPL-2.0-or-later
#include "print/PageLayout.h"
#include "print/PrintPage.h"

#include "TestPrinters.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// 254 dots per inch: one centimetre is exactly 100 dots.
constexpr TPageMetrics kA4At254{2100, 2970, 254};

TEST(PageGeometryTest, PageSizeAndConversionsInBothUnits) {
    const TPageGeometry cm(kA4At254, TPageUnit::Centimetre);
    EXPECT_NEAR(cm.WidthUnits(), 21.0, 1e-9);
    EXPECT_NEAR(cm.HeightUnits(), 29.7, 1e-9);
    EXPECT_EQ(cm.UnitsToDotsX(2.97), 297);
    EXPECT_EQ(cm.UnitsToDotsY(15.84), 1584);
    EXPECT_NEAR(cm.DotsToUnitsX(2376), 23.76, 1e-9);

    const TPageGeometry inch(kA4At254, TPageUnit::Inch);
    EXPECT_NEAR(inch.WidthUnits(), 2100.0 / 254, 1e-12);
    EXPECT_NEAR(inch.HeightUnits(), 2970.0 / 254, 1e-12);
    EXPECT_EQ(inch.UnitsToDotsX(1.0), 254);
    EXPECT_EQ(inch.UnitsToDotsX(1.17), 297); // 297.18
    EXPECT_NEAR(inch.DotsToUnitsY(254 * 3), 3.0, 1e-12);
}

TEST(PageGeometryTest, TheHorizontalResolutionConvertsBothDirections) {
    // A page whose height and width come from different real resolutions still converts with
    // its one dpi: the unit sizes follow the dots.
    const TPageGeometry g({1000, 4000, 100}, TPageUnit::Inch);
    EXPECT_DOUBLE_EQ(g.WidthUnits(), 10.0);
    EXPECT_DOUBLE_EQ(g.HeightUnits(), 40.0);
    EXPECT_EQ(g.UnitsToDotsY(2.5), 250);
}

TEST(PageGeometryTest, UnusableMetricsNeverDivideByZero) {
    const TPageGeometry g({0, 0, 0}, TPageUnit::Centimetre);
    EXPECT_TRUE(std::isfinite(g.WidthUnits()));
    EXPECT_EQ(g.UnitsToDotsX(1.0), 0); // 1 cm at 1 dpi
    EXPECT_EQ(PreviewBoxFor({0, 0, 0}).Height, kPreviewSide);
    EXPECT_TRUE(std::isfinite(FitScale({0, 0, 0}, 0, 0)));
}

TEST(PageGeometryTest, PageUnitFromTheSetting) {
    EXPECT_EQ(PageUnitFromSetting(0), TPageUnit::Centimetre);
    EXPECT_EQ(PageUnitFromSetting(1), TPageUnit::Inch);
    EXPECT_EQ(PageUnitFromSetting(7), TPageUnit::Centimetre);
}

struct ScaleCase {
    TPageMetrics Page;
    int ImgW, ImgH;
    double Fit;
    int ScrollMax;
    double First;
    int FirstPosition;
};

class ScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleTest, FitSliderAndFirstScale) {
    const ScaleCase& c = GetParam();
    const double fit = FitScale(c.Page, c.ImgW, c.ImgH);
    EXPECT_NEAR(fit, c.Fit, 1e-9);
    EXPECT_EQ(ZoomScrollMax(fit), c.ScrollMax);
    EXPECT_NEAR(FirstScale(fit), c.First, 1e-9);
    EXPECT_EQ(ZoomPosition(FirstScale(fit), ZoomScrollMax(fit)), c.FirstPosition);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ScaleTest,
    ::testing::Values(
        // Landscape page, landscape image: the width limits.
        ScaleCase{{2970, 2100, 254}, 3000, 2000, 0.99, 10, 0.792, 8},
        ScaleCase{{2100, 2970, 254}, 2000, 3000, 0.99, 10, 0.792, 8},
        // 10.5 tens of percent: the slider's maximum rounds half to even.
        ScaleCase{{2970, 2100, 254}, 2000, 2000, 1.05, 10, 0.84, 8},
        ScaleCase{{2500, 3000, 254}, 10000, 10, 0.25, 2, 0.2, 2},
        ScaleCase{{3500, 3000, 254}, 10000, 10, 0.35, 4, 0.28, 3},
        // A tiny image starts at 5.0, not at 80 % of fit.
        ScaleCase{{2970, 2100, 254}, 10, 10, 210, 2100, 5.0, 50},
        ScaleCase{{7016, 4961, 600}, 640, 480, 4961.0 / 480, 103, 5.0, 50},
        // A huge image: the maximum is still 1 and the position stays within it.
        ScaleCase{{2970, 2100, 254}, 100000, 100, 0.0297, 1, 0.02376, 1}));

struct BoxCase {
    TPageMetrics Page;
    int Width, Height;
    double K;
};

class PreviewBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(PreviewBoxTest, LongerSideIs225) {
    const BoxCase& c = GetParam();
    const TPreviewBox box = PreviewBoxFor(c.Page);
    EXPECT_EQ(box.Width, c.Width);
    EXPECT_EQ(box.Height, c.Height);
    EXPECT_NEAR(box.K, c.K, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Pages, PreviewBoxTest,
                         ::testing::Values(BoxCase{{2970, 2100, 254}, 225, 159, 225.0 / 2970},
                                           BoxCase{{2100, 2970, 254}, 159, 225, 225.0 / 2970},
                                           // Square pages are measured by their height.
                                           BoxCase{{3000, 3000, 300}, 225, 225, 0.075},
                                           // 112.5 rounds to the even 112.
                                           BoxCase{{450, 900, 72}, 112, 225, 0.25},
                                           BoxCase{{2250, 1000, 72}, 225, 100, 0.1}));

TEST(PageLayoutTest, CentredOffsetTruncatesTowardZero) {
    EXPECT_EQ(CentredOffset(2970, 2376), 297);
    EXPECT_EQ(CentredOffset(2101, 2000), 50);
    EXPECT_EQ(CentredOffset(100, 201), -50);
}

TEST(PageLayoutTest, PrintedDotsRoundHalfToEven) {
    EXPECT_EQ(PrintedDots(3000, 0.792), 2376);
    EXPECT_EQ(PrintedDots(5, 0.5), 2);
    EXPECT_EQ(PrintedDots(7, 0.5), 4);
}

TEST(PageLayoutTest, MessageBoundsAreHalfAHundredthLowerAndNeverNegative) {
    EXPECT_NEAR(BoundForMessage(20.9973), 20.9923, 1e-12);
    EXPECT_EQ(BoundForMessage(0.003), 0.0);
    EXPECT_EQ(BoundForMessage(0), 0.0);
}

struct MarkCase {
    TPageMetrics Page;
    TPageUnit Unit;
    TMarkLengths Expected;
};

class MarkLengthTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkLengthTest, EightAndOneMillimetre) {
    const MarkCase& c = GetParam();
    EXPECT_EQ(MarkLengths(TPageGeometry(c.Page, c.Unit)), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Resolutions, MarkLengthTest,
    ::testing::Values(MarkCase{kA4At254, TPageUnit::Centimetre, {80, 10}},
                      MarkCase{kA4At254, TPageUnit::Inch, {80, 10}},
                      MarkCase{{4961, 7016, 600}, TPageUnit::Centimetre, {189, 24}},
                      MarkCase{{4961, 7016, 600}, TPageUnit::Inch, {189, 24}},
                      MarkCase{{2480, 3508, 300}, TPageUnit::Centimetre, {94, 12}},
                      MarkCase{{595, 842, 72}, TPageUnit::Inch, {23, 3}},
                      MarkCase{{9921, 14031, 1200}, TPageUnit::Centimetre, {378, 47}}));

TEST(PageLayoutTest, ImageRectangleFromTheFields) {
    const TPageGeometry cm(kA4At254, TPageUnit::Centimetre);
    EXPECT_EQ(ImageRectFromFields(cm, 2.97, 2.58, 23.76, 15.84),
              (TRect{297, 258, 297 + 2376, 258 + 1584}));
    const TPageGeometry inch({2970, 2100, 254}, TPageUnit::Inch);
    // 1.17 in = 297.18 dots, 9.35 in = 2374.9 dots.
    EXPECT_EQ(ImageRectFromFields(inch, 1.17, 1.02, 9.35, 6.24),
              (TRect{297, 259, 297 + 2375, 259 + 1585}));
}

// Crop marks ---------------------------------------------------------------------------------

TEST(CropMarksTest, MarkLinesLeaveOutTheirSecondPoint) {
    EXPECT_EQ(MarkLine(20, 5, 90, 5), (TRect{20, 5, 90, 6}));
    EXPECT_EQ(MarkLine(90, 5, 20, 5), (TRect{21, 5, 91, 6}));
    EXPECT_EQ(MarkLine(7, 10, 7, 40), (TRect{7, 10, 8, 40}));
    EXPECT_EQ(MarkLine(7, 40, 7, 10), (TRect{7, 11, 8, 41}));
    EXPECT_TRUE(RectEmpty(MarkLine(3, 3, 3, 3)));
}

const TRect kCorners[8] = {
    {20, 200, 90, 201},   {100, 120, 101, 190}, // top left
    {411, 200, 481, 201}, {400, 120, 401, 190}, // top right
    {411, 400, 481, 401}, {400, 411, 401, 481}, // bottom right
    {20, 400, 90, 401},   {100, 411, 101, 481}, // bottom left
};

struct CropCase {
    const char* Name;
    int ImgW, ImgH;
    std::vector<TRect> CentreMarks;
};

class CropMarkTest : public ::testing::TestWithParam<CropCase> {};

TEST_P(CropMarkTest, CornerMarksThenCentreMarksOfElongatedImages) {
    const CropCase& c = GetParam();
    const TRect image{100, 200, 400, 400};
    std::vector<TRect> expected(std::begin(kCorners), std::end(kCorners));
    expected.insert(expected.end(), c.CentreMarks.begin(), c.CentreMarks.end());
    EXPECT_EQ(CropMarkLines(image, {80, 10}, c.ImgW, c.ImgH), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CropMarkTest,
    ::testing::Values(
        CropCase{"FourByThree", 400, 300, {}}, CropCase{"Square", 500, 500, {}},
        CropCase{"JustBelowThreeToTwo", 1499, 1000, {}},
        // Exactly 3:2 gets the marks on the long sides: vertical marks at mx = 100 + 300 / 2.
        CropCase{"ThreeByTwo", 300, 200, {{250, 120, 251, 190}, {250, 411, 251, 481}}},
        CropCase{"Panorama", 3000, 1000, {{250, 120, 251, 190}, {250, 411, 251, 481}}},
        // Portrait: horizontal marks at my = 200 + 200 / 2.
        CropCase{"TwoByThree", 1000, 1500, {{20, 300, 90, 301}, {411, 300, 481, 301}}}),
    [](const ::testing::TestParamInfo<CropCase>& info) { return info.param.Name; });

TEST(CropMarksTest, CentreOfAnOddSideIsTruncated) {
    const std::vector<TRect> lines = CropMarkLines({100, 0, 301, 100}, {80, 10}, 300, 100);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[8].Left, 200); // 100 + 201 / 2
}

TEST(CropMarksTest, OutlineIsOneDotInsideTheRectangle) {
    const std::vector<TRect> expected = {
        {10, 20, 50, 21}, {10, 59, 50, 60}, {10, 20, 11, 60}, {49, 20, 50, 60}};
    EXPECT_EQ(OutlineLines({10, 20, 50, 60}), expected);
    EXPECT_TRUE(OutlineLines({10, 20, 10, 60}).empty());
}

} // namespace
