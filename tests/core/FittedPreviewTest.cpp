// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/StretchEx.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct PreviewCase {
    const char* name;
    int iw, ih; // image
    int pw, ph; // picture
    int shadow, margin;
    TRect drawn;
    TColor surround = 0x336699;
};

void PrintTo(const PreviewCase& c, std::ostream* os) {
    *os << c.name;
}

const TTriple kImage = Rgb(10, 20, 30);
const TColor kCard = clWhite;

bool Inside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

class FittedPreviewLayout : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(FittedPreviewLayout, CardOutlineAndImage) {
    const PreviewCase& c = GetParam();
    TBitmap image = UniformImage(c.iw, c.ih, kImage);
    TBitmap picture = RandomImage(c.pw, c.ph);
    TRect drawn{1, 1, 1, 1};
    FittedPreview(image, picture, kCard, drawn, c.surround, c.shadow, c.margin);
    EXPECT_EQ(drawn, c.drawn);

    const TRect card{0, 0, c.pw - c.shadow, c.ph - c.shadow};
    for (int y = 0; y < c.ph; ++y)
        for (int x = 0; x < c.pw; ++x) {
            TTriple want;
            if (!Inside(card, x, y)) {
                if (x >= c.shadow && y >= c.shadow) continue; // where the shadow falls
                want = ColorToTriple(c.surround);
            } else if (c.shadow > 0 && (x == card.Right - 1 || y == card.Bottom - 1)) {
                want = ColorToTriple(0x555555);
            } else if (c.shadow > 0 && (x == 0 || y == 0)) {
                want = ColorToTriple(0xCCCCCC);
            } else {
                want = Inside(c.drawn, x, y) ? kImage : ColorToTriple(kCard);
            }
            ASSERT_EQ(PixelAt(picture, x, y), want) << "at " << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FittedPreviewLayout,
    ::testing::Values(
        // Card (0, 0, 196, 146), inside its outline and margin (3, 3, 193, 143).
        PreviewCase{"smallImageKeepsItsSize", 50, 40, 200, 150, 4, 2, {73, 53, 123, 93}},
        PreviewCase{"largeImageFitted", 400, 300, 200, 150, 4, 2, {4, 3, 191, 143}},
        PreviewCase{"sequenceManager", 100, 100, 64, 64, 3, 2, {3, 3, 58, 58}},
        PreviewCase{"noShadowNoMargin", 100, 50, 100, 100, 0, 0, {0, 25, 100, 75}},
        PreviewCase{"tallImage", 10, 300, 100, 100, 0, 5, {48, 5, 51, 95}},
        PreviewCase{"thinResultIsOnePixel", 1, 1000, 20, 20, 0, 0, {9, 0, 10, 20}},
        PreviewCase{"systemColourSurround", 8, 8, 30, 30, 4, 2, {9, 9, 17, 17}, clBtnFace}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FittedPreview, ImageAtItsOwnSizeIsCopiedExactly) {
    TBitmap image = RandomImage(50, 40, 12);
    const TBitmap original = image;
    TBitmap picture = UniformImage(200, 150, Grey(0));
    TRect drawn;
    FittedPreview(image, picture, kCard, drawn, 0x336699, 4, 2);
    ASSERT_EQ(drawn, (TRect{73, 53, 123, 93}));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(PixelAt(picture, 73 + x, 53 + y), PixelAt(original, x, y));
}

TEST(FittedPreview, EmptyImageDrawsOnlyTheCard) {
    TBitmap image;
    TBitmap picture = UniformImage(20, 20, Grey(0));
    TRect drawn;
    FittedPreview(image, picture, kCard, drawn, 0x336699, 0, 0);
    EXPECT_EQ(RectWidth(drawn), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(PixelAt(picture, x, y), Grey(255));
}

TEST(FittedPreview, PictureTooSmallForTheFrame) {
    TBitmap image = RandomImage(30, 30);
    for (auto [w, h] : {std::pair{3, 3}, std::pair{5, 1}, std::pair{1, 9}}) {
        TBitmap picture = UniformImage(w, h, Grey(0));
        TRect drawn;
        FittedPreview(image, picture, kCard, drawn, 0x336699, 4, 2);
        EXPECT_EQ(picture.Width(), w);
        EXPECT_EQ(picture.Height(), h);
    }
}

} // namespace
