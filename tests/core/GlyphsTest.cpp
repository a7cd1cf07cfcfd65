// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Glyphs.h"
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Masks.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kFace = 0xC0C0C0;

struct ToneCase {
    const char* name;
    TColor colour;
    int pct;
    TTriple in, out;
};

void PrintTo(const ToneCase& c, std::ostream* os) {
    *os << c.name;
}

class ToneGlyphCases : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ToneGlyphCases, GreyThenTone) {
    const ToneCase c = GetParam();
    TBitmap img = UniformImage(2, 1, c.in);
    ToneGlyph(img, KeyColor, c.colour, c.pct);
    EXPECT_EQ(PixelAt(img, 0, 0), c.out);
    EXPECT_EQ(PixelAt(img, 1, 0), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToneGlyphCases,
    ::testing::Values(
        ToneCase{"blackHalfwayToFace", kFace, 50, Grey(0), Grey(96)},
        ToneCase{"greyIsTheTruncatedMean", kFace, 50, Rgb(31, 20, 10), Grey(106)},
        ToneCase{"perChannel", RGBColor(200, 100, 0), 50, Grey(100), Rgb(150, 100, 50)},
        ToneCase{"truncatesTowardZero", RGBColor(0, 0, 0), 33, Grey(101), Grey(68)},
        ToneCase{"keyBecomesTheColour", kFace, 50, Rgb(0xCE, 0xED, 0xDC), Grey(0xC0)},
        ToneCase{"nearKeyBecomesTheColour", kFace, 1, Rgb(0xCE - 7, 0xED + 7, 0xDC), Grey(0xC0)},
        ToneCase{"pastKeyToleranceGreys", kFace, 1, Rgb(0xCE - 8, 0xED, 0xDC), Grey(218)},
        ToneCase{"aboveHundredIsHundred", RGBColor(1, 2, 3), 250, Grey(77), Rgb(1, 2, 3)},
        ToneCase{"zeroDoesNothing", kFace, 0, Rgb(1, 2, 3), Rgb(1, 2, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawGlyph, KeyedAlphaAndPlainGlyphs) {
    TBitmap keyed =
        MakeImage(2, 1, [](int x, int) { return x == 0 ? Rgb(0, 255, 0) : Rgb(9, 9, 9); });
    keyed.SetTransparent(true);
    keyed.SetTransparentColor(clLime);
    TBitmap target = UniformImage(3, 1, Grey(200));
    DrawGlyph(keyed, target, 1, 0);
    EXPECT_EQ(PixelAt(target, 1, 0), Grey(200));
    EXPECT_EQ(PixelAt(target, 2, 0), Rgb(9, 9, 9));

    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(255, 255, 255, 0));
    argb.setPixel(1, 0, qRgba(255, 255, 255, 128));
    TBitmap soft = UniformImage(2, 1, Grey(0));
    DrawGlyph(TBitmap(argb), soft, 0, 0);
    EXPECT_EQ(PixelAt(soft, 0, 0), Grey(0));
    EXPECT_EQ(PixelAt(soft, 1, 0), Grey(128));

    TBitmap plain = UniformImage(2, 2, Grey(0));
    DrawGlyph(UniformImage(3, 3, Grey(50)), plain, -2, 1); // clipped on two sides
    EXPECT_EQ(PixelAt(plain, 0, 1), Grey(50));
    EXPECT_EQ(PixelAt(plain, 1, 1), Grey(0));
    EXPECT_EQ(PixelAt(plain, 0, 0), Grey(0));
}

// A 3 x 1 glyph: its transparent colour (lime), black, white.
TBitmap SampleGlyph() {
    TBitmap g = MakeImage(3, 1, [](int x, int) {
        return x == 0 ? Rgb(0, 255, 0) : x == 1 ? Grey(0) : Grey(255);
    });
    g.SetTransparent(true);
    g.SetTransparentColor(clLime);
    return g;
}

TEST(DisabledGlyphs, KeyBackgroundTurnsTransparentAndTheGlyphGrey) {
    const auto list = DisabledGlyphs({SampleGlyph(), UniformImage(1, 2, Grey(0))}, kFace, 50);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 2u);
    const TBitmap& g = (*list)[0];
    EXPECT_EQ(PixelAt(g, 0, 0), Grey(0xC0));
    EXPECT_EQ(PixelAt(g, 1, 0), Grey(96));
    EXPECT_EQ(PixelAt(g, 2, 0), Grey(224)); // 255 + (50 * (192 - 255)) / 100
    EXPECT_TRUE(g.Transparent());
    EXPECT_EQ(g.TransparentColor(), kFace);
    EXPECT_EQ((*list)[1].Width(), 1);
    EXPECT_EQ((*list)[1].Height(), 2);
}

TEST(DisabledGlyphs, SystemTransparentColourIsResolved) {
    const auto list = DisabledGlyphs({SampleGlyph()}, clBtnFace, 50);
    ASSERT_TRUE(list.has_value());
    const TColor face = ResolveColor(clBtnFace);
    EXPECT_EQ((*list)[0].TransparentColor(), face);
    EXPECT_EQ(PixelAt((*list)[0], 0, 0), ColorToTriple(face));
    EXPECT_TRUE(DisabledGlyphs({}, clBtnFace, 50)->empty());
}

TEST(ShadowedGlyphs, SoftSilhouetteOnePixelDownAndRight) {
    // One black pixel in the middle of a transparent 3 x 3 glyph. The blurred 5 x 5 silhouette is
    // 226 around its centre (8 whites and one black over 9); 33 % of (255 - 226) is a weight of
    // 9, so the face 192 becomes 192 - (192 * 9) / 255 = 186.
    TBitmap glyph =
        MakeImage(3, 3, [](int x, int y) { return x == 1 && y == 1 ? Grey(0) : Rgb(0, 255, 0); });
    glyph.SetTransparent(true);
    glyph.SetTransparentColor(clLime);
    const auto list = ShadowedGlyphs({glyph}, kFace, 33);
    ASSERT_TRUE(list.has_value());
    const TBitmap& g = (*list)[0];
    const int want[3][3] = {{192, 192, 192}, {192, 0, 186}, {192, 186, 186}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(g, x, y), Grey(uint8_t(want[y][x]))) << x << "," << y;
    EXPECT_TRUE(g.Transparent());
    EXPECT_EQ(g.TransparentColor(), kFace);
}

} // namespace
