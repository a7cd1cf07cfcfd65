// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ColorAdjust.h"
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/ChannelTables.h"

#include <gtest/gtest.h>

namespace {

struct AdjustCase {
    const char* name;
    int tint;
    int adjust;
    TTriple in;
    TTriple out;
};

void PrintTo(const AdjustCase& c, std::ostream* os) {
    *os << c.name;
}

class DisplayAdjustments : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(DisplayAdjustments, MapThePixel) {
    const AdjustCase c = GetParam();
    TBitmap img = UniformImage(2, 2, c.in);
    ApplyDisplayAdjustments(img, c.tint, c.adjust, false);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(PixelAt(img, x, y), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DisplayAdjustments,
    ::testing::Values(
        AdjustCase{"normal", tintNormal, adjDefault, Rgb(200, 100, 50), Rgb(200, 100, 50)},
        AdjustCase{"colorPlus", tintColorPlus, adjDefault, Rgb(200, 100, 50), Rgb(219, 94, 32)},
        AdjustCase{"colorMinus", tintColorMinus, adjDefault, Rgb(200, 100, 50), Rgb(142, 118, 106)},
        AdjustCase{"grayscale", tintGrayscale, adjDefault, Rgb(200, 100, 50), Grey(124)},
        AdjustCase{"grayscale15", tintGrayscale, adjDefault, Grey(15), Grey(14)},
        AdjustCase{"grayscaleWhite", tintGrayscale, adjDefault, Grey(255), Grey(255)},
        AdjustCase{"sepia128", tintSepia, adjDefault, Grey(128), Rgb(140, 128, 64)},
        AdjustCase{"sepia64", tintSepia, adjDefault, Grey(64), Rgb(76, 64, 16)},
        AdjustCase{"sepiaWhite", tintSepia, adjDefault, Grey(255), Grey(255)},
        AdjustCase{"blue", tintBlue, adjDefault, Grey(100), Rgb(95, 95, 146)},
        AdjustCase{"green", tintGreen, adjDefault, Grey(100), Rgb(95, 131, 95)},
        AdjustCase{"red", tintRed, adjDefault, Grey(100), Rgb(146, 95, 95)},
        AdjustCase{"yellow", tintYellow, adjDefault, Grey(100), Rgb(115, 115, 12)},
        AdjustCase{"brightnessPlus", tintNormal, adjBrightnessPlus, Rgb(100, 0, 255),
                   Rgb(138, 63, 255)},
        AdjustCase{"brightnessMinus", tintNormal, adjBrightnessMinus, Rgb(100, 255, 0),
                   Rgb(75, 192, 0)},
        AdjustCase{"contrastPlus", tintNormal, adjContrastPlus, Rgb(100, 200, 128),
                   Rgb(93, 218, 128)},
        AdjustCase{"contrastPlusEnds", tintNormal, adjContrastPlus, Rgb(0, 255, 0), Rgb(0, 255, 0)},
        AdjustCase{"contrastMinus", tintNormal, adjContrastMinus, Rgb(0, 255, 128),
                   Rgb(32, 224, 128)},
        AdjustCase{"tintThenAdjust", tintGrayscale, adjBrightnessPlus, Grey(100), Grey(138)},
        AdjustCase{"unknownIndices", 9, 5, Rgb(1, 2, 3), Rgb(1, 2, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChannelTables, SepiaGammas) {
    const TChannelTable red = GammaTable(1.15);
    const TChannelTable blue = GammaTable(0.5);
    EXPECT_EQ(GammaTable(1.0), IdentityTable());
    EXPECT_EQ(red[128], 140);
    EXPECT_EQ(red[0], 0);
    EXPECT_EQ(red[255], 255);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(blue[size_t(i)], i * i / 255) << i;
}

TEST(ChannelTables, ShiftAndContrastClamp) {
    const TChannelTable up = ShiftTable(25);
    const TChannelTable down = ShiftTable(-25);
    EXPECT_EQ(up[100], 138);
    EXPECT_EQ(up[0], 63);
    EXPECT_EQ(down[100], 75);
    EXPECT_EQ(down[255], 192);
    EXPECT_EQ(ShiftTable(300)[0], 255);
    EXPECT_EQ(ShiftTable(-300)[200], 0);
    EXPECT_EQ(ContrastTable(25)[255], 255);
    EXPECT_EQ(ContrastTable(25)[0], 0);
}

TEST(ColorAdjust, OnlyTheRectangleChanges) {
    const TBitmap original = RandomImage(6, 5, 3);
    auto check = [&](const char* name, auto op) {
        TBitmap img = original;
        op(img, TRect{4, 3, 1, 1}); // unsorted: (1, 1)-(4, 3)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
                if (!inside) {
                    EXPECT_EQ(PixelAt(img, x, y), PixelAt(original, x, y)) << name;
                }
            }
        EXPECT_FALSE(img == original) << name;
    };
    check("Grayscale", [](TBitmap& i, TRect r) { Grayscale(i, r); });
    check("Saturation", [](TBitmap& i, TRect r) { Saturation(i, 40, r); });
    check("ShiftChannels", [](TBitmap& i, TRect r) { ShiftChannels(i, 10, -20, 30, r); });
    check("Brightness", [](TBitmap& i, TRect r) { Brightness(i, 25, r); });
    check("Contrast", [](TBitmap& i, TRect r) { Contrast(i, -25, r); });
    check("Gamma", [](TBitmap& i, TRect r) { GammaChannels(i, r, 1.15, 1.0, 0.5); });
}

TEST(ColorAdjust, NeutralAmountsAndEmptyInputsChangeNothing) {
    const TBitmap original = RandomImage(4, 4, 9);
    TBitmap img = original;
    Saturation(img, 0);
    ShiftChannels(img, 0, 0, 0);
    Brightness(img, 0);
    Contrast(img, 0);
    GammaChannels(img, WholeImageRect, 1, 1, 1);
    GammaChannels(img, WholeImageRect, 0, 1, 0);
    GammaChannels(img, WholeImageRect, 2, -1, 1); // a negative gamma is refused
    Grayscale(img, TRect{10, 10, 20, 20});        // wholly outside
    EXPECT_TRUE(img == original);

    TBitmap empty;
    ApplyDisplayAdjustments(empty, tintSepia, adjContrastPlus, true);
    EXPECT_TRUE(empty.Empty());
}

TEST(ColorAdjust, ConvertsOtherFormatsFirst) {
    QImage q(2, 1, QImage::Format_Indexed8);
    q.setColorTable({qRgb(15, 15, 15), qRgb(255, 255, 255)});
    q.scanLine(0)[0] = 0;
    q.scanLine(0)[1] = 1;
    TBitmap img(q);
    ApplyDisplayAdjustments(img, tintGrayscale, adjDefault, false);
    EXPECT_TRUE(img.Is24Bit());
    EXPECT_EQ(PixelAt(img, 0, 0), Grey(14));
    EXPECT_EQ(PixelAt(img, 1, 0), Grey(255));
}

} // namespace
