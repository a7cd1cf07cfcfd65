#include "DialogTestUtil.h"
#include "dialogs/ColorEditor.h"
#include "dialogs/ColorPicker.h"
#include "dialogs/PrevNextBtn.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr TColor Hex(uint32_t rgb) {
    return RGBColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

TEST(ColorPalette, HoldsTheFortyColoursInReadingOrder) {
    EXPECT_EQ(kPopupPalette[0], Hex(0x000000));
    EXPECT_EQ(kPopupPalette[7], Hex(0x333333));
    EXPECT_EQ(kPopupPalette[9], Hex(0xFF6600));
    EXPECT_EQ(kPopupPalette[21], Hex(0x3366FF));
    EXPECT_EQ(kPopupPalette[31], Hex(0xC0C0C0));
    EXPECT_EQ(kPopupPalette[39], Hex(0xFFFFFF));
    EXPECT_EQ(PaletteIndexOf(Hex(0x3366FF)), 21);
    EXPECT_EQ(PaletteIndexOf(Hex(0x3366FE)), -1);
    for (int i = 0; i < kPaletteCount; ++i)
        EXPECT_EQ(PaletteIndexOf(kPopupPalette[i]), i); // no colour twice
}

struct WalkCase {
    int From;
    Qt::Key Key;
    int To;
};

class PaletteKeys : public ::testing::TestWithParam<WalkCase> {};

TEST_P(PaletteKeys, WalkWrapsAsDescribed) {
    const WalkCase& c = GetParam();
    EXPECT_EQ(PaletteWalk(c.From, c.Key), c.To);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PaletteKeys,
    ::testing::Values(WalkCase{0, Qt::Key_Right, 1}, WalkCase{7, Qt::Key_Right, 8},
                      WalkCase{39, Qt::Key_Right, 0}, WalkCase{8, Qt::Key_Left, 7},
                      WalkCase{0, Qt::Key_Left, 39}, WalkCase{3, Qt::Key_Down, 11},
                      WalkCase{35, Qt::Key_Down, 0}, WalkCase{32, Qt::Key_Down, 0},
                      WalkCase{12, Qt::Key_Up, 4}, WalkCase{0, Qt::Key_Up, 39},
                      WalkCase{5, Qt::Key_Up, 39}, WalkCase{-1, Qt::Key_Left, 0}));

struct PlaceCase {
    QRect Anchor;
    QPoint Expected;
};

class PopupPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PopupPlace, BelowElseAboveAndInsideTheScreen) {
    const QRect screen(0, 0, 1000, 800);
    EXPECT_EQ(PopupPosition(GetParam().Anchor, QSize(164, 94), screen), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PopupPlace,
                         ::testing::Values(PlaceCase{{100, 100, 80, 20}, {100, 120}},
                                           PlaceCase{{100, 686, 80, 20}, {100, 706}},
                                           PlaceCase{{100, 687, 80, 20}, {100, 593}},
                                           PlaceCase{{900, 100, 80, 20}, {836, 120}},
                                           PlaceCase{{-30, 100, 80, 20}, {0, 120}}));

TEST(ColorPopup, GeometryOfTheCells) {
    TColorPopup popup;
    EXPECT_EQ(popup.size(), QSize(2 * 2 + 2 * 8 + 8 * 18, 2 * 2 + 5 * 18));
    EXPECT_EQ(popup.CellRect(0), QRect(10, 2, 18, 18));
    EXPECT_EQ(popup.CellRect(39), QRect(10 + 7 * 18, 2 + 4 * 18, 18, 18));
    EXPECT_EQ(popup.CellAt(QPoint(10 + 18 + 5, 2 + 18 + 5)), 9);
    EXPECT_EQ(popup.CellAt(QPoint(3, 3)), -1);
}

// A colour edit on a clock the test moves by hand.
struct ColorEditFixture : ::testing::Test {
    qint64 Now = 10'000;
    TColorEdit Edit;
    int Changes = 0;

    ColorEditFixture() {
        Edit.SetClock([this] { return Now; });
        Edit.resize(80, 22);
        Edit.show(); // lays the parts out
        Edit.SetColor(Hex(0x000080));
        Edit.OnChange = [this] { ++Changes; };
    }
};

TEST_F(ColorEditFixture, KeyboardWalkSelectsAndCloses) {
    ASSERT_TRUE(Edit.DropDown());
    TColorPopup& popup = *Edit.Popup();
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.SelectedIndex(), 5);
    EXPECT_EQ(popup.FocusedIndex(), 5);
    QTest::keyClick(&popup, Qt::Key_Up);
    EXPECT_EQ(popup.FocusedIndex(), 39);
    QTest::keyClick(&popup, Qt::Key_Return);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(Edit.Color(), Hex(0xFFFFFF));
    EXPECT_EQ(Changes, 1);
}

TEST_F(ColorEditFixture, EscapeClosesWithoutChange) {
    ASSERT_TRUE(Edit.DropDown());
    QTest::keyClick(Edit.Popup(), Qt::Key_Right);
    QTest::keyClick(Edit.Popup(), Qt::Key_Escape);
    EXPECT_FALSE(Edit.Popup()->isVisible());
    EXPECT_EQ(Edit.Color(), Hex(0x000080));
    EXPECT_EQ(Changes, 0);
}

TEST_F(ColorEditFixture, ColourOutsideThePaletteMarksNoCell) {
    Edit.SetColor(Hex(0x123456));
    ASSERT_TRUE(Edit.DropDown());
    EXPECT_EQ(Edit.Popup()->SelectedIndex(), -1);
    QTest::keyClick(Edit.Popup(), Qt::Key_Space); // nothing focused: closes, no change
    EXPECT_EQ(Edit.Color(), Hex(0x123456));
}

TEST_F(ColorEditFixture, MouseReleaseOverACellChoosesIt) {
    ASSERT_TRUE(Edit.DropDown());
    TColorPopup& popup = *Edit.Popup();
    QTest::mouseRelease(&popup, Qt::LeftButton, {}, popup.CellRect(27).center());
    EXPECT_EQ(Edit.Color(), Hex(0x00FF00));
    EXPECT_FALSE(popup.isVisible());
}

struct GuardCase {
    qint64 After; // ms since the pop-up closed
    int Way;      // 0 Down key, 1 Right key, 2 arrow button, 3 swatch
    bool Opens;
};

class PopupGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(PopupGuard, NoReopeningWithinThreeTenthsOfASecond) {
    const GuardCase& c = GetParam();
    TColorEdit edit;
    qint64 now = 1000;
    edit.SetClock([&now] { return now; });
    edit.resize(80, 22);
    ASSERT_TRUE(edit.DropDown());
    QTest::keyClick(edit.Popup(), Qt::Key_Escape);
    ASSERT_FALSE(edit.Popup()->isVisible());
    now += c.After;
    switch (c.Way) {
    case 0:
        QTest::keyClick(&edit, Qt::Key_Down);
        break;
    case 1:
        QTest::keyClick(&edit, Qt::Key_Right);
        break;
    case 2:
        QTest::mouseClick(edit.Arrow(), Qt::LeftButton);
        break;
    default:
        QTest::mouseRelease(edit.Picker(), Qt::LeftButton, {}, QPoint(5, 5));
    }
    EXPECT_EQ(edit.Popup()->isVisible(), c.Opens);
}

INSTANTIATE_TEST_SUITE_P(Cases, PopupGuard,
                         ::testing::Values(GuardCase{0, 0, false}, GuardCase{299, 0, false},
                                           GuardCase{300, 0, true}, GuardCase{299, 1, false},
                                           GuardCase{300, 1, true}, GuardCase{100, 2, false},
                                           GuardCase{400, 2, true}, GuardCase{299, 3, false},
                                           GuardCase{5000, 3, true}));

TEST_F(ColorEditFixture, SwatchOpensTheDialogWhenOneIsAssigned) {
    int asked = 0;
    TColor offered = 0;
    Edit.SetColorDialog([&](TColor current, QWidget*) -> std::optional<TColor> {
        ++asked;
        offered = current;
        return asked == 1 ? std::optional<TColor>(Hex(0x102030)) : std::nullopt;
    });
    QTest::mouseRelease(Edit.Picker(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(offered, Hex(0x000080));
    EXPECT_EQ(Edit.Color(), Hex(0x102030));
    QTest::mouseRelease(Edit.Picker(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Edit.Color(), Hex(0x102030)); // cancelled
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(Edit.Popup()->isVisible());

    Edit.SetReadOnly(true);
    QTest::mouseRelease(Edit.Picker(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(asked, 2);
}

TEST_F(ColorEditFixture, SwatchOpensThePopupWithoutADialog) {
    QTest::mouseRelease(Edit.Picker(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Edit.Popup()->isVisible());
    Edit.Popup()->hide();
}

TEST_F(ColorEditFixture, SameColourAgainDoesNothing) {
    Edit.SetColor(Hex(0x000080));
    EXPECT_EQ(Changes, 0);
    Edit.SetColor(clBtnFace);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Edit.Color(), clBtnFace);
}

TEST_F(ColorEditFixture, ArrowFollowsEnabledAndReadOnly) {
    EXPECT_TRUE(Edit.Arrow()->isEnabled());
    Edit.SetReadOnly(true);
    EXPECT_FALSE(Edit.Arrow()->isEnabled());
    EXPECT_FALSE(Edit.DropDown());
    Edit.SetReadOnly(false);
    Edit.setEnabled(false);
    EXPECT_FALSE(Edit.Arrow()->isEnabled());
    Edit.setEnabled(true);
    EXPECT_TRUE(Edit.Arrow()->isEnabled());
    const QRect client = Edit.ClientRect();
    EXPECT_EQ(Edit.Arrow()->geometry(),
              QRect(client.right() + 1 - 15, client.top(), 15, client.height()));
    EXPECT_EQ(Edit.Picker()->geometry(),
              QRect(client.left(), client.top(), client.width() - 15, client.height()));
}

TEST_F(ColorEditFixture, SwatchShowsTheColourOrAHatch) {
    Edit.SetColor(Hex(0x00FF00));
    TColorPicker& swatch = *Edit.Picker();
    QImage img = swatch.grab().toImage();
    const QPoint mid(swatch.width() / 2, swatch.height() / 2);
    EXPECT_EQ(img.pixel(mid), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(1, mid.y()), QColorOf(clBtnShadow).rgb());
    Edit.setEnabled(false);
    img = swatch.grab().toImage();
    int green = 0;
    for (int x = 2; x < swatch.width() - 2; ++x)
        green += img.pixel(x, mid.y()) == qRgb(0, 255, 0);
    EXPECT_EQ(green, 0);
}

TEST(PrevNextButton, FiresOnReleaseUnlessDisabled) {
    TPrevNextButton b;
    int clicks = 0;
    b.OnClick = [&clicks] { ++clicks; };
    b.resize(b.sizeHint());
    EXPECT_EQ(b.sizeHint().width(), b.sizeHint().height());
    QTest::mousePress(&b, Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    b.SetClickMode(TArrowClickMode::OnPress);
    QTest::mousePress(&b, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    b.setEnabled(false);
    b.click();
    EXPECT_EQ(clicks, 2);
}

} // namespace

namespace {

// The screen of the two-screen run that is not the primary one; null on a single screen.
QScreen* SecondScreen() {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) return screen;
    return nullptr;
}

// The edit's window is moved from the primary screen to the other one between two openings.
TEST(ColorPopupScreen, OpensOnTheScreenOfTheEditOnTwoScreens) {
    QScreen* second = SecondScreen();
    if (second == nullptr) GTEST_SKIP() << "needs the two-screen run";
    QWidget window;
    auto* edit = new TColorEdit(&window);
    edit->setGeometry(20, 20, 80, 22);
    qint64 now = 10'000;
    edit->SetClock([&now] { return now; });
    for (QScreen* screen :
         {QGuiApplication::primaryScreen(), second, QGuiApplication::primaryScreen()}) {
        SCOPED_TRACE(screen->name().toStdString());
        window.setGeometry(QRect(screen->geometry().topLeft() + QPoint(100, 100), QSize(200, 80)));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_EQ(window.screen(), screen);
        now += 1000;
        ASSERT_TRUE(edit->DropDown());
        TColorPopup& popup = *edit->Popup();
        EXPECT_EQ(popup.screen(), screen);
        EXPECT_TRUE(screen->geometry().contains(popup.geometry())) << popup.x() << "," << popup.y();
        // Right under the edit (give or take the platform's window frame).
        const QPoint under = edit->mapToGlobal(QPoint(0, edit->height()));
        EXPECT_LE((popup.pos() - under).manhattanLength(), 4) << popup.x() << "," << popup.y();
        QTest::keyClick(&popup, Qt::Key_Escape);
        ASSERT_FALSE(popup.isVisible());
    }
}

} // namespace
