// SPDX-License-Identifier: GPL-2.0-or-later
// Selection shape files: reading both encodings, drawing each kind on a small picture, the
// rendered picture's margin and softened edges, and bad data that yields an empty picture.
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/OxsImage.h"
#include "formats/ShapeManager.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

TBytes Text(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
    std::string s;
    for (const std::string& l : lines)
        s += l + eol;
    return TBytes(s.begin(), s.end());
}

struct TRecord {
    int32_t x, flags, y;
};
// The binary encoding: header lines, count, records with their constants added.
TBytes Binary(const std::vector<TRecord>& records) {
    TBytes b = Text({"Ostrevalden Selection", "Binary"});
    const auto put = [&b](int64_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    };
    put(int64_t(records.size()));
    for (const TRecord& r : records) {
        put(int64_t(r.x) + 33);
        put(int64_t(r.flags) + 77);
        put(int64_t(r.y) + 33);
    }
    return b;
}

// A region of whole rows: runs from x0 to x1 on rows y0..y1, with edge flags as an editor
// would set them.
std::vector<TRecord> RectRegion(int x0, int x1, int y0, int y1) {
    std::vector<TRecord> r;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int f = 0;
            if (x == x0) f |= sfLeftEdge;
            if (x == x1) f |= sfRightEdge;
            if (y == y0) f |= sfTopEdge;
            if (y == y1) f |= sfBottomEdge;
            if (f) r.push_back({x, f, y});
        }
    return r;
}

TBitmap Render(const TBytes& b) {
    TOxsImage image;
    image.LoadFromBytes(b);
    return image.Picture;
}

// The picture as rows of characters: '#' black, '.' white, '+' grey.
std::vector<std::string> Art(const TBitmap& p) {
    std::vector<std::string> rows;
    for (int y = 0; y < p.Height(); ++y) {
        std::string r;
        for (int x = 0; x < p.Width(); ++x) {
            const uint8_t v = PixelAt(p, x, y).b;
            r += v == 0 ? '#' : v == 255 ? '.' : '+';
        }
        rows.push_back(r);
    }
    return rows;
}

bool AllGrey(const TBitmap& p) {
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const TTriple t = PixelAt(p, x, y);
            if (t.b != t.g || t.g != t.r) return false;
        }
    return true;
}

// Smallest rectangle holding every black pixel.
TRect BlackBox(const TBitmap& p) {
    TRect r{p.Width(), p.Height(), -1, -1};
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (PixelAt(p, x, y).b == 0) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

// --- Reading ----------------------------------------------------------------------------------

TEST(OxsRead, PredefinedShapeKindAndSize) {
    for (int n = -10; n <= -1; ++n) {
        TShapeManager s;
        ASSERT_TRUE(s.ReadShape(Text({std::to_string(n), "100", "50"}))) << n;
        EXPECT_EQ(s.Kind(), -n - 1);
        EXPECT_EQ(s.Width(), 100);
        EXPECT_EQ(s.Height(), 50);
        EXPECT_TRUE(s.Points().empty());
    }
}

TEST(OxsRead, PolygonPointsMovedToTheOrigin) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Text({"4", "-5;20", "7;18", " 3 ; 30", "+1;25"}, "\n")));
    EXPECT_EQ(s.Kind(), skPolygon);
    EXPECT_EQ(s.Width(), 13);
    EXPECT_EQ(s.Height(), 13);
    EXPECT_EQ(s.Points(), (std::vector<TShapePoint>{{0, 2}, {12, 0}, {8, 12}, {6, 7}}));
}

TEST(OxsRead, BinaryRecordsSubtractTheirConstants) {
    // 43, 78, 38 is the point (10, 5) with flag 1; a second point at the origin keeps it there.
    TBytes b = Text({"Ostrevalden Selection", "Binary"});
    for (uint32_t v : {2u, 33u, 77u + 4, 33u, 43u, 78u, 38u})
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(b));
    EXPECT_EQ(s.Kind(), skRunRegion);
    EXPECT_EQ(s.Points(), (std::vector<TShapePoint>{{0, 0}, {10, 5}}));
    EXPECT_EQ(s.Flags(), (std::vector<uint8_t>{4, 1}));
    EXPECT_EQ(s.Width(), 11);
    EXPECT_EQ(s.Height(), 6);
}

TEST(OxsRead, OnlyTheLowByteOfBinaryFlagsCounts) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Binary({{0, 0x305, 0}, {1, -1, 0}})));
    EXPECT_EQ(s.Flags(), (std::vector<uint8_t>{5, 0xFF}));
}

// One text of a shape, its lines ended every allowed way, with or without the header.
struct EncodingCase {
    const char* name;
    TBytes bytes;
};
class OxsEncodings : public ::testing::TestWithParam<EncodingCase> {};
TEST_P(OxsEncodings, GiveTheSameShape) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(GetParam().bytes));
    EXPECT_EQ(s.Kind(), skPolygon);
    EXPECT_EQ(s.Points(), (std::vector<TShapePoint>{{0, 0}, {10, 0}, {0, 10}}));
    EXPECT_EQ(s.Width(), 11);
}
INSTANTIATE_TEST_SUITE_P(
    LineEnds, OxsEncodings,
    ::testing::Values(
        EncodingCase{"crlf", Text({"3", "0;0", "10;0", "0;10"}, "\r\n")},
        EncodingCase{"lf", Text({"3", "0;0", "10;0", "0;10"}, "\n")},
        EncodingCase{"cr", Text({"3", "0;0", "10;0", "0;10"}, "\r")},
        EncodingCase{"lfcr", Text({"3", "0;0", "10;0", "0;10"}, "\n\r")},
        EncodingCase{"noFinalEnd", TBytes{'3', '\n', '0', ';', '0', '\n', '1', '0', ';', '0', '\n',
                                          '0', ';', '1', '0'}},
        EncodingCase{"header", Text({"Ostrevalden Selection", "Text", "3", "0;0", "10;0", "0;10"})},
        EncodingCase{"headerAnyName",
                     Text({"Ostrevalden Selection", "binary", "3", "0;0", "10;0", "0;10"})},
        EncodingCase{"headerEmptyName",
                     Text({"Ostrevalden Selection", "", "3", "0;0", "10;0", "0;10"})}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    TBytes bytes;
};
class OxsBadData : public ::testing::TestWithParam<BadCase> {};
TEST_P(OxsBadData, FailsClearsAndReportsOnlyWhenAsked) {
    TScriptedSeam seam;
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Text({"3", "0;0", "10;0", "0;10"})));
    EXPECT_FALSE(s.ReadShape(GetParam().bytes));
    EXPECT_TRUE(s.Points().empty());
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(seam.Messages, QStringList{QStringLiteral("Fichier de données invalide !")});
    EXPECT_EQ(seam.LastKind, mkError);

    seam.Messages.clear();
    s.ShowMessages = false;
    EXPECT_FALSE(s.ReadShape(GetParam().bytes));
    EXPECT_TRUE(seam.Messages.isEmpty());
    // The picture is empty and the dispatcher reports no failure.
    EXPECT_TRUE(Render(GetParam().bytes).Empty());
}
INSTANTIATE_TEST_SUITE_P(
    Cases, OxsBadData,
    ::testing::Values(BadCase{"empty", {}}, BadCase{"headerOnly", Text({"Ostrevalden Selection"})},
                      BadCase{"countNotANumber", Text({"three"})},
                      BadCase{"countBelowMinusTen", Text({"-11", "10", "10"})},
                      BadCase{"countTooLarge", Text({"99999999999"})},
                      BadCase{"noHeight", Text({"-1", "10"})},
                      BadCase{"widthNotANumber", Text({"-1", "1O", "5"})},
                      BadCase{"missingPoint", Text({"3", "0;0", "1;1"})},
                      BadCase{"semicolonFirst", Text({"1", ";5"})},
                      BadCase{"noSemicolon", Text({"1", "5 5"})},
                      BadCase{"pointNotANumber", Text({"2", "0;0", "5;y"})},
                      BadCase{"hugeCountFewLines", Text({"2147483647", "0;0"})},
                      BadCase{"binaryNoCount", Text({"Ostrevalden Selection", "Binary"})},
                      BadCase{"binaryNegativeCount",
                              [] {
                                  TBytes b = Text({"Ostrevalden Selection", "Binary"});
                                  b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0xFF});
                                  return b;
                              }()},
                      BadCase{"binaryTruncated",
                              [] {
                                  TBytes b = Binary({{0, 1, 0}, {5, 4, 0}});
                                  b.pop_back();
                                  return b;
                              }()},
                      BadCase{"binaryHugeCount",
                              [] {
                                  TBytes b = Text({"Ostrevalden Selection", "Binary"});
                                  b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4});
                                  return b;
                              }()},
                      BadCase{"textTooWide", Text({"2", "-2000000000;0", "2000000000;0"})},
                      BadCase{"binaryTooTall", Binary({{0, 1, -2000000000}, {0, 4, 2000000000}})},
                      BadCase{"figureTooWide", Text({"-1", "65536", "5"})}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Drawing each kind ------------------------------------------------------------------------

// A shape drawn on a white picture without softening: exact pixels.
TBitmap Drawn(const TShapeManager& s, int kind, int w, int h, const TRect& rect) {
    TBitmap p;
    NewImage(p, w, h, clWhite);
    TShapeCanvas canvas{p, clBlack, clBlack};
    s.Draw(canvas, rect, kind);
    return p;
}

// Each figure drawn as a 12 x 9 shape in the rectangle (2, 2, 14, 11) of a 16 x 13 picture.
struct KindCase {
    int kind;
    TRect blackBox;                         // smallest rectangle holding the black pixels
    std::vector<std::pair<int, int>> black; // the figure's corners as given for the kind
    std::vector<std::pair<int, int>> white;
};
class OxsKinds : public ::testing::TestWithParam<KindCase> {};
TEST_P(OxsKinds, DrawTheirFigure) {
    const KindCase c = GetParam();
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Text({std::to_string(-c.kind - 1), "12", "9"})));
    const TBitmap p = Drawn(s, s.Kind(), 16, 13, {2, 2, 14, 11});
    std::string art;
    for (const std::string& r : Art(p))
        art += r + "\n";
    SCOPED_TRACE("\n" + art);
    EXPECT_EQ(BlackBox(p), c.blackBox);
    for (auto [x, y] : c.black)
        EXPECT_EQ(PixelAt(p, x, y), Grey(0)) << x << "," << y;
    for (auto [x, y] : c.white)
        EXPECT_EQ(PixelAt(p, x, y), Grey(255)) << x << "," << y;
    // Drawn without antialiasing: black and white only.
    EXPECT_EQ(art.find('+'), std::string::npos);
}
const TRect kBox{2, 2, 14, 11};
INSTANTIATE_TEST_SUITE_P(
    Figures, OxsKinds,
    ::testing::Values(
        KindCase{
            skRectangle, kBox, {{2, 2}, {13, 2}, {2, 10}, {13, 10}}, {{1, 2}, {14, 10}, {2, 11}}},
        KindCase{skEllipse,
                 kBox,
                 {{7, 6}, {2, 6}, {13, 6}, {7, 2}, {7, 10}},
                 {{2, 2}, {13, 2}, {2, 10}, {13, 10}}},
        KindCase{skRoundRect,
                 kBox,
                 {{7, 6}, {2, 6}, {13, 6}, {7, 2}, {7, 10}},
                 {{2, 2}, {13, 2}, {2, 10}, {13, 10}}},
        KindCase{skLine, kBox, {{2, 2}, {7, 6}}, {{13, 2}, {2, 10}, {14, 11}}},
        KindCase{skDiagonalBand, kBox, {{2, 2}, {13, 10}}, {{13, 2}, {2, 10}, {14, 11}}},
        KindCase{skTriangleUp, kBox, {{13, 10}, {7, 2}, {2, 10}}, {{2, 2}, {13, 2}}},
        KindCase{skTriangleRight, {2, 2, 15, 11}, {{14, 6}, {2, 2}, {2, 10}}, {{13, 2}, {13, 10}}},
        KindCase{skTriangleDown, kBox, {{7, 10}, {13, 2}, {2, 2}}, {{2, 10}, {13, 10}}},
        KindCase{skTriangleLeft, kBox, {{13, 10}, {13, 2}, {2, 6}}, {{2, 2}, {2, 10}}},
        KindCase{skDiamond,
                 kBox,
                 {{7, 10}, {13, 6}, {8, 2}, {2, 6}},
                 {{2, 2}, {13, 2}, {2, 10}, {13, 10}}}),
    [](const auto& info) { return "kind" + std::to_string(info.param.kind); });

TEST(OxsDraw, RectangleCoversExactlyItsRectangle) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Text({"-1", "12", "9"})));
    const TBitmap p = Drawn(s, skRectangle, 16, 13, kBox);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x < 14 && y >= 2 && y < 11;
            EXPECT_EQ(PixelAt(p, x, y), Grey(inside ? 0 : 255)) << x << "," << y;
        }
}

TEST(OxsDraw, KindsWithoutAFigureDrawNothing) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Text({"-1", "12", "9"})));
    for (int kind : {-1, 11, 13, 99}) {
        const TBitmap p = Drawn(s, kind, 16, 13, kBox);
        EXPECT_EQ(BlackBox(p), (TRect{16, 13, -1, -1})) << kind;
    }
}

TEST(OxsDraw, PolygonScaledToALargerRectangle) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Text({"3", "0;0", "10;0", "0;10"})));
    // Drawn at its own size: the points as they are.
    TBitmap own = Drawn(s, skPolygon, 13, 13, {1, 1, 12, 12});
    EXPECT_EQ(BlackBox(own), (TRect{1, 1, 12, 12}));
    EXPECT_EQ(PixelAt(own, 11, 1), Grey(0));
    EXPECT_EQ(PixelAt(own, 1, 11), Grey(0));
    EXPECT_EQ(PixelAt(own, 11, 11), Grey(255));
    // Twice as large: (10, 0) lands on (20, 0).
    TBitmap twice = Drawn(s, skPolygon, 22, 22, {0, 0, 21, 21});
    EXPECT_EQ(BlackBox(twice), (TRect{0, 0, 21, 21}));
    EXPECT_EQ(PixelAt(twice, 20, 0), Grey(0));
    EXPECT_EQ(PixelAt(twice, 0, 20), Grey(0));
    EXPECT_EQ(PixelAt(twice, 20, 20), Grey(255));
    EXPECT_EQ(PixelAt(twice, 9, 9), Grey(0));
    EXPECT_EQ(PixelAt(twice, 11, 11), Grey(255));
}

// Run regions drawn at (1, 1) on an 8 x 5 picture: the runs filled in order until one breaks
// the rule, then every point with an edge side traced.
struct RunCase {
    const char* name;
    std::vector<TRecord> records;
    std::vector<std::string> art;
};
class OxsRuns : public ::testing::TestWithParam<RunCase> {};
TEST_P(OxsRuns, FillAndTrace) {
    TShapeManager s;
    ASSERT_TRUE(s.ReadShape(Binary(GetParam().records)));
    // The shape's own origin is its bounding box's corner; every case has a point at (0, 0).
    const TBitmap p = Drawn(s, skRunRegion, 8, 5, {1, 1, 7, 5});
    EXPECT_EQ(Art(p), GetParam().art);
}
constexpr int L_ = sfLeftEdge, R_ = sfRightEdge, T_ = sfTopEdge, B_ = sfBottomEdge;
INSTANTIATE_TEST_SUITE_P(
    Regions, OxsRuns,
    ::testing::Values(RunCase{"rectangle",
                              RectRegion(0, 3, 0, 2),
                              {"........", ".####...", ".####...", ".####...", "........"}},
                      RunCase{
                          "stopsAtAPointThatStartsNoRun",
                          {{0, L_ | T_, 0}, {3, R_ | T_, 0}, {5, T_, 1}, {0, L_, 2}, {3, R_, 2}},
                          {"........", ".####...", "......#.", ".#..#...", "........"}},
                      RunCase{"stopsAtAnEndOnAnotherRow",
                              {{0, L_, 0}, {3, R_, 1}, {0, L_, 2}, {3, R_, 2}},
                              {"........", ".#......", "....#...", ".#..#...", "........"}},
                      RunCase{"stopsWhenTheEndIsMissing",
                              {{0, L_, 0}, {2, 0, 0}, {4, B_, 0}},
                              {"........", ".#...#..", "........", "........", "........"}},
                      RunCase{"onePixelRuns",
                              {{0, L_ | R_, 0}, {2, L_ | R_ | B_, 1}, {5, L_ | R_, 3}},
                              {"........", ".#......", "...#....", "........", "......#."}},
                      RunCase{"endBeforeStartFillsNothing",
                              {{3, L_, 0}, {0, R_, 0}, {1, L_, 1}, {2, R_, 1}},
                              {"........", ".#..#...", "..##....", "........", "........"}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Rendering files --------------------------------------------------------------------------

struct MarginCase {
    int width, height, pictureWidth, pictureHeight;
};
class OxsMargin : public ::testing::TestWithParam<MarginCase> {};
TEST_P(OxsMargin, SurroundsTheShapeWithWhite) {
    const MarginCase c = GetParam();
    const TBitmap p = Render(Text({"-1", std::to_string(c.width), std::to_string(c.height)}));
    ASSERT_EQ(p.Width(), c.pictureWidth);
    ASSERT_EQ(p.Height(), c.pictureHeight);
    ASSERT_TRUE(p.Is24Bit());
    const int m = (c.pictureWidth - c.width) / 2;
    // A rectangle is not softened: black inside, white around.
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const bool inside = x >= m && x < m + c.width && y >= m && y < m + c.height;
            ASSERT_EQ(PixelAt(p, x, y), Grey(inside ? 0 : 255)) << x << "," << y;
        }
}
INSTANTIATE_TEST_SUITE_P(Sizes, OxsMargin,
                         ::testing::Values(MarginCase{100, 50, 116, 66}, MarginCase{11, 11, 11, 11},
                                           MarginCase{12, 5, 14, 7}, MarginCase{23, 2, 25, 4},
                                           MarginCase{24, 1, 28, 5}, MarginCase{1, 36, 7, 42}));

TEST(OxsRender, EllipseOnWhiteWithSoftenedEdges) {
    const TBitmap p = Render(Text({"-2", "100", "50"}));
    ASSERT_EQ(p.Width(), 116);
    ASSERT_EQ(p.Height(), 66);
    EXPECT_EQ(BlackBox(p), (TRect{8, 8, 108, 58}));
    EXPECT_EQ(PixelAt(p, 58, 33), Grey(0));
    for (auto [x, y] : {std::pair{0, 0}, {8, 8}, {107, 8}, {8, 57}, {107, 57}, {115, 65}})
        EXPECT_EQ(PixelAt(p, x, y), Grey(255)) << x << "," << y;
    EXPECT_TRUE(AllGrey(p));
    int greys = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            greys += PixelAt(p, x, y).b % 255 != 0;
    EXPECT_GT(greys, 40);
}

// A single stair step of three pixels becomes the ramp 64, 128, 192, darkest next to the shape.
TEST(OxsRender, StairStepBecomesARamp) {
    std::vector<TRecord> runs = {{3, L_ | T_, 0}, {12, R_ | T_, 0}};
    for (int y = 1; y <= 3; ++y) {
        runs.push_back({0, L_ | (y == 1 ? T_ : 0) | (y == 3 ? B_ : 0), y});
        runs.push_back({12, R_ | (y == 3 ? B_ : 0), y});
    }
    const TBitmap p = Render(Binary(runs)); // 13 x 4, margin 1
    ASSERT_EQ(p.Width(), 15);
    ASSERT_EQ(p.Height(), 6);
    EXPECT_EQ(PixelAt(p, 1, 1), Grey(192));
    EXPECT_EQ(PixelAt(p, 2, 1), Grey(128));
    EXPECT_EQ(PixelAt(p, 3, 1), Grey(64));
    EXPECT_EQ(PixelAt(p, 4, 1), Grey(0));
    EXPECT_EQ(PixelAt(p, 0, 1), Grey(255));
    EXPECT_EQ(PixelAt(p, 1, 2), Grey(0));
}

TEST(OxsRender, TrianglePolygonWithoutMargin) {
    const TBitmap p = Render(Text({"3", "0;0", "10;0", "0;10"}));
    ASSERT_EQ(p.Width(), 11);
    ASSERT_EQ(p.Height(), 11);
    for (auto [x, y] : {std::pair{0, 0}, {10, 0}, {0, 10}, {3, 3}})
        EXPECT_EQ(PixelAt(p, x, y), Grey(0)) << x << "," << y;
    EXPECT_EQ(PixelAt(p, 10, 10), Grey(255));
    EXPECT_EQ(PixelAt(p, 7, 7), Grey(255));
}

// One L-shaped selection as a polygon (with and without header) and as a run region: the same
// picture, softened the same way.
TEST(OxsRender, TextAndBinaryEncodingsGiveTheSamePicture) {
    const std::vector<std::string> points = {"6", "0;0", "29;0", "29;11", "14;11", "14;23", "0;23"};
    std::vector<TRecord> runs;
    for (int y = 0; y <= 23; ++y) {
        const int right = y <= 11 ? 29 : 14;
        runs.push_back({0, L_ | (y == 0 ? T_ : 0) | (y == 23 ? B_ : 0), y});
        runs.push_back({right, R_ | (y == 0 ? T_ : 0) | (y == 11 || y == 23 ? B_ : 0), y});
    }
    std::vector<std::string> withHeader = {"Ostrevalden Selection", "Polygon"};
    withHeader.insert(withHeader.end(), points.begin(), points.end());

    const TBitmap text = Render(Text(points));
    ASSERT_EQ(text.Width(), 30 + 2 * 2);
    ASSERT_EQ(text.Height(), 24 + 2 * 2);
    EXPECT_EQ(MaxDifference(Render(Text(withHeader, "\n")), text), 0);
    EXPECT_EQ(MaxDifference(Render(Binary(runs)), text), 0);
    // The inner corner is a step of 15 pixels: a ramp of 15 greys, darkest next to the shape.
    EXPECT_EQ(PixelAt(text, 2 + 14, 2 + 12), Grey(0));
    EXPECT_EQ(PixelAt(text, 2 + 15, 2 + 12), Grey(16));
    EXPECT_EQ(PixelAt(text, 2 + 16, 2 + 12), Grey(32));
    EXPECT_EQ(PixelAt(text, 2 + 29, 2 + 12), Grey(240));
    EXPECT_EQ(PixelAt(text, 2 + 30, 2 + 12), Grey(255));
}

struct OddCase {
    const char* name;
    TBytes bytes;
};
class OxsOddSizes : public ::testing::TestWithParam<OddCase> {};
TEST_P(OxsOddSizes, GiveAnEmptyPicture) {
    EXPECT_TRUE(Render(GetParam().bytes).Empty());
}
INSTANTIATE_TEST_SUITE_P(
    Cases, OxsOddSizes,
    ::testing::Values(OddCase{"noPoints", Text({"0"})},
                      OddCase{"zeroWidth", Text({"-2", "0", "10"})},
                      OddCase{"negativeWidth", Text({"-2", "-5", "120"})},
                      OddCase{"negativeHeight", Text({"-3", "120", "-1"})},
                      OddCase{"binaryNoPoints", Binary({})},
                      OddCase{"aboveThePixelLimit", Text({"-2", "20000", "20000"})},
                      OddCase{"largestRefused", Text({"-1", "65535", "65535"})}),
    [](const auto& info) { return std::string(info.param.name); });

// The largest picture drawn: 18575 x 1 plus margins of 1547 is 21669 x 3095, just within
// 2^26 pixels; one more pixel of width crosses it.
TEST(OxsRender, PixelLimitIsExact) {
    const TBitmap p = Render(Text({"-1", "18575", "1"}));
    ASSERT_EQ(p.Width(), 21669);
    ASSERT_EQ(p.Height(), 3095);
    EXPECT_EQ(PixelAt(p, 1547, 1547), Grey(0));
    EXPECT_EQ(PixelAt(p, 1546, 1547), Grey(255));
    EXPECT_EQ(PixelAt(p, 1547, 1548), Grey(255));
    EXPECT_TRUE(Render(Text({"-1", "18576", "1"})).Empty());
}

// --- Through the dispatcher -------------------------------------------------------------------

class OxsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QString Write(const TBytes& b) {
        const QString name = dir.filePath(QStringLiteral("a.oxs"));
        WriteBytes(name, b);
        return name;
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(OxsFiles, LoadsTheRenderedShape) {
    QString name = Write(Text({"-2", "100", "50"}));
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(MaxDifference(bmp, Render(Text({"-2", "100", "50"}))), 0);
    EXPECT_EQ(FileWidth(), 116);
    EXPECT_EQ(FileHeight(), 66);
    TBitmap preview;
    ASSERT_EQ(LoadImagePreview(name, preview), 1);
    EXPECT_EQ(preview.Width(), 116);
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(OxsFiles, BadDataLoadsAnEmptyPictureWithoutAMessage) {
    for (const TBytes& b : {Text({"-11"}), TBytes{1, 2, 3, 4, 5, 6, 7, 8}, TBytes{}}) {
        QString name = Write(b);
        TBitmap bmp = UniformImage(2, 2, Grey(3));
        EXPECT_EQ(LoadImageFile(name, bmp), 1);
        EXPECT_TRUE(bmp.Empty());
        EXPECT_TRUE(seam.Messages.isEmpty());
    }
}

} // namespace
