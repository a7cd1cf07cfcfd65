// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/DialogHost.h"
#include "dialogs/MyBevel.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kMarker = 0xFF010203;

QImage Paint(int w, int h, const TBevelLook& look) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kMarker);
    QPainter p(&img);
    PaintBevel(p, img.rect(), look);
    return img;
}

QRgb Rgb(TColor c) {
    return QColorOf(c).rgb();
}

QRgb Grey(int v) {
    return qRgb(v, v, v);
}

TEST(Bevel, GradientStepTruncatesEachChannel) {
    const TColor from = RGBColor(0, 200, 10), to = RGBColor(100, 0, 0);
    EXPECT_EQ(GradientStep(from, to, 0, 3), from);
    // 0 + 1 * 100 / 3 = 33; 200 + 1 * -200 / 3 = 134; 10 - 10 / 3 = 7.
    EXPECT_EQ(GradientStep(from, to, 1, 3), RGBColor(33, 134, 7));
    EXPECT_EQ(GradientStep(from, to, 2, 3), RGBColor(66, 67, 4));
}

struct GradientCase {
    TBevelStyle Style;
    int W, H;
    bool AlongX;
};

class BevelGradients : public ::testing::TestWithParam<GradientCase> {};

TEST_P(BevelGradients, OneLinePerStepFromDrawColorToColor) {
    const GradientCase& c = GetParam();
    const TBevelLook look{c.Style, RGBColor(100, 200, 40), clBlack, 1};
    const QImage img = Paint(c.W, c.H, look);
    const int n = c.AlongX ? c.W : c.H;
    for (int y = 0; y < c.H; ++y)
        for (int x = 0; x < c.W; ++x) {
            const int d = c.AlongX ? x : y;
            EXPECT_EQ(img.pixel(x, y), qRgb(d * 100 / n, d * 200 / n, d * 40 / n)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Styles, BevelGradients,
                         ::testing::Values(GradientCase{bsGradient, 10, 4, true},
                                           GradientCase{bsGradient, 4, 10, false},
                                           GradientCase{bsGradientH, 3, 7, true},
                                           GradientCase{bsGradientV, 10, 4, false}));

TEST(Bevel, DoubleGradientRisesHoldsAndFalls) {
    const QImage img = Paint(9, 2, {bsDoubleGradient, clBlack, RGBColor(90, 90, 90), 1});
    const int expected[9] = {0, 30, 60, 90, 90, 90, 90, 60, 30};
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(img.pixel(x, 1), Grey(expected[x])) << x;
}

TEST(Bevel, LinesAndBoxes) {
    const TColor red = RGBColor(255, 0, 0);
    QImage line = Paint(8, 3, {bsLine, clWhite, red, 1});
    EXPECT_EQ(line.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(line.pixel(7, 0), qRgb(255, 0, 0));
    EXPECT_EQ(line.pixel(3, 1), kMarker);
    QImage tall = Paint(3, 8, {bsLine, clWhite, red, 1});
    EXPECT_EQ(tall.pixel(0, 7), qRgb(255, 0, 0));
    EXPECT_EQ(tall.pixel(1, 3), kMarker);

    QImage sep = Paint(8, 3, {bsSeparator, clWhite, red, 1});
    EXPECT_EQ(sep.pixel(4, 0), Rgb(clBtnShadow));
    EXPECT_EQ(sep.pixel(4, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(sep.pixel(4, 2), kMarker);
    QImage vsep = Paint(3, 8, {bsSeparator, clWhite, red, 1});
    EXPECT_EQ(vsep.pixel(0, 4), Rgb(clBtnShadow));
    EXPECT_EQ(vsep.pixel(1, 4), Rgb(clBtnHighlight));

    QImage box = Paint(5, 4, {bsBox, clWhite, red, 1});
    for (QPoint p : {QPoint(0, 0), QPoint(4, 0), QPoint(0, 3), QPoint(4, 3), QPoint(2, 0)})
        EXPECT_EQ(box.pixel(p), qRgb(255, 0, 0)) << p.x() << "," << p.y();
    EXPECT_EQ(box.pixel(2, 1), kMarker);

    QImage fill = Paint(3, 3, {bsFill, RGBColor(9, 8, 7), red, 1});
    EXPECT_EQ(fill.pixel(1, 1), qRgb(9, 8, 7));
}

TEST(Bevel, LoweredAndRaisedFramesAreBorderWidthWide) {
    const QRgb dark = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
    for (bool lowered : {true, false}) {
        const QImage img = Paint(8, 8, {lowered ? bsLowered : bsRaised, clWhite, clBlack, 2});
        const QRgb topLeft = lowered ? dark : light, bottomRight = lowered ? light : dark;
        for (int ring = 0; ring < 2; ++ring) {
            EXPECT_EQ(img.pixel(3, ring), topLeft);
            EXPECT_EQ(img.pixel(ring, 3), topLeft);
            EXPECT_EQ(img.pixel(3, 7 - ring), bottomRight);
            EXPECT_EQ(img.pixel(7 - ring, 3), bottomRight);
        }
        EXPECT_EQ(img.pixel(3, 3), kMarker);
        EXPECT_EQ(img.pixel(4, 4), kMarker);
    }
}

TEST(Bevel, ShadowBoxRingsFadeTowardTheColour) {
    // Size 2, strength 80: rings at 80 - 80/3 = 54 % and 28 % of black over white.
    const QImage img = Paint(10, 10, {bsShadowBox, clWhite, clBlack, 2});
    auto shade = [](int pct) { return Grey(255 + pct * (0 - 255) / 100); };
    const struct {
        int X, Y, Pct;
    } cases[] = {
        {7, 8, 54},          {6, 8, 54},          {2, 8, 54 * 2 / 10}, {5, 8, 54 * 8 / 10},
        {8, 7, 54},          {8, 2, 54 * 2 / 10}, {8, 8, 54 * 8 / 10}, {7, 9, 28},
        {2, 9, 28 * 2 / 10}, {8, 9, 28 * 8 / 10}, {9, 9, 28 * 6 / 10}, {9, 8, 28 * 8 / 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(img.pixel(c.X, c.Y), shade(c.Pct)) << c.X << "," << c.Y;
    for (QPoint p : {QPoint(1, 8), QPoint(8, 1), QPoint(5, 5), QPoint(0, 0)})
        EXPECT_EQ(img.pixel(p), kMarker) << p.x() << "," << p.y();
}

} // namespace
