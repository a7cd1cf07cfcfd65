// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogTestUtil.h"
#include "dialogs/Spin2.h"

#include <QFocusEvent>
#include <QLocale>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct IntValueCase {
    int Min, Max;
    QString Text;
    int Value;
    QString AfterLeaving;
};

class SpinEdit2Value : public ::testing::TestWithParam<IntValueCase> {};

TEST_P(SpinEdit2Value, ReadsLimitedAndTidiesOnLeaving) {
    const IntValueCase& c = GetParam();
    TSpinEdit2 spin;
    spin.SetMinValue(c.Min);
    spin.SetMaxValue(c.Max);
    spin.setText(c.Text);
    EXPECT_EQ(spin.Value(), c.Value);
    int changes = 0;
    spin.OnChange = [&changes] { ++changes; };
    LoseFocus(spin);
    EXPECT_EQ(spin.text(), c.AfterLeaving);
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpinEdit2Value,
    ::testing::Values(IntValueCase{1, 10, "25", 10, "10"}, IntValueCase{1, 10, "", 1, ""},
                      IntValueCase{1, 10, "abc", 1, "1"}, IntValueCase{1, 10, "-4", 1, "1"},
                      IntValueCase{1, 10, "007", 7, "7"}, IntValueCase{1, 10, "7", 7, "7"},
                      IntValueCase{1, 10, "+3", 3, "3"}, IntValueCase{5, 5, "25", 25, "25"},
                      IntValueCase{0, 0, "-25", -25, "-25"}, IntValueCase{0, 0, "x", 0, "0"}));

struct TypingCase {
    QString Start;
    int Caret;
    QString Typed;
    QString Result;
    int Beeps;
};

class SpinEdit2Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(SpinEdit2Typing, DigitsAndALeadingSignOnly) {
    const TypingCase& c = GetParam();
    BeepCounter beeps;
    TSpinEdit2 spin;
    spin.setText(c.Start);
    spin.setCursorPosition(c.Caret);
    Type(spin, c.Typed);
    EXPECT_EQ(spin.text(), c.Result);
    EXPECT_EQ(beeps.Count, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpinEdit2Typing,
    ::testing::Values(TypingCase{"12", 2, "5", "125", 0}, TypingCase{"12", 2, "a", "12", 1},
                      TypingCase{"12", 0, "-", "-12", 0}, TypingCase{"12", 1, "-", "12", 1},
                      TypingCase{"", 0, "+7", "+7", 0}, TypingCase{"12", 2, ".", "12", 1},
                      TypingCase{"12", 2, " ", "12", 1}));

TEST(SpinEdit2, ArrowsStepWithinTheLimits) {
    BeepCounter beeps;
    TSpinEdit2 spin;
    spin.SetMinValue(1);
    spin.SetMaxValue(10);
    spin.SetIncrement(3);
    spin.SetValue(5);
    int changes = 0;
    spin.OnChange = [&changes] { ++changes; };
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.text(), "8");
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 10);
    spin.DownButton()->click();
    EXPECT_EQ(spin.Value(), 7);
    spin.UpButton()->click();
    EXPECT_EQ(spin.Value(), 10);
    EXPECT_EQ(changes, 4);
    spin.SetValue(-50);
    EXPECT_EQ(spin.text(), "1");
    spin.setReadOnly(true);
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.text(), "1");
    EXPECT_EQ(beeps.Count, 1);
    EXPECT_EQ(spin.UpButton()->width(), TCustomSpinEdit::kUpDownWidth);
}

TEST(SpinEdit2, EditorDisabledRefusesTypingCutAndPaste) {
    BeepCounter beeps;
    TSpinEdit2 spin;
    spin.SetMinValue(0);
    spin.SetMaxValue(100);
    spin.SetValue(42);
    spin.SetEditorEnabled(false);
    Type(spin, "7");
    EXPECT_EQ(beeps.Count, 1);
    spin.selectAll();
    QTest::keyClick(&spin, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&spin, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&spin, Qt::Key_Backspace);
    EXPECT_EQ(spin.text(), "42");
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.text(), "43");
}

struct FloatCase {
    QLocale::Language Language;
    QString Format;
    QString Typed;
    QString Shown;
    double Value;
    QString AfterLeaving;
    int Beeps;
};

class FloatSpinTyping : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatSpinTyping, TypedPointBecomesTheLocaleSeparator) {
    const FloatCase& c = GetParam();
    BeepCounter beeps;
    TFloatSpinEdit spin;
    spin.setLocale(QLocale(c.Language));
    spin.SetMinValue(0);
    spin.SetMaxValue(1000);
    spin.SetFormat(c.Format);
    Type(spin, c.Typed);
    EXPECT_EQ(spin.text(), c.Shown);
    EXPECT_DOUBLE_EQ(spin.Value(), c.Value);
    EXPECT_EQ(beeps.Count, c.Beeps);
    int changes = 0;
    spin.OnChange = [&changes] { ++changes; };
    LoseFocus(spin);
    EXPECT_EQ(spin.text(), c.AfterLeaving);
    EXPECT_EQ(changes, spin.text() == c.Shown ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatSpinTyping,
    ::testing::Values(FloatCase{QLocale::French, "0.00", "12.5", "12,5", 12.5, "12,50", 0},
                      FloatCase{QLocale::French, "0.00", "12,5", "12,5", 12.5, "12,50", 0},
                      FloatCase{QLocale::English, "0.00", "12.5", "12.5", 12.5, "12.50", 0},
                      FloatCase{QLocale::English, "0.00", "12,5", "125", 125, "125.00", 1},
                      FloatCase{QLocale::French, "0.00", "1.2.5", "1,25", 1.25, "1,25", 1},
                      FloatCase{QLocale::French, "0.00", "1-2", "12", 12, "12,00", 1},
                      FloatCase{QLocale::French, "", "-3", "-3", 0, "0,00", 0},
                      FloatCase{QLocale::English, "0", "7.5", "75", 75, "75", 1},
                      FloatCase{QLocale::English, "0.00", "2000", "2000", 1000, "1000.00", 0},
                      FloatCase{QLocale::English, "0.0", "0.24", "0.24", 0.24, "0.2", 0}));

TEST(FloatSpinEdit, SettingValueWritesThroughTheFormat) {
    TFloatSpinEdit spin;
    spin.setLocale(QLocale(QLocale::German));
    spin.SetMinValue(1);
    spin.SetMaxValue(10000);
    int changes = 0;
    spin.OnChange = [&changes] { ++changes; };
    spin.SetValue(1234.5);
    EXPECT_EQ(spin.text(), "1234,50"); // no group separator
    spin.SetFormat("0");
    spin.SetValue(20.4);
    EXPECT_EQ(spin.text(), "20");
    spin.SetValue(0.2);
    EXPECT_EQ(spin.text(), "1");
    EXPECT_EQ(changes, 3);
    spin.SetFormat("");
    EXPECT_EQ(spin.Format(), "0.00");
    spin.SetIncrement(0.5);
    spin.SetValue(2);
    QTest::keyClick(&spin, Qt::Key_Down);
    EXPECT_EQ(spin.text(), "1,50");
    spin.setText("");
    LoseFocus(spin);
    EXPECT_EQ(spin.text(), "");
}

} // namespace
