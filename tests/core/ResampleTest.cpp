// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/StretchEx.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Found by argument-dependent lookup, so it lives beside TContributor's namespace.
static void PrintTo(const TContributor& c, std::ostream* os) {
    *os << "(w " << c.Weight << ", px " << c.Pixel << ")";
}

namespace {

// --- Filters -------------------------------------------------------------------------------

struct FilterCase {
    const char* name;
    int filter;
    float x;
    float value;
};

class ResampleFilterValues : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ResampleFilterValues, MatchTheFormula) {
    const FilterCase c = GetParam();
    EXPECT_NEAR(ResampleFilters[size_t(c.filter)].Fn(c.x), c.value, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResampleFilterValues,
    ::testing::Values(
        FilterCase{"boxCentre", rfBox, 0.0f, 1.0f}, FilterCase{"boxRightEdgeIn", rfBox, 0.5f, 1.0f},
        FilterCase{"boxLeftEdgeOut", rfBox, -0.5f, 0.0f},
        FilterCase{"boxOutside", rfBox, 0.51f, 0.0f},
        FilterCase{"triangle", rfTriangle, -0.25f, 0.75f},
        FilterCase{"triangleEdge", rfTriangle, 1.0f, 0.0f},
        FilterCase{"hermiteHalf", rfHermite, 0.5f, 0.5f},
        FilterCase{"hermiteQuarter", rfHermite, -0.25f, 0.84375f},
        FilterCase{"bellInner", rfBell, 0.25f, 0.6875f}, FilterCase{"bellJoin", rfBell, 0.5f, 0.5f},
        FilterCase{"bellOuter", rfBell, -1.0f, 0.125f}, FilterCase{"bellEdge", rfBell, 1.5f, 0.0f},
        FilterCase{"bsplineCentre", rfBSpline, 0.0f, 2.0f / 3.0f},
        FilterCase{"bsplineOne", rfBSpline, 1.0f, 1.0f / 6.0f},
        FilterCase{"bsplineOuter", rfBSpline, -1.5f, 1.0f / 48.0f},
        FilterCase{"bsplineEdge", rfBSpline, 2.0f, 0.0f},
        FilterCase{"lanczosCentre", rfLanczos3, 0.0f, 1.0f},
        FilterCase{"lanczosInteger", rfLanczos3, 1.0f, 0.0f},
        FilterCase{"lanczosHalf", rfLanczos3, -0.5f, 0.6079271f},
        FilterCase{"lanczosLobe", rfLanczos3, 1.5f, -0.1350949f},
        FilterCase{"lanczosEdge", rfLanczos3, 3.0f, 0.0f},
        FilterCase{"mitchellCentre", rfMitchell, 0.0f, 8.0f / 9.0f},
        FilterCase{"mitchellOne", rfMitchell, 1.0f, 1.0f / 18.0f},
        FilterCase{"mitchellOuter", rfMitchell, -1.5f, -0.0347222f},
        FilterCase{"mitchellEdge", rfMitchell, 2.0f, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResampleFilters, Radii) {
    const std::array<float, 7> radii{0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    for (size_t i = 0; i < radii.size(); ++i)
        EXPECT_EQ(ResampleFilters[i].Radius, radii[i]) << ResampleFilters[i].Name;
}

// --- Contributor lists ---------------------------------------------------------------------

struct ContributorCase {
    const char* name;
    int filter;
    int src;
    int dst;
    int index;
    std::vector<TContributor> expected;
};

void PrintTo(const ContributorCase& c, std::ostream* os) {
    *os << c.name;
}

class Contributors : public ::testing::TestWithParam<ContributorCase> {};

TEST_P(Contributors, WeightsAndMirroredIndices) {
    const ContributorCase& c = GetParam();
    const TContributorList list = BuildContributors(c.dst, c.src, c.filter);
    ASSERT_EQ(list.size(), size_t(c.dst));
    EXPECT_EQ(list[size_t(c.index)].p, c.expected);
    EXPECT_EQ(list[size_t(c.index)].n(), int(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Contributors,
    ::testing::Values(
        // Enlarging 11 -> 31 by 3: column 15 sits on source column 5 and is still smoothed.
        ContributorCase{"bspline11to31", rfBSpline, 11, 31, 15, {{43, 4}, {171, 5}, {43, 6}}},
        ContributorCase{"mirrorBelowZero", rfBSpline, 11, 31, 0, {{43, 1}, {171, 0}, {43, 1}}},
        ContributorCase{"mirrorPastEnd", rfBSpline, 11, 31, 30, {{43, 9}, {171, 10}, {43, 10}}},
        ContributorCase{"identity", rfLanczos3, 7, 7, 3, {{256, 3}}},
        ContributorCase{"identityEdge", rfLanczos3, 7, 7, 0, {{256, 0}}},
        // The box takes x = 0.5 but not x = -0.5.
        ContributorCase{"boxHalfOpen", rfBox, 2, 3, 1, {{256, 0}}},
        ContributorCase{"triangleReduce", rfTriangle, 5, 3, 1, {{64, 1}, {128, 2}, {64, 3}}},
        ContributorCase{"triangleReduceEdge", rfTriangle, 5, 3, 0, {{64, 1}, {128, 0}, {64, 1}}},
        // A 2-pixel source: positions -2 and 3 mirror outside and are clamped to the edges.
        ContributorCase{"twoPixelSource",
                        rfLanczos3,
                        2,
                        5,
                        1,
                        {{8, 1}, {-34, 1}, {228, 0}, {69, 1}, {-17, 1}, {2, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Contributors, IndicesStayInsideSmallSources) {
    for (int filter = 0; filter < int(ResampleFilters.size()); ++filter)
        for (int src : {1, 2, 3})
            for (int dst : {1, 2, 5, 17})
                for (const TContributorEntry& e : BuildContributors(dst, src, filter))
                    for (const TContributor& c : e.p) {
                        EXPECT_GE(c.Pixel, 0);
                        EXPECT_LT(c.Pixel, src);
                        EXPECT_NE(c.Weight, 0);
                    }
}

TEST(Contributors, ExtremeReductionLeavesEveryListEmpty) {
    // 5000 -> 9: scale 8/4999 < 1/512, so every weight rounds to 0.
    for (const TContributorEntry& e : BuildContributors(9, 5000, rfLanczos3))
        EXPECT_EQ(e.n(), 0);
    // Just above the threshold the centre weights survive.
    for (const TContributorEntry& e : BuildContributors(3, 1000, rfLanczos3))
        EXPECT_GT(e.n(), 0);
}

TEST(Contributors, LargerRadiusThanTheFilterChangesNothing) {
    for (int filter = 0; filter < int(ResampleFilters.size()); ++filter) {
        for (auto [src, dst] : {std::pair{40, 13}, std::pair{13, 40}}) {
            const TContributorList own = BuildContributors(dst, src, filter);
            const TContributorList wide = BuildContributors(dst, src, filter, 50.0f);
            ASSERT_EQ(own.size(), wide.size());
            for (size_t i = 0; i < own.size(); ++i)
                EXPECT_EQ(own[i].p, wide[i].p) << filter << " " << i;
        }
    }
}

// --- Contribute ----------------------------------------------------------------------------

struct ContributeCase {
    const char* name;
    std::vector<int32_t> weights; // on source indices 0, 1, ...
    std::vector<int32_t> values;
    int expected;
};

void PrintTo(const ContributeCase& c, std::ostream* os) {
    *os << c.name;
}

class ContributeRule : public ::testing::TestWithParam<ContributeCase> {};

TEST_P(ContributeRule, DividesByTheWeightSum) {
    const ContributeCase& c = GetParam();
    TContributorEntry e;
    for (size_t i = 0; i < c.weights.size(); ++i)
        e.p.push_back({c.weights[i], int32_t(i)});
    EXPECT_EQ(Contribute(e, c.values.data()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ContributeRule,
    ::testing::Values(ContributeCase{"single", {256}, {100}, 100},
                      ContributeCase{"sum257", {43, 171, 43}, {0, 255, 0}, 169},
                      ContributeCase{"truncates", {2, 1}, {100, 0}, 66},
                      ContributeCase{"empty", {}, {7}, 0},
                      ContributeCase{"zeroSumDividesBy256", {100, -100}, {200, 10}, 74},
                      ContributeCase{"zeroSumNegative", {100, -100}, {10, 200}, 0},
                      ContributeCase{"negativeSum", {-10}, {100}, 100},
                      ContributeCase{"negativeResult", {256, -50}, {0, 255}, 0},
                      ContributeCase{"above255", {300, -100}, {255, 0}, 255}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Resample ------------------------------------------------------------------------------

uint8_t Channel(const TTriple& t, int c) {
    return c == 0 ? t.b : c == 1 ? t.g : t.r;
}

// The two passes written out plainly from the contributor lists, one channel array at a time.
TBitmap ReferenceResample(const TBitmap& src, int W, int H, int filter) {
    const int sw = src.Width(), sh = src.Height();
    const TContributorList cols = BuildContributors(W, sw, filter);
    const TContributorList rows = BuildContributors(H, sh, filter);
    std::vector<std::array<uint8_t, 3>> work(size_t(W) * size_t(sh));
    for (int k = 0; k < sh; ++k)
        for (int c = 0; c < 3; ++c) {
            std::vector<int32_t> v(static_cast<size_t>(sw));
            for (int x = 0; x < sw; ++x)
                v[size_t(x)] = Channel(PixelAt(src, x, k), c);
            for (int i = 0; i < W; ++i)
                work[size_t(k) * size_t(W) + size_t(i)][size_t(c)] =
                    uint8_t(Contribute(cols[size_t(i)], v.data()));
        }
    std::vector<std::array<uint8_t, 3>> out(size_t(W) * size_t(H));
    for (int k = 0; k < W; ++k)
        for (int c = 0; c < 3; ++c) {
            std::vector<int32_t> v(static_cast<size_t>(sh));
            for (int y = 0; y < sh; ++y)
                v[size_t(y)] = work[size_t(y) * size_t(W) + size_t(k)][size_t(c)];
            for (int i = 0; i < H; ++i)
                out[size_t(i) * size_t(W) + size_t(k)][size_t(c)] =
                    uint8_t(Contribute(rows[size_t(i)], v.data()));
        }
    return MakeImage(W, H, [&](int x, int y) {
        const auto& p = out[size_t(y) * size_t(W) + size_t(x)];
        return TTriple{p[0], p[1], p[2]};
    });
}

struct ResampleCase {
    int sw, sh, W, H, filter;
};

void PrintTo(const ResampleCase& c, std::ostream* os) {
    *os << c.sw << "x" << c.sh << " -> " << c.W << "x" << c.H << " "
        << ResampleFilters[size_t(c.filter)].Name;
}

class ResampleMatchesLists : public ::testing::TestWithParam<ResampleCase> {};

TEST_P(ResampleMatchesLists, PixelForPixel) {
    const ResampleCase c = GetParam();
    TBitmap src = RandomImage(c.sw, c.sh, uint32_t(c.sw * 131 + c.H));
    TBitmap dst;
    Resample(c.W, c.H, c.filter, dst, src);
    ASSERT_EQ(dst.Width(), c.W);
    ASSERT_EQ(dst.Height(), c.H);
    const TBitmap expected = ReferenceResample(src, c.W, c.H, c.filter);
    for (int y = 0; y < c.H; ++y)
        for (int x = 0; x < c.W; ++x)
            ASSERT_EQ(PixelAt(dst, x, y), PixelAt(expected, x, y)) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResampleMatchesLists,
    ::testing::Values(ResampleCase{13, 7, 29, 5, rfLanczos3},
                      ResampleCase{40, 30, 9, 11, rfLanczos3},
                      ResampleCase{120, 9, 7, 40, rfLanczos3}, ResampleCase{8, 8, 8, 8, rfBell},
                      ResampleCase{2, 2, 7, 5, rfLanczos3}, ResampleCase{17, 3, 4, 20, rfMitchell},
                      ResampleCase{5, 9, 5, 9, rfBSpline}, ResampleCase{11, 11, 31, 31, rfBSpline},
                      ResampleCase{9, 6, 4, 13, rfBox}, ResampleCase{9, 6, 4, 13, rfTriangle},
                      ResampleCase{9, 6, 14, 3, rfHermite}, ResampleCase{1, 5, 4, 5, rfLanczos3},
                      ResampleCase{7, 1, 3, 1, rfLanczos3}, ResampleCase{12, 12, 1, 1, rfTriangle},
                      ResampleCase{1, 1, 3, 2, rfBSpline}, ResampleCase{700, 2, 3, 2, rfLanczos3}));

TEST(Resample, IdentityKeepsThePixels) {
    // Filters that are 1 at 0 and 0 at the other integers.
    for (int filter : {rfBox, rfTriangle, rfHermite, rfLanczos3}) {
        TBitmap src = RandomImage(9, 7, 5);
        TBitmap dst;
        Resample(9, 7, filter, dst, src);
        EXPECT_TRUE(dst == src) << ResampleFilters[size_t(filter)].Name;
    }
}

TEST(Resample, BSplineSmoothsEvenOnSourcePixels) {
    // Constant columns, so the vertical pass keeps them.
    std::array<uint8_t, 11> spike{};
    spike[5] = 255;
    std::array<uint8_t, 11> edges{};
    edges[1] = 255;
    edges[10] = 255;
    for (const auto& row : {spike, edges}) {
        TBitmap src = MakeImage(11, 3, [&](int x, int) { return Grey(row[size_t(x)]); });
        TBitmap dst;
        Resample(31, 3, rfBSpline, dst, src);
        for (int y = 0; y < 3; ++y) {
            if (row == spike) {
                EXPECT_EQ(PixelAt(dst, 15, y), Grey(169)); // 171 x 255 / 257
            } else {
                EXPECT_EQ(PixelAt(dst, 0, y), Grey(85));   // column -1 reads column 1
                EXPECT_EQ(PixelAt(dst, 30, y), Grey(212)); // column 11 reads column 10
            }
        }
    }
}

struct UniformCase {
    int sw, sh, W, H, filter;
    TTriple in, out;
};

void PrintTo(const UniformCase& c, std::ostream* os) {
    *os << c.sw << "x" << c.sh << " -> " << c.W << "x" << c.H << " "
        << ResampleFilters[size_t(c.filter)].Name;
}

class ResampleUniform : public ::testing::TestWithParam<UniformCase> {};

TEST_P(ResampleUniform, StaysUniform) {
    const UniformCase c = GetParam();
    TBitmap src = UniformImage(c.sw, c.sh, c.in);
    TBitmap dst;
    Resample(c.W, c.H, c.filter, dst, src);
    ASSERT_EQ(dst.Width(), c.W);
    ASSERT_EQ(dst.Height(), c.H);
    for (int y = 0; y < c.H; ++y)
        for (int x = 0; x < c.W; ++x)
            ASSERT_EQ(PixelAt(dst, x, y), c.out) << x << ", " << y;
}

const TTriple kSome = Rgb(200, 17, 255);

INSTANTIATE_TEST_SUITE_P(
    Table, ResampleUniform,
    ::testing::Values(UniformCase{100, 100, 201, 200, rfBSpline, kSome, kSome},
                      UniformCase{37, 23, 5, 3, rfLanczos3, kSome, kSome},
                      UniformCase{2, 2, 9, 9, rfLanczos3, kSome, kSome},
                      UniformCase{1, 1, 4, 4, rfMitchell, kSome, kSome},
                      UniformCase{20, 20, 1, 1, rfLanczos3, kSome, kSome},
                      UniformCase{3, 1, 7, 1, rfLanczos3, kSome, kSome},
                      UniformCase{1, 6, 1, 2, rfBell, kSome, kSome},
                      UniformCase{1000, 4, 3, 4, rfLanczos3, kSome, kSome},
                      // Below a scale of 1/512 every weight of the axis is 0: black.
                      UniformCase{5000, 2, 9, 2, rfLanczos3, kSome, Grey(0)},
                      UniformCase{2, 5000, 2, 9, rfLanczos3, kSome, Grey(0)}));

TEST(Resample, NothingHappensWithoutSizesOrFilter) {
    TBitmap src = RandomImage(4, 4);
    const TBitmap before = UniformImage(3, 3, Grey(9));
    TBitmap empty;
    for (auto [W, H, filter, source] :
         {std::tuple{0, 5, 5, &src}, std::tuple{5, 0, 5, &src}, std::tuple{5, 5, 7, &src},
          std::tuple{5, 5, -1, &src}, std::tuple{5, 5, 5, &empty}}) {
        TBitmap dst = before;
        Resample(W, H, filter, dst, *source);
        EXPECT_TRUE(dst == before) << W << " " << H << " " << filter;
    }
}

TEST(Resample, SameImageAsSourceAndDestination) {
    TBitmap img = RandomImage(10, 8, 3);
    const TBitmap expected = ReferenceResample(img, 4, 13, rfLanczos3);
    Resample(4, 13, rfLanczos3, img, img);
    EXPECT_TRUE(img == expected);
}

TEST(Resample, ConvertsTheSourceTo24Bits) {
    QImage argb(6, 4, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 40));
    TBitmap src(argb);
    TBitmap dst;
    Resample(3, 9, rfLanczos3, dst, src);
    EXPECT_TRUE(src.Is24Bit());
    EXPECT_TRUE(dst.Is24Bit());
    EXPECT_EQ(PixelAt(dst, 2, 8), Rgb(10, 20, 30));
}

} // namespace
