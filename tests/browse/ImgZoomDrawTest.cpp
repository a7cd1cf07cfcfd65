// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "browse/ImgZoom.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Pictures written as letters: each capital is a colour of its own, '.' the canvas's colour
// before drawing, '#' the brush.
using Grid = std::vector<std::string>;

const TTriple kBackground = Rgb(10, 20, 30);
const TTriple kBrush = Rgb(0, 0, 255);

TTriple LetterColour(char c) {
    if (c == '.') return kBackground;
    if (c == '#') return kBrush;
    const int k = c - 'A' + 1;
    return Rgb(uint8_t(k * 9), uint8_t(250 - k * 7), uint8_t(k * 5 + 3));
}

char ColourLetter(TTriple t) {
    if (t == kBackground) return '.';
    if (t == kBrush) return '#';
    for (char c = 'A'; c <= 'Z'; ++c)
        if (LetterColour(c) == t) return c;
    return '?';
}

TBitmap FromGrid(const Grid& g) {
    return MakeImage(int(g[0].size()), int(g.size()),
                     [&g](int x, int y) { return LetterColour(g[size_t(y)][size_t(x)]); });
}

Grid ToGrid(const TBitmap& b) {
    Grid g(size_t(b.Height()), std::string(size_t(b.Width()), ' '));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            g[size_t(y)][size_t(x)] = ColourLetter(PixelAt(b, x, y));
    return g;
}

Grid Blank(int w, int h) {
    return Grid(size_t(h), std::string(size_t(w), '.'));
}

std::string Show(const Grid& g) {
    std::string s;
    for (const std::string& row : g)
        s += "\n" + row;
    return s;
}

QBrush BrushOf(TTriple t) {
    return QBrush(QColor(t.r, t.g, t.b));
}

struct DrawCase {
    const char* name;
    Grid image;
    double scale;
    int left, top;
    TRect view;
    bool fill;
    Grid expected; // the whole canvas afterwards; its size is the canvas's
    TRect drawn;
};

void PrintTo(const DrawCase& c, std::ostream* os) {
    *os << c.name;
}

class DrawTest : public ::testing::TestWithParam<DrawCase> {};

TEST_P(DrawTest, PaintsTheVisiblePartAndTheFillBands) {
    const DrawCase& c = GetParam();
    const TBitmap image = FromGrid(c.image);
    TBitmap canvas = FromGrid(Blank(int(c.expected[0].size()), int(c.expected.size())));
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBrush(BrushOf(kBrush));
    zoom.SetBitmap(&image);
    zoom.SetViewRect(c.view);
    zoom.SetScale(c.scale);
    zoom.SetImageLeft(c.left);
    zoom.SetImageTop(c.top);
    EXPECT_EQ(zoom.Draw(c.fill), c.drawn);
    EXPECT_EQ(ToGrid(canvas), c.expected) << Show(ToGrid(canvas));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawTest,
    ::testing::Values(
        DrawCase{"ActualSizeNoFill",
                 {"ABC", "DEF"},
                 1.0,
                 2,
                 2,
                 {1, 1, 7, 5},
                 false,
                 {"........", "........", "..ABC...", "..DEF...", "........", "........"},
                 {2, 2, 5, 4}},
        // Bands above and below span the view; left and right ones lie between them.
        DrawCase{"ActualSizeFill",
                 {"ABC", "DEF"},
                 1.0,
                 2,
                 2,
                 {1, 1, 7, 5},
                 true,
                 {"........", ".######.", ".#ABC##.", ".#DEF##.", ".######.", "........"},
                 {2, 2, 5, 4}},
        DrawCase{"Double",
                 {"AB", "CD"},
                 2.0,
                 1,
                 1,
                 {0, 0, 8, 6},
                 false,
                 {"........", ".AABB...", ".AABB...", ".CCDD...", ".CCDD...", "........"},
                 {1, 1, 5, 5}},
        // 2 x 1 at 1.5 is 3 x 2 (1.5 rounds to 2); each pixel takes the source under its centre.
        DrawCase{"OneAndAHalf",
                 {"AB"},
                 1.5,
                 0,
                 0,
                 {0, 0, 4, 3},
                 false,
                 {"ABB.", "ABB.", "...."},
                 {0, 0, 3, 2}},
        DrawCase{"Half",
                 {"ABCD", "EFGH"},
                 0.5,
                 1,
                 0,
                 {0, 0, 4, 2},
                 false,
                 {".FH.", "...."},
                 {1, 0, 3, 1}},
        DrawCase{
            "ClippedLeft", {"ABCD"}, 1.0, -2, 0, {0, 0, 8, 1}, true, {"CD######"}, {0, 0, 2, 1}},
        // The source is rounded outward: columns 0..2 cover the 5 visible pixels as a whole.
        DrawCase{
            "OutwardRounding", {"ABC"}, 2.0, -1, 0, {0, 0, 6, 1}, false, {"AABCC."}, {0, 0, 5, 1}},
        DrawCase{"ViewInsideImage",
                 {"ABCDEF", "GHIJKL", "MNOPQR", "STUVWX"},
                 1.0,
                 0,
                 0,
                 {2, 1, 5, 3},
                 true,
                 {"......", "..IJK.", "..OPQ.", "......"},
                 {2, 1, 5, 3}},
        DrawCase{"OutsideNoFill", {"AB"}, 1.0, 20, 0, {0, 0, 4, 2}, false, {"....", "...."}, {}},
        DrawCase{"OutsideFill", {"AB"}, 1.0, 20, 0, {1, 0, 4, 2}, true, {".###", ".###"}, {}},
        // A view larger than the canvas is drawn only where the canvas is.
        DrawCase{"ViewBeyondCanvas",
                 {"AB", "CD"},
                 2.0,
                 -1,
                 -1,
                 {-10, -10, 100, 100},
                 true,
                 {"ABB#", "CDD#", "CDD#"},
                 {-1, -1, 3, 3}}),
    [](const ::testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

TEST(ImgZoomDraw, TransparentPixelsLeaveTheTargetOrShowTheBrush) {
    const TTriple key = LetterColour('X');
    TBitmap image = FromGrid({"AXB", "XCX"});
    image.SetTransparent(true);
    image.SetTransparentColor(RGBColor(key.r, key.g, key.b));
    for (const bool optimize : {false, true}) { // smoothing never applies to a masked image
        TBitmap canvas = FromGrid(Blank(5, 3));
        TImageZoom zoom;
        zoom.SetCanvas(&canvas);
        zoom.SetBrush(BrushOf(kBrush));
        zoom.SetBitmap(&image);
        zoom.SetOptimize(optimize);
        zoom.SetImageLeft(1);
        zoom.SetImageTop(0);
        zoom.Draw(false);
        EXPECT_EQ(ToGrid(canvas), (Grid{".A.B.", "..C..", "....."})) << Show(ToGrid(canvas));
        zoom.Draw(true);
        EXPECT_EQ(ToGrid(canvas), (Grid{"#A#B#", "##C##", "#####"})) << Show(ToGrid(canvas));
    }
}

TEST(ImgZoomDraw, SmoothReductionAveragesWhereNearestPicks) {
    // Columns alternate black and white; halving gives grey when smoothed.
    const TBitmap image = MakeImage(8, 8, [](int x, int) { return Grey(x % 2 ? 255 : 0); });
    for (const bool optimize : {false, true}) {
        TBitmap canvas;
        NewImage(canvas, 4, 4, clRed);
        TImageZoom zoom;
        zoom.SetCanvas(&canvas);
        zoom.SetBitmap(&image);
        zoom.SetOptimize(optimize);
        zoom.SetScale(0.5);
        EXPECT_EQ(zoom.Draw(false), (TRect{0, 0, 4, 4}));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const TTriple p = PixelAt(canvas, x, y);
                if (optimize)
                    EXPECT_NEAR(p.g, 128, 2) << x << "," << y;
                else
                    EXPECT_EQ(p, Grey(255)) << x << "," << y; // the centre falls on odd columns
                EXPECT_EQ(p.r, p.b);
            }
    }
}

TEST(ImgZoomDraw, SmoothReductionByAWholeFactorIsTheBlockAverage) {
    // A third of 9 x 6 is 3 x 2: each pixel is the rounded mean of its 3 x 3 block.
    const TBitmap image = RandomImage(9, 6, 11);
    TBitmap canvas;
    NewImage(canvas, 3, 2, clBlack);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetOptimize(true);
    zoom.SetScale(1.0 / 3);
    ASSERT_EQ(zoom.Draw(false), (TRect{0, 0, 3, 2}));
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 3; ++bx) {
            int r = 0, g = 0, b = 0;
            for (int y = 3 * by; y < 3 * by + 3; ++y)
                for (int x = 3 * bx; x < 3 * bx + 3; ++x) {
                    const TTriple p = PixelAt(image, x, y);
                    r += p.r, g += p.g, b += p.b;
                }
            const TTriple got = PixelAt(canvas, bx, by);
            EXPECT_NEAR(got.r, (r + 4) / 9, 1) << bx << "," << by;
            EXPECT_NEAR(got.g, (g + 4) / 9, 1) << bx << "," << by;
            EXPECT_NEAR(got.b, (b + 4) / 9, 1) << bx << "," << by;
        }
}

TEST(ImgZoomDraw, SmoothReductionOfAUniformImageKeepsItsColour) {
    // 37 x 23 to 10 x 6: partial blocks at the edges must not darken or brighten anything.
    const TBitmap image = UniformImage(37, 23, Rgb(200, 31, 7));
    TBitmap canvas;
    NewImage(canvas, 12, 8, clBlack);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetOptimize(true);
    zoom.SetScale(0.27);
    const TRect r = zoom.Draw(false);
    ASSERT_EQ(r, (TRect{0, 0, 10, 6}));
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            ASSERT_EQ(PixelAt(canvas, x, y), Rgb(200, 31, 7));
}

TEST(ImgZoomDraw, SmoothAtOneToOneIsAnExactCopy) {
    const TBitmap image = RandomImage(30, 20, 7);
    TBitmap canvas;
    NewImage(canvas, 20, 10, clBlack);
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetOptimize(true);
    zoom.SetImageLeft(-5);
    zoom.SetImageTop(-3);
    zoom.Draw(false);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(PixelAt(canvas, x, y), PixelAt(image, x + 5, y + 3));
}

TEST(ImgZoomDraw, SmoothEnlargementStaysInsideTheDrawnRectangle) {
    const TBitmap image = RandomImage(5, 4, 3);
    TBitmap canvas = FromGrid(Blank(20, 20));
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetOptimize(true);
    zoom.SetViewRect({2, 2, 18, 18});
    zoom.SetScale(3.0);
    zoom.SetImageLeft(4);
    zoom.SetImageTop(5);
    EXPECT_EQ(zoom.Draw(false), (TRect{4, 5, 18, 17}));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 4 && x < 18 && y >= 5 && y < 17;
            if (!inside) {
                ASSERT_EQ(PixelAt(canvas, x, y), kBackground) << x << "," << y;
            }
        }
}

// Other pixel formats of the source and of the target give the same picture.
struct FormatCase {
    const char* name;
    QImage::Format source;
    QImage::Format target;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class DrawFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DrawFormatTest, SameLettersAsTheWorkingForm) {
    const Grid picture{"AB", "CD"};
    TBitmap image(FromGrid(picture).Image().convertToFormat(GetParam().source));
    TBitmap canvas(FromGrid(Blank(6, 3)).Image().convertToFormat(GetParam().target));
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBrush(BrushOf(kBrush));
    zoom.SetBitmap(&image);
    zoom.SetScale(2.0);
    zoom.SetImageLeft(1);
    zoom.SetImageTop(-1);
    zoom.SetViewRect({0, 0, 6, 3});
    zoom.Draw(true);
    TBitmap back(ConvertTo24Bit(canvas.Image()));
    EXPECT_EQ(ToGrid(back), (Grid{"#AABB#", "#CCDD#", "#CCDD#"})) << Show(ToGrid(back));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawFormatTest,
    ::testing::Values(FormatCase{"Argb", QImage::Format_ARGB32, QImage::Format_BGR888},
                      FormatCase{"Rgb32", QImage::Format_RGB32, QImage::Format_BGR888},
                      FormatCase{"Rgb888", QImage::Format_RGB888, QImage::Format_BGR888},
                      FormatCase{"TargetRgb32", QImage::Format_BGR888, QImage::Format_RGB32},
                      FormatCase{"BothArgb", QImage::Format_ARGB32, QImage::Format_ARGB32}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(ImgZoomDraw, WithoutImageOrCanvasNothingIsDrawn) {
    const TBitmap image = FromGrid({"AB"});
    TBitmap canvas = FromGrid(Blank(3, 1));
    TImageZoom zoom;
    zoom.SetBrush(BrushOf(kBrush));
    zoom.SetBitmap(&image);
    zoom.SetViewRect({0, 0, 3, 1});
    EXPECT_TRUE(RectEmpty(zoom.Draw(true)));
    zoom.SetBitmap(nullptr);
    zoom.SetCanvas(&canvas);
    EXPECT_TRUE(RectEmpty(zoom.Draw(true)));
    EXPECT_EQ(ToGrid(canvas), Grid{"..."});
}

TEST(ImgZoomDraw, EmptyImageOnlyFills) {
    const TBitmap image;
    TBitmap canvas = FromGrid(Blank(3, 1));
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBrush(BrushOf(kBrush));
    zoom.SetBitmap(&image);
    zoom.SetZoomMode(zmFitScreen);
    EXPECT_TRUE(RectEmpty(zoom.Draw(true)));
    EXPECT_EQ(ToGrid(canvas), Grid{"###"});
}

TEST(ImgZoomDraw, ScrollRedrawsAtTheNewPosition) {
    const TBitmap image = FromGrid({"ABCDEF"});
    TBitmap canvas = FromGrid(Blank(4, 1));
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.Draw(false);
    EXPECT_EQ(ToGrid(canvas), Grid{"ABCD"});
    EXPECT_EQ(zoom.ScrollBy(-5, 0, false), (TRect{0, 0, 4, 1}));
    EXPECT_EQ(ToGrid(canvas), Grid{"CDEF"});
}

TEST(ImgZoomDraw, ExtremeScalesDrawWithoutTrouble) {
    const TBitmap image = FromGrid({"AB", "CD"});
    TBitmap canvas = FromGrid(Blank(4, 4));
    TImageZoom zoom;
    zoom.SetCanvas(&canvas);
    zoom.SetBitmap(&image);
    zoom.SetScale(1e12);
    zoom.SetImageLeft(-1000000);
    zoom.SetImageTop(0);
    EXPECT_EQ(zoom.Draw(false), (TRect{0, 0, 4, 4}));
    EXPECT_EQ(ToGrid(canvas), (Grid{"AAAA", "AAAA", "AAAA", "AAAA"}));
    zoom.SetScale(1e-12);
    zoom.SetImageLeft(0);
    EXPECT_TRUE(RectEmpty(zoom.Draw(false)));
}

} // namespace
