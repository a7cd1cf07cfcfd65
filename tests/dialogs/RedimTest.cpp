#include "dialogs/Redim.h"
#include "DialogTestUtil.h"
#include "ScriptedDialogs.h"
#include "dialogs/Spin2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ToPixelsCase {
    double Value;
    int Unit;
    int ImageSize;
    double PxPerCm;
    int Pixels;
};

class RedimToPixels : public ::testing::TestWithParam<ToPixelsCase> {};

TEST_P(RedimToPixels, RoundsHalvesToEven) {
    const ToPixelsCase& c = GetParam();
    EXPECT_EQ(UnitToPixels(c.Value, c.Unit, c.ImageSize, c.PxPerCm), c.Pixels);
}

INSTANTIATE_TEST_SUITE_P(Cases, RedimToPixels,
                         ::testing::Values(ToPixelsCase{800, suPixels, 800, 40, 800},
                                           ToPixelsCase{2.5, suPixels, 800, 40, 2},
                                           ToPixelsCase{3.5, suPixels, 800, 40, 4},
                                           ToPixelsCase{50, suPercent, 800, 40, 400},
                                           ToPixelsCase{50, suPercent, 5, 40, 2}, // 2.5
                                           ToPixelsCase{30, suPercent, 5, 40, 2}, // 1.5
                                           ToPixelsCase{10000, suPercent, 500, 40, 50000},
                                           ToPixelsCase{20, suCm, 800, 40, 800},
                                           ToPixelsCase{1.5, suCm, 800, 37, 56},    // 55.5
                                           ToPixelsCase{1, suInches, 800, 40, 102}, // 101.6
                                           ToPixelsCase{2.5, suInches, 800, 40, 254}));

struct ToUnitCase {
    int Pixels;
    int Unit;
    int ImageSize;
    double PxPerCm;
    double Value;
};

class RedimToUnit : public ::testing::TestWithParam<ToUnitCase> {};

TEST_P(RedimToUnit, Converts) {
    const ToUnitCase& c = GetParam();
    EXPECT_DOUBLE_EQ(PixelsToUnit(c.Pixels, c.Unit, c.ImageSize, c.PxPerCm), c.Value);
}

INSTANTIATE_TEST_SUITE_P(Cases, RedimToUnit,
                         ::testing::Values(ToUnitCase{800, suPixels, 800, 40, 800},
                                           ToUnitCase{800, suPercent, 800, 40, 100},
                                           ToUnitCase{300, suPercent, 600, 40, 50},
                                           ToUnitCase{800, suCm, 800, 40, 20},
                                           ToUnitCase{254, suInches, 800, 40, 2.5}));

TEST(RedimDensity, FromTheScreenOrNominal) {
    const TScreenDensity d = DensityFrom(QSize(1280, 1024), QSizeF(320, 256));
    EXPECT_DOUBLE_EQ(d.PxPerCmX, 40);
    EXPECT_DOUBLE_EQ(d.PxPerCmY, 40);
    const TScreenDensity unknown = DensityFrom(QSize(1280, 1024), QSizeF(0, 0));
    EXPECT_NEAR(unknown.PxPerCmX, 37.8, 0.01);
    EXPECT_NEAR(unknown.PxPerCmY, 37.8, 0.01);
    const TScreenDensity measured = MeasureScreenDensity(nullptr);
    EXPECT_NEAR(measured.PxPerCmX, 37.8, 0.01);
}

// The image at actual size shows one pixel to a device pixel: on a screen of device pixel
// ratio 2, 10 cm asked for are as many pixels as cover 10 cm of that screen.
TEST(RedimDensity, CentimetresOfTheScreenInDevicePixelsOnTwoScreens) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2) GTEST_SKIP() << "needs the two-screen run";
    for (QScreen* screen : screens) {
        SCOPED_TRACE(screen->name().toStdString());
        QWidget main;
        main.setScreen(screen);
        main.setGeometry(QRect(screen->geometry().topLeft() + QPoint(50, 50), QSize(300, 200)));
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        SetDialogMainWindow(&main);
        TScriptedUserDialogs user;
        TRedimForm form(nullptr, std::nullopt, &user);
        SetDialogMainWindow(nullptr);

        const double ratio = screen->devicePixelRatio();
        const double devicePixelsPerMm =
            screen->geometry().width() * ratio / screen->physicalSize().width();
        EXPECT_NEAR(form.Density().PxPerCmX, devicePixelsPerMm * 10, 1e-6);
        EXPECT_NEAR(form.Density().PxPerCmY,
                    screen->geometry().height() * ratio / screen->physicalSize().height() * 10,
                    1e-6);
        // 10 cm: the pixels shown at actual size span 100 mm of the screen.
        const int pixels = UnitToPixels(10, suCm, 800, form.Density().PxPerCmX);
        EXPECT_NEAR(pixels / devicePixelsPerMm, 100, 0.1);
    }
    EXPECT_DOUBLE_EQ(screens[0]->devicePixelRatio() * screens[1]->devicePixelRatio(), 2);
}

// A dialog on a 40 px/cm screen (1280 pixels over 320 mm) in the C locale.
struct RedimFixture : ::testing::Test {
    TScriptedUserDialogs User;
    TRedimForm Form{nullptr, TScreenDensity{40, 40}, &User};

    RedimFixture() { Form.setLocale(QLocale::c()); }

    void Retype(TFloatSpinEdit* field, const QString& text) {
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            Type(*field, text);
    }
};

TEST_F(RedimFixture, ShowingFillsTheFields) {
    Form.FormShow(800, 600, false);
    EXPECT_EQ(Form.EdiLargeur->text(), "800");
    EXPECT_EQ(Form.EdiHauteur->text(), "600");
    EXPECT_EQ(Form.EdiL->text(), "800");
    EXPECT_EQ(Form.EdiH->text(), "600");
    EXPECT_TRUE(Form.CBProportions->isChecked());
    EXPECT_TRUE(Form.CBOptimiser->isEnabled());
    EXPECT_TRUE(Form.CBOptimiser->isChecked());
    EXPECT_EQ(Form.windowTitle(), "Image size");
    EXPECT_TRUE(Form.BOk->isDefault());
}

TEST_F(RedimFixture, PercentReadsHundredAndFollowsTheLock) {
    Form.CmbL->setCurrentIndex(suPercent);
    Form.CmbH->setCurrentIndex(suPercent);
    Form.FormShow(800, 600, false);
    EXPECT_EQ(Form.EdiL->text(), "100.00");
    EXPECT_EQ(Form.EdiH->text(), "100.00");
    Retype(Form.EdiL, "50");
    EXPECT_EQ(Form.EdiH->text(), "50.00");
    ASSERT_TRUE(Form.BOkClick());
    EXPECT_EQ(Form.Choice(), (TResizeChoice{400, 300, 3}));
}

TEST_F(RedimFixture, HeightEditedRecomputesTheWidthInItsUnit) {
    Form.CmbL->setCurrentIndex(suCm);
    Form.FormShow(800, 600, false);
    EXPECT_EQ(Form.EdiL->text(), "20.00");
    Retype(Form.EdiH, "300");
    EXPECT_EQ(Form.EdiL->text(), "10.00"); // 400 px at 40 px/cm
    Form.CmbL->setCurrentIndex(suPixels);
    EXPECT_EQ(Form.EdiL->text(), "400");
}

TEST_F(RedimFixture, SwitchingAUnitConvertsOnlyThatField) {
    Form.FormShow(800, 600, false);
    Form.CmbL->setCurrentIndex(suCm);
    EXPECT_EQ(Form.EdiL->text(), "20.00");
    EXPECT_EQ(Form.EdiH->text(), "600");
    Form.CmbL->setCurrentIndex(suInches);
    EXPECT_EQ(Form.EdiL->text(), "7.87"); // 800 / 40 / 2.54
    Form.CmbL->setCurrentIndex(suPercent);
    EXPECT_EQ(Form.EdiL->text(), "100.00");
    EXPECT_EQ(Form.EdiH->text(), "600");
    Form.CmbL->setCurrentIndex(suPixels);
    EXPECT_EQ(Form.EdiL->text(), "800");
}

TEST_F(RedimFixture, WithoutTheLockFieldsAreIndependent) {
    Form.FormShow(800, 600, false);
    Form.CBProportions->setChecked(false);
    Retype(Form.EdiL, "100");
    EXPECT_EQ(Form.EdiH->text(), "600");
    Retype(Form.EdiH, "70");
    EXPECT_EQ(Form.EdiL->text(), "100");
    ASSERT_TRUE(Form.BOkClick());
    EXPECT_EQ(Form.Choice(), (TResizeChoice{100, 70, 3}));
}

struct LimitCase {
    int ImgW, ImgH;
    int Unit;
    QString Width;
    int Expected;
};

class RedimLimits : public RedimFixture, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(RedimLimits, ResultStaysWithinTwoAndTenThousand) {
    const LimitCase& c = GetParam();
    Form.CmbL->setCurrentIndex(c.Unit);
    Form.FormShow(c.ImgW, c.ImgH, false);
    Form.CBProportions->setChecked(false);
    Retype(Form.EdiL, c.Width);
    ASSERT_TRUE(Form.BOkClick());
    EXPECT_EQ(Form.Choice().Width, c.Expected);
    EXPECT_EQ(Form.Choice().Height, c.ImgH);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RedimLimits,
    ::testing::Values(LimitCase{800, 600, suPixels, "1", 2}, LimitCase{800, 600, suPixels, "0", 2},
                      LimitCase{800, 600, suPixels, "20000", 10000},
                      LimitCase{500, 400, suPercent, "10000", 10000},
                      LimitCase{500, 400, suPercent, "0.2", 5}, // the field holds 1 % at least
                      LimitCase{500, 400, suCm, "300", 10000},
                      LimitCase{500, 400, suInches, "1", 102}));

TEST_F(RedimFixture, TransparentImageTurnsOptimizeOff) {
    Form.FormShow(64, 64, true);
    EXPECT_FALSE(Form.CBOptimiser->isEnabled());
    EXPECT_FALSE(Form.CBOptimiser->isChecked());
    ASSERT_TRUE(Form.BOkClick());
    EXPECT_EQ(Form.Choice(), (TResizeChoice{64, 64, 0}));
    Form.FormShow(64, 64, false); // the next showing follows the next image
    EXPECT_TRUE(Form.CBOptimiser->isChecked());
}

TEST_F(RedimFixture, EmptyFieldIsReportedAndTheDialogStaysOpen) {
    Form.FormShow(800, 600, false);
    Retype(Form.EdiH, "");
    ASSERT_TRUE(Form.EdiH->text().isEmpty());
    EXPECT_EQ(Form.EdiL->text(), "800"); // an empty field starts no linked update
    QTimer::singleShot(0, &Form, [this] {
        Form.BOk->click();
        EXPECT_TRUE(Form.isVisible());
        Form.done(77);
    });
    EXPECT_EQ(Form.exec(), 77);
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Text, "Complete all the fields before continuing !");
    EXPECT_EQ(User.Messages[0].Kind, mkWarning);
    EXPECT_EQ(User.Messages[0].Buttons, unsigned(mbOk));
}

TEST_F(RedimFixture, PlusAndMinusAreRefused) {
    Form.FormShow(800, 600, false);
    Form.EdiL->setCursorPosition(0);
    Type(*Form.EdiL, "-+");
    EXPECT_EQ(Form.EdiL->text(), "800");
}

TEST_F(RedimFixture, EnterAcceptsEscCancelsAndUnitsAreKept) {
    Form.CmbH->setCurrentIndex(suPercent);
    QTimer::singleShot(0, &Form, [this] {
        Retype(Form.EdiH, "25");
        QTest::keyClick(Form.EdiH, Qt::Key_Return);
        EndIfStillOpen(Form);
    });
    const std::optional<TResizeChoice> ok = Form.Execute(1000, 400, false);
    ASSERT_TRUE(ok.has_value());
    EXPECT_EQ(*ok, (TResizeChoice{250, 100, 3}));

    QTimer::singleShot(0, &Form, [this] {
        EXPECT_EQ(Form.CmbH->currentIndex(), suPercent);
        EXPECT_EQ(Form.EdiH->text(), "100.00");
        QTest::keyClick(Form.EdiH, Qt::Key_Escape);
        EndIfStillOpen(Form);
    });
    EXPECT_FALSE(Form.Execute(1000, 400, false).has_value());
}

} // namespace
