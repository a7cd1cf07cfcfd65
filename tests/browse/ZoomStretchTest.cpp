// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ZoomStretch.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {

// Each block's rounded mean, pixel by pixel: what the summing by rows must give exactly.
QRgb ReferenceAverage(const TBitmap& image, const QRect& block) {
    int64_t r = 0, g = 0, b = 0;
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x) {
            const TTriple p = PixelAt(image, x, y);
            r += p.r, g += p.g, b += p.b;
        }
    const int64_t n = int64_t(block.width()) * block.height();
    return qRgb(int((r * 2 + n) / (2 * n)), int((g * 2 + n) / (2 * n)), int((b * 2 + n) / (2 * n)));
}

struct TBlockCase {
    const char* name;
    QSize image;
    QRect from;
    int k;
};

class AverageBlocksTest : public ::testing::TestWithParam<TBlockCase> {};

TEST_P(AverageBlocksTest, EveryBlockIsTheRoundedMeanOfItsPixels) {
    const TBlockCase& c = GetParam();
    const TBitmap image = RandomImage(c.image.width(), c.image.height(), 7);
    const QImage got = AverageBlocks(image.Image(), c.from, c.k);
    const int w = (c.from.width() + c.k - 1) / c.k;
    const int h = (c.from.height() + c.k - 1) / c.k;
    ASSERT_EQ(got.size(), QSize(w, h));
    for (int oy = 0; oy < h; ++oy)
        for (int ox = 0; ox < w; ++ox) {
            const QRect block =
                QRect(c.from.x() + ox * c.k, c.from.y() + oy * c.k, c.k, c.k).intersected(c.from);
            ASSERT_EQ(got.pixel(ox, oy), ReferenceAverage(image, block)) << ox << "," << oy;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, AverageBlocksTest,
    ::testing::Values(TBlockCase{"PixelFormOnly", {7, 5}, {0, 0, 7, 5}, 1},
                      TBlockCase{"WholeBlocks", {12, 8}, {0, 0, 12, 8}, 4},
                      TBlockCase{"NarrowLastColumnAndRow", {14, 11}, {0, 0, 14, 11}, 4},
                      TBlockCase{"InnerRectangle", {30, 20}, {3, 5, 17, 13}, 3},
                      TBlockCase{"OneBlockOfEverything", {9, 6}, {0, 0, 9, 6}, 9},
                      // Sums of more rows than a 16-bit column holds.
                      TBlockCase{"TallBlocks", {600, 600}, {10, 20, 580, 570}, 290}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
