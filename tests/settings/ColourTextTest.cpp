// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/SettingsColours.h"

#include "SettingsTestUtil.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

struct FromTextCase {
    const char* text;
    std::optional<TColor> expected;
};

class ColourFromTextTable : public testing::TestWithParam<FromTextCase> {};

TEST_P(ColourFromTextTable, Reads) {
    EXPECT_EQ(ColourFromText(GetParam().text, RGBColor(1, 2, 3)), GetParam().expected)
        << GetParam().text;
}

const std::optional<TColor> kUnchanged;

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourFromTextTable,
    testing::Values(
        // Six digits, red first, with or without one prefix; either letter case.
        FromTextCase{"#FF0000", RGBColor(255, 0, 0)}, FromTextCase{"FF0000", RGBColor(255, 0, 0)},
        FromTextCase{"$FF0000", RGBColor(255, 0, 0)}, FromTextCase{"#12aB3c", 0x3CAB12},
        FromTextCase{"0000ff", RGBColor(0, 0, 255)}, FromTextCase{"#FF8000", RGBColor(255, 128, 0)},
        // Names, letter case ignored.
        FromTextCase{"clRed", RGBColor(255, 0, 0)}, FromTextCase{"CLRED", RGBColor(255, 0, 0)},
        FromTextCase{"clMaroon", RGBColor(0x80, 0, 0)},
        FromTextCase{"clNavy", RGBColor(0, 0, 0x80)},
        FromTextCase{"clOlive", RGBColor(0x80, 0x80, 0)},
        FromTextCase{"clMoneyGreen", RGBColor(0xC0, 0xDC, 0xC0)},
        FromTextCase{"clSkyBlue", RGBColor(0xA6, 0xCA, 0xF0)},
        FromTextCase{"clCream", RGBColor(0xFF, 0xFB, 0xF0)},
        FromTextCase{"clMedGray", RGBColor(0xA0, 0xA0, 0xA4)}, FromTextCase{"clWhite", 0xFFFFFF},
        FromTextCase{"clBlack", 0x000000},
        // System colours keep their index until they are used.
        FromTextCase{"clScrollBar", 0xFF000000}, FromTextCase{"clAppWorkSpace", 0xFF00000C},
        FromTextCase{"clbtnface", 0xFF00000F}, FromTextCase{"clInfoBk", 0xFF000018},
        FromTextCase{"clHotLight", 0xFF00001A}, FromTextCase{"clMenuHighlight", 0xFF00001D},
        FromTextCase{"clMenuBar", 0xFF00001E},
        // The key's own default.
        FromTextCase{"clDefault", RGBColor(1, 2, 3)},
        // Anything else changes nothing.
        FromTextCase{"clNone", kUnchanged}, FromTextCase{"", kUnchanged},
        FromTextCase{"#F00", kUnchanged}, FromTextCase{"#FF00000", kUnchanged},
        FromTextCase{"##FF0000", kUnchanged}, FromTextCase{"#$FF0000", kUnchanged},
        FromTextCase{"0xFF0000", kUnchanged}, FromTextCase{"#GG0000", kUnchanged},
        FromTextCase{"#FF 000", kUnchanged}, FromTextCase{"clRedd", kUnchanged},
        FromTextCase{"red", kUnchanged}, FromTextCase{"255", kUnchanged}));

struct ToTextCase {
    TColor colour;
    const char* expected;
};

class ColourToTextTable : public testing::TestWithParam<ToTextCase> {};

TEST_P(ColourToTextTable, Writes) {
    EXPECT_EQ(ColourToText(GetParam().colour), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ColourToTextTable,
                         testing::Values(ToTextCase{RGBColor(255, 128, 0), "#FF8000"},
                                         ToTextCase{clBlack, "#000000"},
                                         ToTextCase{clWhite, "#FFFFFF"},
                                         ToTextCase{RGBColor(0x0A, 0xBC, 0x0D), "#0ABC0D"},
                                         ToTextCase{0x12345678 & 0x00FFFFFF, "#785634"}));

TEST(ColourToText, SystemColourWrittenAsItsCurrentValue) {
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Active, QPalette::Mid, QColor(0x12, 0x34, 0xAB));
    QApplication::setPalette(p);
    const auto workspace = ColourFromText("clAppWorkSpace");
    ASSERT_TRUE(workspace);
    EXPECT_EQ(ColourToText(*workspace), "#1234AB");
    QApplication::setPalette(saved);
}

TEST(ColourText, EveryWrittenColourReadsBack) {
    for (int v = 0; v < 256; v += 5) {
        const TColor c = RGBColor(v, 255 - v, (v * 7) & 255);
        EXPECT_EQ(ColourFromText(ColourToText(c)), c);
    }
}

} // namespace
