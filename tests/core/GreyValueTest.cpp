// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/GreyValue.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct GreyCase {
    int r, g, b, grey;
};

class GreyValueCases : public ::testing::TestWithParam<GreyCase> {};

TEST_P(GreyValueCases, MatchesTheExtendedSum) {
    const GreyCase c = GetParam();
    EXPECT_EQ(GreyValue(c.b, c.g, c.r), c.grey);
    EXPECT_EQ(GreyValueExtended(c.b, c.g, c.r), c.grey);
}

INSTANTIATE_TEST_SUITE_P(Colours, GreyValueCases,
                         ::testing::Values(GreyCase{255, 255, 255, 255}, GreyCase{255, 0, 0, 76},
                                           GreyCase{0, 255, 0, 150}, GreyCase{0, 0, 255, 28},
                                           GreyCase{15, 15, 15, 14}, GreyCase{200, 100, 50, 124},
                                           GreyCase{0, 0, 0, 0}));

// The sum as the x87 unit forms it: extended constants, each product and sum rounded to 64
// significant bits.
int X87Grey(int b, int g, int r) {
    volatile long double s = 0.11L * b;
    s = s + 0.59L * g;
    s = s + 0.30L * r;
    return int(static_cast<long double>(s));
}

TEST(GreyValue, EqualsTheExtendedSumForEveryColour) {
    if (std::numeric_limits<long double>::digits != 64)
        GTEST_SKIP() << "no 80-bit long double here to compare with";
    long mismatches = 0;
    long belowRational = 0;
    for (int b = 0; b < 256; ++b)
        for (int g = 0; g < 256; ++g)
            for (int r = 0; r < 256; ++r) {
                const int want = X87Grey(b, g, r);
                if (GreyValue(b, g, r) != want && ++mismatches < 5)
                    ADD_FAILURE() << "b " << b << " g " << g << " r " << r;
                belowRational += want != (11 * b + 59 * g + 30 * r) / 100;
            }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(belowRational, 0); // the rounding cases exist and were exercised
}

} // namespace
