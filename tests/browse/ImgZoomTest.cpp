// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ImgZoom.h"
#include "TestPrinters.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TBitmap Blank(int w, int h) {
    TBitmap b;
    NewImage(b, w, h, clWhite);
    return b;
}

struct RecomputeCase {
    int w, h;
    TRect view;
    ZoomMode mode;
    double customScale; // used with zmCustom
    Alignment alignment;
    double scale;
    int zw, zh, left, top;
};

class RecomputeTest : public ::testing::TestWithParam<RecomputeCase> {};

TEST_P(RecomputeTest, ScaleSizeAndPlacement) {
    const RecomputeCase c = GetParam();
    const TBitmap image = Blank(c.w, c.h);
    TImageZoom zoom;
    zoom.SetBitmap(&image);
    zoom.SetAlignment(c.alignment);
    if (c.mode == zmCustom)
        zoom.SetScale(c.customScale);
    else
        zoom.SetZoomMode(c.mode);
    zoom.SetViewRect(c.view);
    EXPECT_DOUBLE_EQ(zoom.Scale(), c.scale);
    EXPECT_EQ(zoom.ZoomedWidth(), c.zw);
    EXPECT_EQ(zoom.ZoomedHeight(), c.zh);
    EXPECT_EQ(zoom.ImageLeft(), c.left);
    EXPECT_EQ(zoom.ImageTop(), c.top);
    EXPECT_EQ(zoom.ImageRect(), (TRect{c.left, c.top, c.left + c.zw, c.top + c.zh}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecomputeTest,
    ::testing::Values(
        RecomputeCase{1000, 500, {0, 0, 400, 400}, zmFitScreen, 0, zaCenter, 0.4, 400, 200, 0, 100},
        RecomputeCase{
            1000, 500, {10, 20, 410, 420}, zmFitScreen, 0, zaCenter, 0.4, 400, 200, 10, 120},
        RecomputeCase{1000, 500, {0, 0, 400, 400}, zmFitWidth, 0, zaCenter, 0.4, 400, 200, 0, 100},
        RecomputeCase{
            1000, 500, {0, 0, 400, 400}, zmFitHeight, 0, zaCenter, 0.8, 800, 400, -200, 0},
        RecomputeCase{200, 100, {0, 0, 800, 600}, zmFitScreen, 0, zaTopLeft, 4.0, 800, 400, 0, 0},
        // Centring truncates toward zero: (100 - 151) / 2 = -25.
        RecomputeCase{151, 10, {0, 0, 100, 100}, zmActualSize, 0, zaCenter, 1.0, 151, 10, -25, 45},
        // Rounding of the zoomed size: ties to even.
        RecomputeCase{5, 5, {0, 0, 100, 100}, zmCustom, 0.5, zaTopLeft, 0.5, 2, 2, 0, 0},
        RecomputeCase{7, 7, {0, 0, 100, 100}, zmCustom, 0.5, zaTopLeft, 0.5, 4, 4, 0, 0},
        RecomputeCase{
            3, 1, {0, 0, 100, 100}, zmCustom, 0.3333333, zaTopLeft, 0.3333333, 1, 0, 0, 0},
        // An empty view leaves the scale as it was and places nothing.
        RecomputeCase{1000, 500, {0, 0, 0, 400}, zmFitScreen, 0, zaCenter, 1.0, 1000, 500, 0, 0}));

struct AlignCase {
    Alignment alignment;
    int left, top;
};

class AlignmentTest : public ::testing::TestWithParam<AlignCase> {};

TEST_P(AlignmentTest, PlacesBySideOrCentreAndKeepsWhatItDoesNotSet) {
    // 151 x 51 in the 100 x 100 view at (10, 20): centre x = 10 - 25, centre y = 20 + 24.
    const TBitmap image = Blank(151, 51);
    TImageZoom zoom;
    zoom.SetBitmap(&image);
    zoom.SetViewRect({10, 20, 110, 120});
    zoom.SetImageLeft(3);
    zoom.SetImageTop(7);
    ASSERT_EQ(zoom.Alignment(), zaFree);
    zoom.SetAlignment(GetParam().alignment);
    EXPECT_EQ(zoom.ImageLeft(), GetParam().left);
    EXPECT_EQ(zoom.ImageTop(), GetParam().top);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlignmentTest,
    ::testing::Values(AlignCase{zaTopLeft, 10, 20}, AlignCase{zaTopCenter, -15, 20},
                      AlignCase{zaTopRight, -41, 20}, AlignCase{zaMiddleLeft, 10, 44},
                      AlignCase{zaCenter, -15, 44}, AlignCase{zaMiddleRight, -41, 44},
                      AlignCase{zaBottomLeft, 10, 69}, AlignCase{zaBottomCenter, -15, 69},
                      AlignCase{zaBottomRight, -41, 69}, AlignCase{zaCenterHorz, -15, 7},
                      AlignCase{zaCenterVert, 3, 44}, AlignCase{zaFree, 3, 7}));

TEST(ImgZoom, InitialState) {
    const TImageZoom zoom;
    EXPECT_EQ(zoom.ZoomMode(), zmActualSize);
    EXPECT_EQ(zoom.Alignment(), zaTopLeft);
    EXPECT_EQ(zoom.Scale(), 1.0);
    EXPECT_EQ(zoom.ZoomedWidth(), 0);
    EXPECT_EQ(zoom.ViewRect(), TRect{});
    EXPECT_FALSE(zoom.Optimize());
    EXPECT_EQ(zoom.Bitmap(), nullptr);
    EXPECT_EQ(zoom.Canvas(), nullptr);
}

class ScaleSetterTest : public ::testing::TestWithParam<double> {};

TEST_P(ScaleSetterTest, NonPositiveScaleBecomesOneAndModeCustom) {
    const TBitmap image = Blank(10, 10);
    TImageZoom zoom;
    zoom.SetBitmap(&image);
    zoom.SetViewRect({0, 0, 100, 100});
    zoom.SetZoomMode(zmFitScreen);
    ASSERT_EQ(zoom.Scale(), 10.0);
    zoom.SetScale(GetParam());
    EXPECT_EQ(zoom.Scale(), 1.0);
    EXPECT_EQ(zoom.ZoomMode(), zmCustom);
    EXPECT_EQ(zoom.ZoomedWidth(), 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleSetterTest, ::testing::Values(0.0, -2.0, std::nan("")));

// The setters react only to a change: an image resized in place is seen only by a Recompute.
struct NoChangeCase {
    const char* name;
    std::function<void(TImageZoom&, const TBitmap&)> same;
    std::function<void(TImageZoom&, const TBitmap&)> different;
};

class SetterChangeTest : public ::testing::TestWithParam<NoChangeCase> {};

TEST_P(SetterChangeTest, RecomputesOnlyWhenTheValueChanges) {
    TBitmap image = Blank(40, 20);
    TBitmap canvas = Blank(100, 100);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetScale(0.5);
    ASSERT_EQ(zoom.ZoomedWidth(), 20);
    image.SetSize(80, 20); // the owner changed the image in place
    GetParam().same(zoom, image);
    EXPECT_EQ(zoom.ZoomedWidth(), 20);
    GetParam().different(zoom, image);
    EXPECT_NE(zoom.ZoomedWidth(), 20);
}

TBitmap g_other = [] {
    TBitmap b;
    NewImage(b, 10, 10, clBlack);
    return b;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, SetterChangeTest,
    ::testing::Values(
        NoChangeCase{"Scale", [](TImageZoom& z, const TBitmap&) { z.SetScale(0.5); },
                     [](TImageZoom& z, const TBitmap&) { z.SetScale(1.0); }},
        NoChangeCase{"Mode", [](TImageZoom& z, const TBitmap&) { z.SetZoomMode(zmCustom); },
                     [](TImageZoom& z, const TBitmap&) { z.SetZoomMode(zmActualSize); }},
        NoChangeCase{"View",
                     [](TImageZoom& z, const TBitmap&) {
                         z.SetViewRect({0, 0, 100, 100});
                     },
                     [](TImageZoom& z, const TBitmap&) {
                         z.SetViewRect({0, 0, 99, 100});
                     }},
        NoChangeCase{"Bitmap", [](TImageZoom& z, const TBitmap& img) { z.SetBitmap(&img); },
                     [](TImageZoom& z, const TBitmap&) { z.SetBitmap(&g_other); }},
        NoChangeCase{"Recompute", [](TImageZoom&, const TBitmap&) {},
                     [](TImageZoom& z, const TBitmap&) { z.Recompute(); }}),
    [](const ::testing::TestParamInfo<NoChangeCase>& info) {
        return std::string(info.param.name);
    });

TEST(ImgZoom, CanvasSetsTheViewToItsWholeArea) {
    TBitmap canvas = Blank(64, 48);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    EXPECT_EQ(zoom.ViewRect(), (TRect{0, 0, 64, 48}));
    zoom.SetViewRect({5, 5, 10, 10});
    zoom.SetCanvas(nullptr);
    EXPECT_EQ(zoom.ViewRect(), TRect{});
}

TEST(ImgZoom, WithoutImageZoomedSizeIsZeroAndNothingMoves) {
    const TBitmap image = Blank(30, 30);
    TImageZoom zoom;
    zoom.SetViewRect({0, 0, 100, 100});
    zoom.SetBitmap(&image);
    zoom.SetAlignment(zaCenter);
    ASSERT_EQ(zoom.ImageLeft(), 35);
    zoom.SetBitmap(nullptr);
    EXPECT_EQ(zoom.ZoomedWidth(), 0);
    EXPECT_EQ(zoom.ZoomedHeight(), 0);
    EXPECT_EQ(zoom.ImageLeft(), 35);
    zoom.SetAlignment(zaTopLeft);
    EXPECT_EQ(zoom.ImageLeft(), 35);
}

TEST(ImgZoom, ExplicitPositionIsFreeAndSurvivesRecompute) {
    const TBitmap image = Blank(30, 30);
    TImageZoom zoom;
    zoom.SetBitmap(&image);
    zoom.SetViewRect({0, 0, 100, 100});
    zoom.SetAlignment(zaCenter);
    zoom.SetImageLeft(-7);
    EXPECT_EQ(zoom.Alignment(), zaFree);
    EXPECT_EQ(zoom.ImageTop(), 35);
    zoom.SetScale(2.0);
    EXPECT_EQ(zoom.ImageLeft(), -7);
    EXPECT_EQ(zoom.ImageTop(), 35);
    EXPECT_EQ(zoom.ZoomedWidth(), 60);
}

struct ZoomedSideCase {
    bool height; // SetZoomedHeight instead of SetZoomedWidth
    int value;
    bool applied;
    double scale;
    int zw, zh;
};

class ZoomedSideTest : public ::testing::TestWithParam<ZoomedSideCase> {};

TEST_P(ZoomedSideTest, SetsScaleFromOneSideAndRoundsTheOther) {
    const ZoomedSideCase c = GetParam();
    const TBitmap image = Blank(400, 1000);
    TImageZoom zoom;
    zoom.SetBitmap(&image);
    zoom.SetViewRect({0, 0, 600, 600});
    zoom.SetAlignment(zaCenter);
    if (c.height)
        zoom.SetZoomedHeight(c.value);
    else
        zoom.SetZoomedWidth(c.value);
    EXPECT_EQ(zoom.ZoomMode(), c.applied ? zmCustom : zmActualSize);
    EXPECT_DOUBLE_EQ(zoom.Scale(), c.scale);
    EXPECT_EQ(zoom.ZoomedWidth(), c.zw);
    EXPECT_EQ(zoom.ZoomedHeight(), c.zh);
    EXPECT_EQ(zoom.ImageLeft(), (600 - c.zw) / 2); // realigned
}

INSTANTIATE_TEST_SUITE_P(Cases, ZoomedSideTest,
                         ::testing::Values(ZoomedSideCase{false, 480, true, 1.2, 480, 1200},
                                           ZoomedSideCase{true, 480, true, 0.48, 192, 480},
                                           ZoomedSideCase{true, 5, true, 0.005, 2, 5},
                                           ZoomedSideCase{false, 0, false, 1.0, 400, 1000},
                                           ZoomedSideCase{false, -5, false, 1.0, 400, 1000},
                                           ZoomedSideCase{false, 400, false, 1.0, 400, 1000},
                                           ZoomedSideCase{true, 1000, false, 1.0, 400, 1000}));

TEST(ImgZoom, ZoomedSideWithoutImageIsIgnored) {
    TImageZoom zoom;
    zoom.SetZoomedWidth(100);
    zoom.SetZoomedHeight(100);
    EXPECT_EQ(zoom.ZoomedWidth(), 0);
    EXPECT_EQ(zoom.ZoomMode(), zmActualSize);
}

struct CanScrollCase {
    int left, top;
    bool l, t, r, b;
};

class CanScrollTest : public ::testing::TestWithParam<CanScrollCase> {};

TEST_P(CanScrollTest, TellsWhichSidesHideImage) {
    const CanScrollCase c = GetParam();
    const TBitmap image = Blank(100, 80);
    TImageZoom zoom;
    zoom.SetBitmap(&image);
    zoom.SetViewRect({10, 10, 60, 60});
    zoom.SetImageLeft(c.left);
    zoom.SetImageTop(c.top);
    EXPECT_EQ(zoom.CanScroll(TViewSide::Left), c.l);
    EXPECT_EQ(zoom.CanScroll(TViewSide::Top), c.t);
    EXPECT_EQ(zoom.CanScroll(TViewSide::Right), c.r);
    EXPECT_EQ(zoom.CanScroll(TViewSide::Bottom), c.b);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CanScrollTest,
    ::testing::Values(CanScrollCase{10, 10, false, false, true, true},
                      CanScrollCase{9, 9, true, true, true, true},
                      CanScrollCase{-40, -20, true, true, false, false},
                      CanScrollCase{-39, -19, true, true, true, true},
                      // Wholly beyond the bottom right corner: those edges still lie outside.
                      CanScrollCase{200, 200, false, false, true, true}));

TEST(ImgZoom, CanScrollNeedsImageAndView) {
    const TBitmap image = Blank(100, 100);
    TImageZoom zoom;
    zoom.SetViewRect({0, 0, 10, 10});
    EXPECT_FALSE(zoom.CanScroll(TViewSide::Right));
    zoom.SetBitmap(&image);
    EXPECT_TRUE(zoom.CanScroll(TViewSide::Right));
    zoom.SetViewRect({0, 0, 0, 10});
    EXPECT_FALSE(zoom.CanScroll(TViewSide::Right));
}

struct FitCase {
    int w, h;
    TRect rect;
    int kind;
    double expected;
};

class FitScaleTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitScaleTest, RatioOfTheKind) {
    const FitCase c = GetParam();
    const TBitmap image = c.w > 0 ? Blank(c.w, c.h) : TBitmap();
    EXPECT_DOUBLE_EQ(TImageZoom::FitScale(&image, c.rect, c.kind), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FitScaleTest,
                         ::testing::Values(FitCase{200, 100, {0, 0, 100, 100}, 1, 0.5},
                                           FitCase{200, 100, {0, 0, 100, 100}, 2, 1.0},
                                           FitCase{200, 100, {0, 0, 100, 100}, 3, 0.5},
                                           FitCase{100, 200, {5, 5, 105, 105}, 3, 0.5},
                                           FitCase{200, 100, {0, 0, 100, 100}, 0, 1.0},
                                           FitCase{200, 100, {0, 0, 100, 100}, 7, 1.0},
                                           FitCase{200, 100, {0, 0, 0, 100}, 1, 0.0},
                                           FitCase{200, 100, {0, 0, 100, -5}, 3, 0.0},
                                           FitCase{0, 0, {0, 0, 100, 100}, 3, 0.0}));

TEST(ImgZoom, FitScaleOfNoImageIsZero) {
    EXPECT_EQ(TImageZoom::FitScale(nullptr, {0, 0, 10, 10}, 3), 0.0);
}

struct ScrollCase {
    int left, top, dx, dy;
    int expLeft, expTop;
    bool moved;
};

class ScrollByTest : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollByTest, ClampsSoThatNoGapOpens) {
    // A 100 x 100 image in the 80 x 60 view at the canvas's corner.
    const ScrollCase c = GetParam();
    const TBitmap image = Blank(100, 100);
    TBitmap canvas = Blank(80, 60);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetImageLeft(c.left);
    zoom.SetImageTop(c.top);
    zoom.SetAlignment(zaTopLeft); // ScrollBy frees it again when something moves
    zoom.SetImageLeft(c.left);
    zoom.SetImageTop(c.top);
    const TRect drawn = zoom.ScrollBy(c.dx, c.dy, false);
    EXPECT_EQ(zoom.ImageLeft(), c.expLeft);
    EXPECT_EQ(zoom.ImageTop(), c.expTop);
    if (c.moved)
        EXPECT_EQ(drawn, IntersectRects(zoom.ImageRect(), zoom.ViewRect()));
    else
        EXPECT_TRUE(RectEmpty(drawn));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollByTest,
    ::testing::Values(
        // The right edge lies 20 beyond the view: -50 moves by 20, then 0.
        ScrollCase{0, 0, -50, 0, -20, 0, true}, ScrollCase{-20, 0, -50, 0, -20, 0, false},
        ScrollCase{0, 0, 10, 10, 0, 0, false}, ScrollCase{-20, -40, 50, 50, 0, 0, true},
        ScrollCase{0, 0, 0, -50, 0, -40, true}, ScrollCase{0, 0, -3, -3, -3, -3, true},
        // A gap already open stays, but does not grow.
        ScrollCase{5, 0, 3, 0, 5, 0, false}, ScrollCase{5, 0, -3, 0, 2, 0, true},
        ScrollCase{-30, 10, 0, -5, -30, 5, true}, ScrollCase{-30, -40, 0, -5, -30, -40, false}));

TEST(ImgZoom, ScrollByMakesTheAlignmentFree) {
    const TBitmap image = Blank(100, 100);
    TBitmap canvas = Blank(50, 50);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetAlignment(zaCenter);
    ASSERT_FALSE(RectEmpty(zoom.ScrollBy(4, 0, false)));
    EXPECT_EQ(zoom.Alignment(), zaFree);
    EXPECT_EQ(zoom.ImageLeft(), -21);
}

TEST(ImgZoom, ScrollByWithoutImageOrCanvasDoesNothing) {
    const TBitmap image = Blank(100, 100);
    TImageZoom zoom;
    zoom.SetViewRect({0, 0, 10, 10});
    zoom.SetBitmap(&image);
    EXPECT_TRUE(RectEmpty(zoom.ScrollBy(-5, 0, true)));
    EXPECT_EQ(zoom.ImageLeft(), 0);
}

} // namespace
