// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ZoomPolicy.h"

#include <QSet>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

TBitmap Blank(int w, int h) {
    TBitmap b;
    NewImage(b, w, h, clWhite);
    return b;
}

class TIdleTimer final : public IScrollTimer {
public:
    void Start(int, std::function<void()>) override {}
    void Stop() override {}
};

// A zoom view over an image of w x h in a view of vw x vh at (0, 0).
struct TView {
    TView(int w, int h, int vw, int vh) : image(Blank(w, h)), zoom(std::make_unique<TIdleTimer>()) {
        zoom.SetBitmap(&image);
        zoom.SetViewRect({0, 0, vw, vh});
    }
    TBitmap image;
    TImageZoomScrolling zoom;
};

struct SettingCase {
    int zoom;
    bool breduction;
    int vtaille;
    int w, h, vw, vh;
    double scale;
    int zw, zh;
    ZoomMode mode;
};

void PrintTo(const SettingCase& c, std::ostream* os) {
    *os << "zoom " << c.zoom << " breduction " << c.breduction << " image " << c.w << "x" << c.h;
}

class ApplyZoomSettingTest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(ApplyZoomSettingTest, ModeScaleAndZoomedSize) {
    const SettingCase c = GetParam();
    TView v(c.w, c.h, c.vw, c.vh);
    ApplyZoomSetting(v.zoom, TZoomSettings{c.zoom, c.breduction, c.vtaille});
    EXPECT_DOUBLE_EQ(v.zoom.Scale(), c.scale);
    EXPECT_EQ(v.zoom.ZoomedWidth(), c.zw);
    EXPECT_EQ(v.zoom.ZoomedHeight(), c.zh);
    EXPECT_EQ(v.zoom.ZoomMode(), c.mode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyZoomSettingTest,
    ::testing::Values(
        SettingCase{0, true, 480, 1000, 500, 400, 400, 1.0, 1000, 500, zmActualSize},
        SettingCase{1, true, 480, 1000, 500, 400, 400, 0.4, 400, 200, zmFitScreen},
        SettingCase{1, true, 480, 500, 1000, 400, 400, 0.4, 200, 400, zmFitScreen},
        SettingCase{2, true, 480, 500, 1000, 400, 400, 0.8, 400, 800, zmFitWidth},
        SettingCase{3, true, 480, 500, 1000, 400, 400, 0.4, 200, 400, zmFitHeight},
        // The two scales are the decimal values, not thirds.
        SettingCase{4, true, 480, 300, 300, 400, 400, 0.3333333, 100, 100, zmCustom},
        SettingCase{5, true, 480, 300, 300, 400, 400, 0.5, 150, 150, zmCustom},
        SettingCase{6, true, 480, 300, 300, 400, 400, 0.6666666, 200, 200, zmCustom},
        SettingCase{7, true, 480, 300, 300, 400, 400, 2.0, 600, 600, zmCustom},
        // Thumbnails: the longer side becomes vtaille; small images stay at actual size.
        SettingCase{8, true, 480, 400, 1000, 400, 400, 0.48, 192, 480, zmCustom},
        SettingCase{8, true, 480, 1000, 400, 400, 400, 0.48, 480, 192, zmCustom},
        SettingCase{8, true, 480, 300, 300, 400, 400, 1.0, 300, 300, zmActualSize},
        SettingCase{8, true, 480, 480, 480, 400, 400, 1.0, 480, 480, zmActualSize},
        SettingCase{8, false, 50, 200, 100, 400, 400, 0.25, 50, 25, zmCustom},
        // Reduction only: fit modes never enlarge; other modes may.
        SettingCase{1, true, 480, 200, 100, 800, 600, 1.0, 200, 100, zmActualSize},
        SettingCase{1, false, 480, 200, 100, 800, 600, 4.0, 800, 400, zmFitScreen},
        SettingCase{2, true, 480, 200, 100, 800, 600, 1.0, 200, 100, zmActualSize},
        SettingCase{3, true, 480, 200, 100, 800, 600, 1.0, 200, 100, zmActualSize},
        SettingCase{3, false, 480, 200, 100, 800, 600, 6.0, 1200, 600, zmFitHeight},
        SettingCase{1, true, 480, 800, 600, 800, 600, 1.0, 800, 600, zmFitScreen},
        SettingCase{7, true, 480, 200, 100, 800, 600, 2.0, 400, 200, zmCustom}));

TEST(ApplyZoomSetting, OtherValuesLeaveTheViewAsItIs) {
    for (const int zoom : {-1, 9, 100}) {
        TView v(300, 300, 400, 400);
        v.zoom.SetScale(0.75);
        ApplyZoomSetting(v.zoom, TZoomSettings{zoom, true, 480});
        EXPECT_EQ(v.zoom.Scale(), 0.75);
        EXPECT_EQ(v.zoom.ZoomMode(), zmCustom);
    }
}

TEST(ApplyZoomSetting, ThumbnailOfAnImageZoomedBeforeStartsFromActualSize) {
    TView v(1000, 400, 400, 400);
    v.zoom.SetScale(0.1);
    ApplyZoomSetting(v.zoom, TZoomSettings{8, true, 480});
    EXPECT_EQ(v.zoom.ZoomedWidth(), 480);
    EXPECT_EQ(v.zoom.ZoomedHeight(), 192);
}

struct PlaceCase {
    int w, h;
    int zoom;
    Alignment alignment;
    ScrollDirection direction;
    bool exceeds;
    int left, top;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.w << "x" << c.h << " zoom " << c.zoom;
}

class PlaceAfterZoomSettingTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceAfterZoomSettingTest, AlignmentAndScrollDirection) {
    // View 600 x 400, actual size; a thumbnail keeps the alignment it was opened with.
    const PlaceCase c = GetParam();
    TView v(c.w, c.h, 600, 400);
    v.zoom.SetAlignment(zaBottomRight);
    EXPECT_EQ(PlaceAfterZoomSetting(v.zoom, c.zoom), c.exceeds);
    EXPECT_EQ(v.zoom.Alignment(), c.alignment);
    EXPECT_EQ(v.zoom.Direction(), c.direction);
    EXPECT_EQ(v.zoom.ImageLeft(), c.left);
    EXPECT_EQ(v.zoom.ImageTop(), c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceAfterZoomSettingTest,
    ::testing::Values(PlaceCase{500, 2000, 0, zaTopCenter, sdUp, true, 50, 0},
                      PlaceCase{2000, 1000, 0, zaMiddleLeft, sdLeft, true, 0, -300},
                      PlaceCase{900, 1100, 0, zaTopCenter, sdUp, true, -150, 0},
                      PlaceCase{1100, 900, 0, zaMiddleLeft, sdLeft, true, 0, -250},
                      PlaceCase{700, 300, 0, zaMiddleLeft, sdLeft, true, 0, 50},
                      PlaceCase{300, 200, 0, zaCenter, sdRight, false, 150, 100},
                      PlaceCase{600, 400, 0, zaCenter, sdRight, false, 0, 0},
                      PlaceCase{2000, 1000, 8, zaBottomRight, sdRight, true, -1400, -600},
                      PlaceCase{300, 200, 8, zaBottomRight, sdRight, false, 300, 200}));

struct ManualCase {
    int w, h;
    int startLeft, startTop;
    int zoom;
    Alignment alignment;
    bool exceeds;
    int left, top;
};

void PrintTo(const ManualCase& c, std::ostream* os) {
    *os << c.w << "x" << c.h << " from " << c.startLeft << "," << c.startTop;
}

class PlaceAfterManualZoomTest : public ::testing::TestWithParam<ManualCase> {};

TEST_P(PlaceAfterManualZoomTest, KeepsThePlaceWithoutOpeningGaps) {
    // View 600 x 400 at (0, 0); the image was left at its start corner by a zoom step.
    const ManualCase c = GetParam();
    TView v(c.w, c.h, 600, 400);
    v.zoom.SetImageLeft(c.startLeft);
    v.zoom.SetImageTop(c.startTop);
    EXPECT_EQ(PlaceAfterManualZoom(v.zoom, c.zoom), c.exceeds);
    EXPECT_EQ(v.zoom.Alignment(), c.alignment);
    EXPECT_EQ(v.zoom.ImageLeft(), c.left);
    EXPECT_EQ(v.zoom.ImageTop(), c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceAfterManualZoomTest,
    ::testing::Values(ManualCase{300, 200, -40, -40, 0, zaCenter, false, 150, 100},
                      // Too tall: centred across, kept along, with gaps closed.
                      ManualCase{500, 2000, 7, 10, 0, zaFree, true, 50, 0},
                      ManualCase{500, 2000, 7, -500, 0, zaFree, true, 50, -500},
                      ManualCase{500, 2000, 7, -1700, 0, zaFree, true, 50, -1600},
                      // An odd shortfall halves toward zero: -149 / 2 = -74.
                      ManualCase{451, 2000, 0, -10, 0, zaFree, true, 74, -10},
                      ManualCase{2000, 300, 9, -3, 0, zaFree, true, 0, 50},
                      ManualCase{2000, 300, -1500, -3, 0, zaFree, true, -1400, 50},
                      ManualCase{2000, 1000, 100, -50, 0, zaFree, true, 0, -50},
                      ManualCase{2000, 1000, -1500, -700, 0, zaFree, true, -1400, -600},
                      ManualCase{2000, 1000, -700, 20, 0, zaFree, true, -700, 0},
                      ManualCase{2000, 1000, -1500, -700, 8, zaFree, true, -1500, -700}));

TEST(PlaceAfterManualZoom, ThumbnailKeepsItsAlignment) {
    TView v(300, 200, 600, 400);
    v.zoom.SetAlignment(zaBottomLeft);
    EXPECT_FALSE(PlaceAfterManualZoom(v.zoom, 8));
    EXPECT_EQ(v.zoom.Alignment(), zaBottomLeft);
    EXPECT_EQ(v.zoom.ImageTop(), 200);
}

struct StepCase {
    bool in;
    double from;
    double to;
};

class ZoomStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(ZoomStepTest, StepsByOneAndAQuarter) {
    const StepCase c = GetParam();
    TView v(100, 100, 600, 400);
    v.zoom.SetScale(c.from);
    v.zoom.SetImageLeft(-30);
    v.zoom.SetImageTop(12);
    if (c.in)
        ZoomIn(v.zoom);
    else
        ZoomOut(v.zoom);
    EXPECT_DOUBLE_EQ(v.zoom.Scale(), c.to);
    EXPECT_EQ(v.zoom.ZoomMode(), zmCustom);
    // The top-left corner stays; the manual placement corrects it afterwards.
    EXPECT_EQ(v.zoom.ImageLeft(), -30);
    EXPECT_EQ(v.zoom.ImageTop(), 12);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZoomStepTest,
                         ::testing::Values(StepCase{true, 1.0, 1.25}, StepCase{true, 8.0, 10.0},
                                           StepCase{true, 10.0, 10.0},
                                           StepCase{true, 9.99, 12.4875}, StepCase{false, 1.0, 0.8},
                                           StepCase{false, 10.0, 8.0}, StepCase{false, 0.02, 0.016},
                                           StepCase{false, 0.01, 0.01},   // zoomed to 1 x 1
                                           StepCase{false, 0.014, 0.014}, // 1.4 rounds to 1
                                           StepCase{false, 0.015, 0.012}));

TEST(ZoomSteps, RepeatedZoomInStaysBelowTwelveAndAHalf) {
    TView v(10, 10, 600, 400);
    for (int i = 0; i < 40; ++i)
        ZoomIn(v.zoom);
    EXPECT_GE(v.zoom.Scale(), 10.0);
    EXPECT_LT(v.zoom.Scale(), 12.5);
}

TEST(ZoomSteps, ZoomOutNeedsBothSidesAboveOnePixel) {
    TView v(1000, 1, 600, 400);
    ZoomOut(v.zoom);
    EXPECT_EQ(v.zoom.Scale(), 1.0);
    EXPECT_EQ(v.zoom.ZoomMode(), zmActualSize);
}

struct PercentCase {
    double scale;
    const char* text;
};

class PercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTest, RoundedPercentage) {
    EXPECT_EQ(ZoomPercentText(GetParam().scale), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentTest,
                         ::testing::Values(PercentCase{0.3333333, "33%"},
                                           PercentCase{0.6666666, "67%"}, PercentCase{1.0, "100%"},
                                           PercentCase{0.125, "12%"}, // 12.5 rounds to even
                                           PercentCase{0.375, "38%"}, PercentCase{2.0, "200%"},
                                           PercentCase{12.20703125, "1221%"}));

TEST(ThumbnailAlignment, CentreUnlessRandom) {
    std::mt19937 random(1);
    EXPECT_EQ(ThumbnailAlignment(false, random), zaCenter);
    QSet<int> seen;
    for (int i = 0; i < 500; ++i) {
        const Alignment a = ThumbnailAlignment(true, random);
        ASSERT_LE(int(a), int(zaBottomRight));
        seen.insert(int(a));
    }
    EXPECT_EQ(seen.size(), 9);
}

} // namespace
