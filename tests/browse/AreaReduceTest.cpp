// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/AreaReduce.h"
#include "TestImages.h"
#include "browse/ZoomStretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The length of [a0, a1) inside [b0, b1).
double Overlap(double a0, double a1, double b0, double b1) {
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

// The exact mean of the source area under destination pixel (i, j), one channel.
double ReferenceMean(const TBitmap& image, const QRect& from, QSize to, int i, int j, int c) {
    const double sx = double(from.width()) / to.width(), sy = double(from.height()) / to.height();
    const double x0 = i * sx, x1 = x0 + sx, y0 = j * sy, y1 = y0 + sy;
    double sum = 0;
    const int xEnd = std::min(int(std::ceil(x1)), from.width());
    const int yEnd = std::min(int(std::ceil(y1)), from.height());
    for (int y = int(y0); y < yEnd; ++y)
        for (int x = int(x0); x < xEnd; ++x) {
            const TTriple p = PixelAt(image, from.x() + x, from.y() + y);
            const int v = c == 0 ? p.b : c == 1 ? p.g : p.r;
            sum += v * Overlap(x, x + 1, x0, x1) * Overlap(y, y + 1, y0, y1);
        }
    return sum / (sx * sy);
}

struct TReduceCase {
    const char* name;
    QSize image;
    QRect from;
    QSize to;
};

class AreaReduceTest : public ::testing::TestWithParam<TReduceCase> {};

TEST_P(AreaReduceTest, EachPixelIsWithinOneOfItsAreasMean) {
    const TReduceCase& c = GetParam();
    const TBitmap image = RandomImage(c.image.width(), c.image.height(), 11);
    QImage dst(c.to.width() + 4, c.to.height() + 3, QImage::Format_BGR888);
    dst.fill(Qt::black);
    const QRect to(QPoint(2, 1), c.to);
    ASSERT_TRUE(AreaReduce24(image.Image(), c.from, dst, to));
    for (int j = 0; j < c.to.height(); ++j)
        for (int i = 0; i < c.to.width(); ++i) {
            const uint8_t* d = dst.constScanLine(to.y() + j) + 3 * (to.x() + i);
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_LE(std::abs(d[ch] - ReferenceMean(image, c.from, c.to, i, j, ch)), 1.0)
                    << i << "," << j << " channel " << ch;
        }
    // Nothing is written outside the destination rectangle.
    for (int y = 0; y < dst.height(); ++y)
        for (int x = 0; x < dst.width(); ++x) {
            if (to.contains(x, y)) continue;
            ASSERT_EQ(dst.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Areas, AreaReduceTest,
    ::testing::Values(
        // The stand-in's case: a little over one source pixel per destination pixel.
        TReduceCase{"ByLessThanTwo", {150, 100}, {0, 0, 150, 100}, {107, 71}},
        TReduceCase{"SameSize", {9, 7}, {0, 0, 9, 7}, {9, 7}},
        TReduceCase{"OneDirectionOnly", {40, 30}, {0, 0, 40, 30}, {40, 17}},
        TReduceCase{"InnerRectangle", {60, 50}, {7, 9, 33, 29}, {20, 19}},
        // Many source columns per destination column while the rows reduce by little: the
        // taps of a column outnumber the unrolled forms.
        TReduceCase{"WideAreas", {97, 20}, {0, 0, 97, 20}, {10, 13}},
        // Weights of a few units each: their rounding must not pile up on one pixel.
        TReduceCase{"ThousandsOfTaps", {3001, 3}, {0, 0, 3001, 3}, {2, 2}},
        TReduceCase{"ToOnePixel", {13, 11}, {0, 0, 13, 11}, {1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AreaReduce, AFlatAreaStaysExactlyItsColour) {
    for (const TTriple colour : {Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(1, 128, 254)}) {
        const TBitmap image = UniformImage(151, 103, colour);
        QImage dst(97, 61, QImage::Format_BGR888);
        ASSERT_TRUE(AreaReduce24(image.Image(), image.Image().rect(), dst, dst.rect()));
        for (int y = 0; y < dst.height(); ++y)
            for (int x = 0; x < dst.width(); ++x)
                ASSERT_EQ(dst.pixel(x, y), qRgb(colour.r, colour.g, colour.b)) << x << "," << y;
    }
}

TEST(AreaReduce, RefusesWhatItDoesNotReduce) {
    const TBitmap image = RandomImage(20, 10, 3);
    QImage dst(30, 30, QImage::Format_BGR888);
    QImage wide(30, 30, QImage::Format_RGB32);
    EXPECT_FALSE(AreaReduce24(image.Image(), image.Image().rect(), dst, QRect(0, 0, 21, 5)));
    EXPECT_FALSE(AreaReduce24(image.Image(), image.Image().rect(), dst, QRect(0, 0, 10, 11)));
    EXPECT_FALSE(AreaReduce24(image.Image(), image.Image().rect(), wide, QRect(0, 0, 10, 5)));
    EXPECT_FALSE(AreaReduce24(image.Image(), QRect(5, 0, 20, 10), dst, QRect(0, 0, 10, 5)));
    EXPECT_FALSE(AreaReduce24(image.Image(), image.Image().rect(), dst, QRect(25, 0, 10, 5)));
}

// A smooth reduction by less than two averages areas, not nearest pixels: a one-pixel
// checkerboard reduced by 3/2 turns grey.
TEST(AreaReduce, TheSmoothStretchUsesItBelowAHalving) {
    const TBitmap board =
        MakeImage(60, 40, [](int x, int y) { return Grey((x + y) % 2 ? 255 : 0); });
    QImage viaStretch(40, 27, QImage::Format_BGR888);
    QImage direct(40, 27, QImage::Format_BGR888);
    StretchSmooth24(board.Image(), board.Image().rect(), viaStretch, viaStretch.rect());
    ASSERT_TRUE(AreaReduce24(board.Image(), board.Image().rect(), direct, direct.rect()));
    EXPECT_EQ(viaStretch, direct);
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x)
            ASSERT_NEAR(qGray(direct.pixel(x, y)), 128, 15) << x << "," << y;
}

} // namespace
