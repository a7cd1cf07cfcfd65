// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Color.h"
#include "TestPrinters.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(Color, MixColors) {
    const TColor mixed = MixColors(clWhite, clBlack, 70);
    EXPECT_EQ(RedOf(mixed), 77);
    EXPECT_EQ(GreenOf(mixed), 77);
    EXPECT_EQ(BlueOf(mixed), 77);
    EXPECT_EQ(MixColors(clWhite, clBlack, 0), clWhite);
    EXPECT_EQ(MixColors(clWhite, clBlack, 101), clWhite);
    EXPECT_EQ(MixColors(clBtnFace, clBlack, 0), clBtnFace); // returned unresolved
    EXPECT_EQ(MixColors(clBlack, clWhite, 100), clWhite);
    // Per channel, truncated: 10 + (33 * (0 - 10)) / 100 = 10 - 3.
    EXPECT_EQ(MixColors(RGBColor(10, 200, 0), RGBColor(0, 0, 100), 33), RGBColor(7, 134, 33));
}

TEST(Color, ColorsClose) {
    const TColor a = RGBColor(100, 50, 200);
    const TColor b = RGBColor(107, 43, 207);
    EXPECT_TRUE(ColorsClose(a, b, 7));
    EXPECT_FALSE(ColorsClose(a, b, 6));
}

TEST(Color, TripleAndPixelValue) {
    const TColor c = RGBColor(0x12, 0x34, 0x56); // 0x00563412
    EXPECT_EQ(c, 0x00563412u);
    EXPECT_EQ(ColorToTriple(c), (TTriple{0x56, 0x34, 0x12}));
    EXPECT_EQ(ColorToPixelValue(c), 0x123456u);
}

TEST(Color, SystemColoursFollowThePalette) {
    QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    QApplication::setPalette(p);
    EXPECT_EQ(ResolveColor(clBtnFace), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToTriple(clBtnFace), (TTriple{3, 2, 1}));
    QApplication::setPalette(saved);
    EXPECT_EQ(ResolveColor(0x12FF00FF), 0x00FF00FFu); // other high bytes are dropped
    // Unknown indices fall back to the button face rather than reading past the table.
    EXPECT_EQ(ResolveColor(SystemColor(200)), ResolveColor(clBtnFace));
}

} // namespace
