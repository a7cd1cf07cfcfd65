// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/ColorAdjust.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Straightforward mean with clamped indices, from an untouched copy.
TBitmap ReferenceBlur(const TBitmap& src, int rx, int ry, TRect r) {
    TBitmap out = src;
    const int count = (2 * rx + 1) * (2 * ry + 1);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            int sum[3] = {0, 0, 0};
            for (int k = -ry; k <= ry; ++k)
                for (int j = -rx; j <= rx; ++j) {
                    const TTriple t = PixelAt(src, std::clamp(x + j, r.Left, r.Right - 1),
                                              std::clamp(y + k, r.Top, r.Bottom - 1));
                    sum[0] += t.b;
                    sum[1] += t.g;
                    sum[2] += t.r;
                }
            uint8_t* p = out.ScanLine(y) + 3 * x;
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(sum[c] / count);
        }
    return out;
}

TEST(Blur, SingleWhitePixelSpreadsToItsNeighbourhood) {
    TBitmap img = MakeImage(5, 5, [](int x, int y) { return Grey(x == 2 && y == 2 ? 255 : 0); });
    Blur(img);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool near = std::abs(x - 2) <= 1 && std::abs(y - 2) <= 1;
            EXPECT_EQ(PixelAt(img, x, y), Grey(near ? 28 : 0)) << x << "," << y;
        }
}

TEST(Blur, OneByOneAndUniformImagesStayAsTheyAre) {
    TBitmap one = UniformImage(1, 1, Rgb(10, 200, 30));
    Blur(one);
    EXPECT_EQ(PixelAt(one, 0, 0), Rgb(10, 200, 30));
    TBitmap uniform = UniformImage(7, 4, Rgb(9, 99, 199));
    const TBitmap before = uniform;
    BoxBlur(uniform, 2, 3);
    EXPECT_TRUE(uniform == before);
}

struct BlurCase {
    int w, h, rx, ry;
    TRect rect;
};

class BoxBlurMatchesReference : public ::testing::TestWithParam<BlurCase> {};

TEST_P(BoxBlurMatchesReference, OnRandomPixels) {
    const BlurCase c = GetParam();
    TBitmap img = RandomImage(c.w, c.h, uint32_t(c.w * 31 + c.h));
    const TRect clipped = IntersectWithImage(c.rect, img);
    const TBitmap want = ReferenceBlur(img, std::max(c.rx, 0), std::max(c.ry, 0), clipped);
    BoxBlur(img, c.rx, c.ry, c.rect);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            ASSERT_EQ(PixelAt(img, x, y), PixelAt(want, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BoxBlurMatchesReference,
    ::testing::Values(BlurCase{9, 7, 1, 1, WholeImageRect}, BlurCase{1, 6, 1, 1, WholeImageRect},
                      BlurCase{6, 1, 1, 1, WholeImageRect}, BlurCase{2, 2, 1, 1, WholeImageRect},
                      BlurCase{12, 9, 3, 1, WholeImageRect}, BlurCase{12, 9, 0, 2, WholeImageRect},
                      BlurCase{12, 9, 2, 0, WholeImageRect},
                      BlurCase{12, 9, 5, 6, WholeImageRect}, // radii beyond the image
                      BlurCase{12, 9, -1, 1, WholeImageRect},
                      BlurCase{12, 9, 1, 1, TRect{3, 2, 9, 7}},
                      BlurCase{12, 9, 2, 2, TRect{-4, 5, 40, 50}}));

TEST(BoxBlur, UnsortedRectangleAndZeroRadiiDoNothing) {
    TBitmap img = RandomImage(6, 6, 5);
    const TBitmap before = img;
    BoxBlur(img, 1, 1, TRect{5, 5, 1, 1});
    BoxBlur(img, 0, 0);
    BoxBlur(img, -3, -1);
    EXPECT_TRUE(img == before);
}

} // namespace
