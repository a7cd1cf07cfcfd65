#include "print/Impr.h"

#include "FakeTarget.h"
#include "PrintTestUtil.h"
#include "ScriptedDialogs.h"
#include "dialogs/Spin2.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// 254 dots per inch: a centimetre is exactly 100 dots. A4 in portrait.
constexpr TPageMetrics kA4At254{2100, 2970, 254};
// A4 at 600 dpi, whose unit sizes are not round numbers.
constexpr TPageMetrics kA4At600{4961, 7016, 600};

const char* UnitName(TPageUnit unit) {
    return unit == TPageUnit::Centimetre ? "cm" : "inch";
}

struct ImprFixture : ::testing::Test {
    TLocaleScope Locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    TScriptedUserDialogs User;
    TFakeTarget Target;
    std::unique_ptr<TImprForm> Form;

    void Show(TPageUnit unit, int w, int h, TPageMetrics page = kA4At254,
              const QString& path = QStringLiteral("/photos/holiday/photo.jpg")) {
        Target.Portrait = page;
        if (!Form || Form->Unit() != unit)
            Form = std::make_unique<TImprForm>(Target, unit, nullptr, &User);
        Form->FormShow(SolidImage(w, h, qRgb(255, 0, 0)), path);
    }
    QStringList Fields() const {
        return {Form->SEL->text(), Form->SEH->text(), Form->SEX->text(), Form->SEY->text()};
    }
};

// Showing -------------------------------------------------------------------------------------

struct ShowCase {
    TPageUnit Unit;
    int ImgW, ImgH;
    bool Landscape;
    double Fit;
    int ScrollMax;
    double Scale;
    QString Label;
    QStringList Fields; // width, height, left, top
};

class ImprShow : public ImprFixture, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ImprShow, OrientsThePageAndStartsFromTheResetLayout) {
    const ShowCase& c = GetParam();
    Show(c.Unit, c.ImgW, c.ImgH);
    EXPECT_EQ(Target.IsLandscape, c.Landscape);
    EXPECT_EQ(Form->Page().Landscape(), c.Landscape);
    EXPECT_NEAR(Form->Fit(), c.Fit, 1e-9);
    EXPECT_EQ(Form->ScrollBarZoom->minimum(), 1);
    EXPECT_EQ(Form->ScrollBarZoom->maximum(), c.ScrollMax);
    EXPECT_EQ(Form->ScrollBarZoom->pageStep(), 4);
    EXPECT_NEAR(Form->Scale(), c.Scale, 1e-9);
    EXPECT_EQ(Form->LabelZoom->text(), c.Label);
    EXPECT_EQ(Fields(), c.Fields);
    EXPECT_EQ(Form->LblProp->text(), QStringLiteral("%1 x %2 pixels").arg(c.ImgW).arg(c.ImgH));
    EXPECT_TRUE(Form->CBCentrer->isChecked());
    EXPECT_FALSE(Form->CBAjuster->isChecked());
    EXPECT_TRUE(Form->GBTaille->isEnabled());
    EXPECT_FALSE(Form->GBMarges->isEnabled());
    EXPECT_EQ(Form->focusWidget(), Form->BImprimer);
    EXPECT_FALSE(Form->SizeEdited());
    EXPECT_FALSE(Form->PositionEdited());
}

const QString kScale80 = QStringLiteral("Scale : 80%");

INSTANTIATE_TEST_SUITE_P(Images, ImprShow,
                         ::testing::Values(
                             // 3000 x 2000 on the landscape page 2970 x 2100: fit 0.99, 2376 x 1584
                             // dots at (297, 258).
                             ShowCase{TPageUnit::Centimetre,
                                      3000,
                                      2000,
                                      true,
                                      0.99,
                                      10,
                                      0.792,
                                      kScale80,
                                      {"23.76", "15.84", "2.97", "2.58"}},
                             ShowCase{TPageUnit::Inch,
                                      3000,
                                      2000,
                                      true,
                                      0.99,
                                      10,
                                      0.792,
                                      kScale80,
                                      {"9.35", "6.24", "1.17", "1.02"}},
                             ShowCase{TPageUnit::Centimetre,
                                      2000,
                                      3000,
                                      false,
                                      0.99,
                                      10,
                                      0.792,
                                      kScale80,
                                      {"15.84", "23.76", "2.58", "2.97"}},
                             // Square images are printed on landscape paper: fit 2100 / 500.
                             ShowCase{TPageUnit::Centimetre,
                                      500,
                                      500,
                                      true,
                                      4.2,
                                      42,
                                      3.36,
                                      QStringLiteral("Scale : 340%"),
                                      {"16.80", "16.80", "6.45", "2.10"}},
                             // A tiny image starts at 5.0: 50 x 50 dots at (1460, 1025).
                             ShowCase{TPageUnit::Centimetre,
                                      10,
                                      10,
                                      true,
                                      210,
                                      2100,
                                      5.0,
                                      QStringLiteral("Scale : 500%"),
                                      {"0.50", "0.50", "14.60", "10.25"}},
                             ShowCase{TPageUnit::Inch,
                                      10,
                                      10,
                                      true,
                                      210,
                                      2100,
                                      5.0,
                                      QStringLiteral("Scale : 500%"),
                                      {"0.20", "0.20", "5.75", "4.04"}}),
                         [](const ::testing::TestParamInfo<ShowCase>& info) {
                             return QStringLiteral("%1x%2_%3")
                                 .arg(info.param.ImgW)
                                 .arg(info.param.ImgH)
                                 .arg(UnitName(info.param.Unit))
                                 .toStdString();
                         });

TEST_F(ImprFixture, GroupCaptionsCarryTheUnit) {
    Show(TPageUnit::Centimetre, 300, 200);
    EXPECT_EQ(Form->GBTaille->title(), " Image size (cm) ");
    EXPECT_EQ(Form->GBMarges->title(), " Position (cm) ");
    Show(TPageUnit::Inch, 300, 200);
    EXPECT_EQ(Form->GBTaille->title(), " Image size (inch) ");
    EXPECT_EQ(Form->GBMarges->title(), " Position (inch) ");
    EXPECT_EQ(Form->windowTitle(), "Print");
}

TEST_F(ImprFixture, EachShowingClearsTheOutlineOptionAndKeepsMarksAndCopies) {
    Show(TPageUnit::Centimetre, 300, 200);
    Form->CBContours->setChecked(true);
    Form->CBTraits->setChecked(true);
    Form->SECopies->SetValue(7);
    Form->CBAjuster->click();
    Show(TPageUnit::Centimetre, 300, 200);
    EXPECT_FALSE(Form->CBContours->isChecked());
    EXPECT_TRUE(Form->CBTraits->isChecked());
    EXPECT_EQ(Form->SECopies->Value(), 7);
    EXPECT_FALSE(Form->CBAjuster->isChecked());
}

// Scale, linked fields, confirmation ------------------------------------------------------------

TEST_F(ImprFixture, ScrollBarSetsTheScaleInTensOfPercent) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->ScrollBarZoom->setValue(5);
    EXPECT_DOUBLE_EQ(Form->Scale(), 0.5);
    EXPECT_EQ(Form->LabelZoom->text(), "Scale : 50%");
    // 1500 x 1000 dots centred on 2970 x 2100.
    EXPECT_EQ(Fields(), (QStringList{"15.00", "10.00", "7.35", "5.50"}));
    EXPECT_FALSE(Form->SizeEdited());
    EXPECT_FALSE(Form->PositionEdited());
}

TEST_F(ImprFixture, WidthAndHeightAreLinkedByTheImageRatio) {
    Show(TPageUnit::Centimetre, 2000, 1000);
    Form->SEL->selectAll();
    QTest::keyClicks(Form->SEL, "10");
    EXPECT_EQ(Form->SEL->text(), "10");
    EXPECT_EQ(Form->SEH->text(), "5.00");
    EXPECT_TRUE(Form->SizeEdited());
    Form->SEH->selectAll();
    QTest::keyClicks(Form->SEH, "3");
    EXPECT_EQ(Form->SEL->text(), "6.00");
    // Typing does not move the image.
    EXPECT_EQ(Form->SEX->text(), "2.97");
    EXPECT_FALSE(Form->PositionEdited());
}

struct ConfirmCase {
    const char* Name;
    int ImgW, ImgH;
    bool TypeWidth;
    QString Typed;
    double Scale;
    QString Label;
    QStringList Fields;
};

class ImprConfirmSize : public ImprFixture, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(ImprConfirmSize, ScaleFollowsTheFieldOfThePagesLongerSide) {
    const ConfirmCase& c = GetParam();
    Show(TPageUnit::Centimetre, c.ImgW, c.ImgH);
    TFloatSpinEdit* typed = c.TypeWidth ? Form->SEL : Form->SEH;
    typed->setText(c.Typed);
    ASSERT_TRUE(Form->BOkTailleClick());
    EXPECT_NEAR(Form->Scale(), c.Scale, 1e-9);
    EXPECT_EQ(Form->LabelZoom->text(), c.Label);
    EXPECT_EQ(Fields(), c.Fields);
    EXPECT_FALSE(Form->SizeEdited());
    EXPECT_TRUE(User.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImprConfirmSize,
    ::testing::Values(
        // Landscape page: the width decides. Width 10 gives height 3.33; the scale from the
        // height would print 999 dots wide (9.99).
        ConfirmCase{"LandscapeFromWidth",
                    3000,
                    1000,
                    true,
                    "10",
                    1.0 / 3,
                    QStringLiteral("Scale : 30%"),
                    {"10.00", "3.33", "9.85", "8.83"}},
        ConfirmCase{"LandscapeTypedHeight",
                    3000,
                    1000,
                    false,
                    "3.33",
                    9.99 / 30,
                    QStringLiteral("Scale : 30%"),
                    {"9.99", "3.33", "9.85", "8.83"}},
        // Portrait page: the height decides.
        ConfirmCase{"PortraitFromHeight",
                    1000,
                    3000,
                    false,
                    "10",
                    1.0 / 3,
                    QStringLiteral("Scale : 30%"),
                    {"3.33", "10.00", "8.83", "9.85"}},
        // The label shows tens of percent while the size follows the typed field.
        ConfirmCase{"LabelRounds",
                    1000,
                    2000,
                    false,
                    "12.34",
                    0.617,
                    QStringLiteral("Scale : 60%"),
                    {"6.17", "12.34", "7.41", "8.68"}}),
    [](const ::testing::TestParamInfo<ConfirmCase>& info) { return info.param.Name; });

TEST_F(ImprFixture, PrintAppliesPendingEditsAndSetsTitleAndCopies) {
    Show(TPageUnit::Centimetre, 3000, 1000);
    Form->SEL->setText("10");
    Form->SECopies->SetValue(5);
    Form->CBTraits->setChecked(true);
    ASSERT_TRUE(Form->BImprimerClick());
    EXPECT_EQ(Form->result(), QDialog::Accepted);
    EXPECT_NEAR(Form->Scale(), 1.0 / 3, 1e-9);
    EXPECT_EQ(Target.Title(), "photo.jpg");
    EXPECT_EQ(Target.Copies(), 5);
    EXPECT_EQ(Target.PrepareCalls, 1);
    const TPrintLayout layout = Form->Layout();
    // 1000 x 333 dots centred: left (2970 - 1000) / 2, top (2100 - 333) / 2 truncated.
    EXPECT_EQ(layout.ImageRect, (TRect{985, 883, 1985, 1216}));
    EXPECT_TRUE(layout.CropMarks);
    EXPECT_FALSE(layout.OutlineOnly);
    EXPECT_EQ(layout.Marks, (TMarkLengths{80, 10}));
    EXPECT_EQ(layout.ImgW, 3000);
    EXPECT_EQ(layout.ImgH, 1000);
    EXPECT_EQ(Form->Image().Width(), 3000);
    Form->ReleaseImage();
    EXPECT_TRUE(Form->Image().Empty());
}

// Typed into a field and "Print" clicked at once: the field loses the focus to the button, and
// the size it holds is the one the margins are checked against.
struct TypedCase {
    const char* Name;
    const char* Left;      // confirmed before
    const char* Width;     // typed, not confirmed
    const char* LeftAfter; // typed, not confirmed (empty: none)
    bool Accepted;
    double Scale;
};

class ImprTypedThenPrint : public ImprFixture, public ::testing::WithParamInterface<TypedCase> {};

void TypeInto(TFloatSpinEdit* field, const char* text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QString::fromLatin1(text));
}

TEST_P(ImprTypedThenPrint, TheTypedSizeIsInForceBeforeTheMarginsAreChecked) {
    const TypedCase& c = GetParam();
    // A4 landscape at 254 dpi: 2970 x 2100 dots, 100 dots a centimetre.
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Form->CBCentrer->click();
    TypeInto(Form->SEX, c.Left);
    ASSERT_TRUE(Form->BOkMargesClick());
    TypeInto(Form->SEL, c.Width);
    if (*c.LeftAfter != 0) TypeInto(Form->SEX, c.LeftAfter);
    QTest::mouseClick(Form->BImprimer, Qt::LeftButton);

    EXPECT_EQ(Form->result() == QDialog::Accepted, c.Accepted);
    EXPECT_NEAR(Form->Scale(), c.Scale, 1e-9);
    if (c.Accepted) {
        EXPECT_TRUE(User.Messages.empty());
        const TRect r = Form->Layout().ImageRect;
        EXPECT_LE(r.Right, 2970);
        EXPECT_LE(r.Bottom, 2100);
    } else {
        ASSERT_EQ(User.Messages.size(), 1u);
        EXPECT_TRUE(User.Messages[0].Text.startsWith("The left margin must be lower or equal to"))
            << User.Messages[0].Text.toStdString();
        EXPECT_EQ(Form->focusWidget(), Form->SEX);
        EXPECT_EQ(Target.PrepareCalls, 0);
    }
    Form->hide();
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ImprTypedThenPrint,
    ::testing::Values(
        // At the first scale the image is 23.76 cm wide: a margin of 5 cm fits. At 27 cm it
        // would reach 32 cm, off the 29.70 cm page.
        TypedCase{"LargerSizeLeavesNoRoomForTheMargin", "5", "27", "", false, 0.9},
        // At 10 cm wide a margin of 15 cm fits, though not at the first scale.
        TypedCase{"SmallerSizeMakesRoomForTheMargin", "2", "10", "15", true, 1.0 / 3}),
    [](const ::testing::TestParamInfo<TypedCase>& info) { return info.param.Name; });

TEST_F(ImprFixture, PrintStaysOpenWhenTheJobCannotBePrepared) {
    Show(TPageUnit::Centimetre, 300, 200);
    Target.PrepareAnswer = false;
    EXPECT_FALSE(Form->BImprimerClick());
    EXPECT_NE(Form->result(), QDialog::Accepted);
}

// Fit and centre ----------------------------------------------------------------------------

TEST_F(ImprFixture, FitToPageTakesTheFitScaleAndLocksTheLayout) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBCentrer->click();
    ASSERT_TRUE(Form->GBMarges->isEnabled());
    Form->CBAjuster->click();
    EXPECT_DOUBLE_EQ(Form->Scale(), 0.99);
    EXPECT_TRUE(Form->CBCentrer->isChecked());
    EXPECT_EQ(Form->LabelZoom->text(), "Scale : 100%");
    EXPECT_EQ(Fields(), (QStringList{"29.70", "19.80", "0.00", "0.60"}));
    for (QWidget* w : std::initializer_list<QWidget*>{
             Form->CBCentrer, Form->ScrollBarZoom, Form->LabelZoom, Form->GBTaille, Form->GBMarges})
        EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
    // Off again: the fit scale stays, the controls come back.
    Form->CBAjuster->click();
    EXPECT_DOUBLE_EQ(Form->Scale(), 0.99);
    EXPECT_TRUE(Form->GBTaille->isEnabled());
    EXPECT_TRUE(Form->ScrollBarZoom->isEnabled());
    EXPECT_FALSE(Form->GBMarges->isEnabled());
}

TEST_F(ImprFixture, FitToPagePrintsWithoutCheckingAnyField) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBAjuster->click();
    for (TCustomSpinEdit* e : std::initializer_list<TCustomSpinEdit*>{
             Form->SEL, Form->SEH, Form->SEX, Form->SEY, Form->SECopies})
        e->setText(QString());
    EXPECT_TRUE(Form->BImprimerClick());
    EXPECT_TRUE(User.Messages.empty());
    EXPECT_EQ(Target.Copies(), 1);
}

TEST_F(ImprFixture, APageFillingSizeWrittenByTheDialogPassesItsOwnCheck) {
    // 2480 dots at 300 dpi are 20.9973 cm, shown as 21.00.
    Show(TPageUnit::Centimetre, 2000, 2000, {2480, 3508, 300});
    Form->CBAjuster->click();
    Form->CBAjuster->click();
    EXPECT_EQ(Form->SEH->text(), "21.00");
    EXPECT_TRUE(Form->BImprimerClick());
    EXPECT_TRUE(User.Messages.empty());
}

TEST_F(ImprFixture, UncentredImageFollowsTheMarginFields) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBCentrer->click();
    EXPECT_TRUE(Form->GBMarges->isEnabled());
    // Switching centring off keeps the place.
    EXPECT_EQ(Form->LeftDots(), 297);
    Form->SEX->setText("1");
    Form->SEY->setText("2.5");
    EXPECT_TRUE(Form->PositionEdited());
    ASSERT_TRUE(Form->BOkMargesClick());
    EXPECT_FALSE(Form->PositionEdited());
    EXPECT_EQ(Form->LeftDots(), 100);
    EXPECT_EQ(Form->TopDots(), 250);
    const double k = 225.0 / 2970;
    EXPECT_EQ(Form->PreviewImageRect().topLeft(),
              QPoint(16 + RoundHalfEven(100 * k), 16 + RoundHalfEven(250 * k)));
    EXPECT_EQ(Form->Layout().ImageRect, (TRect{100, 250, 2476, 1834}));
    // A new scale keeps the margins.
    Form->ScrollBarZoom->setValue(3);
    EXPECT_EQ(Form->SEX->text(), "1");
    EXPECT_EQ(Form->LeftDots(), 100);
    // Centring again rewrites them.
    Form->CBCentrer->click();
    EXPECT_FALSE(Form->GBMarges->isEnabled());
    EXPECT_EQ(Form->SEX->text(), "10.35"); // (2970 - 900) / 2
    EXPECT_EQ(Form->SEY->text(), "7.50");  // (2100 - 600) / 2
}

TEST_F(ImprFixture, SetupReadsThePageAgainAndResetsTheLayout) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBCentrer->click();
    Form->ScrollBarZoom->setValue(3);
    Target.OnSetup = [this] { Target.Portrait = {1700, 2200, 200}; };
    Form->BConfigurerClick();
    EXPECT_EQ(Target.SetupCalls, 1);
    // Landscape letter at 200 dpi: 2200 x 1700, fit min(2200 / 3000, 1700 / 2000).
    EXPECT_NEAR(Form->Fit(), 2200.0 / 3000, 1e-12);
    EXPECT_EQ(Form->ScrollBarZoom->maximum(), 7);
    EXPECT_EQ(Form->LabelZoom->text(), "Scale : 60%");
    EXPECT_TRUE(Form->CBCentrer->isChecked());
    EXPECT_EQ(Form->Box().Width, 225);
    EXPECT_EQ(Form->Box().Height, 174);
    EXPECT_EQ(Form->LblProp->geometry(), QRect(17, 17 + 172 + 8, 223, 20));
}

// Field checks ------------------------------------------------------------------------------

struct CheckCase {
    const char* Name;
    TPageUnit Unit;
    int ImgW, ImgH;
    std::function<TCustomSpinEdit*(TImprForm&)> Edit; // returns the field that must fail
    QString Message;
};

class ImprChecks : public ImprFixture, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(ImprChecks, FirstFailureIsToldAndItsFieldSelected) {
    const CheckCase& c = GetParam();
    Show(c.Unit, c.ImgW, c.ImgH, kA4At600);
    TCustomSpinEdit* field = c.Edit(*Form);
    const double scale = Form->Scale();
    EXPECT_FALSE(Form->BImprimerClick());
    EXPECT_NE(Form->result(), QDialog::Accepted);
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Text, c.Message);
    EXPECT_EQ(User.Messages[0].Kind, mkWarning);
    EXPECT_EQ(User.Messages[0].Buttons, unsigned(mbOk));
    EXPECT_EQ(Form->focusWidget(), field);
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_EQ(Target.PrepareCalls, 0);
    EXPECT_DOUBLE_EQ(Form->Scale(), scale);
}

TCustomSpinEdit* SetText(TFloatSpinEdit* e, const char* text) {
    e->setText(QString::fromLatin1(text));
    return e;
}

TCustomSpinEdit* Uncentred(TImprForm& f, TFloatSpinEdit* e, const char* text) {
    f.CBCentrer->click();
    return SetText(e, text);
}

// A4 at 600 dpi, landscape for 3000 x 2000: 29.70 x 21.00 cm, 11.69 x 8.27 in; the first scale
// prints 5613 x 3742 of 7016 x 4961 dots.
INSTANTIATE_TEST_SUITE_P(
    Fields, ImprChecks,
    ::testing::Values(CheckCase{"WidthTooSmallCm", TPageUnit::Centimetre, 3000, 2000,
                                [](TImprForm& f) { return SetText(f.SEL, "0.50"); },
                                "The width must lie between 1.00 and 29.70 !"},
                      CheckCase{"WidthTooSmallInch", TPageUnit::Inch, 3000, 2000,
                                [](TImprForm& f) { return SetText(f.SEL, "0.50"); },
                                "The width must lie between 1.00 and 11.69 !"},
                      CheckCase{"WidthTooLargeCm", TPageUnit::Centimetre, 3000, 2000,
                                [](TImprForm& f) { return SetText(f.SEL, "29.72"); },
                                "The width must lie between 1.00 and 29.70 !"},
                      CheckCase{"NotANumberIsZero", TPageUnit::Centimetre, 3000, 2000,
                                [](TImprForm& f) { return SetText(f.SEL, "abc"); },
                                "The width must lie between 1.00 and 29.70 !"},
                      CheckCase{"HeightCm", TPageUnit::Centimetre, 2000, 2000,
                                [](TImprForm& f) { return SetText(f.SEH, "21.5"); },
                                "The height must lie between 1.00 and 21.00 !"},
                      CheckCase{"HeightInch", TPageUnit::Inch, 2000, 2000,
                                [](TImprForm& f) { return SetText(f.SEH, "8.5"); },
                                "The height must lie between 1.00 and 8.26 !"},
                      // Free space: 1403 x 1219 dots.
                      CheckCase{"LeftCm", TPageUnit::Centimetre, 3000, 2000,
                                [](TImprForm& f) { return Uncentred(f, f.SEX, "6"); },
                                "The left margin must be lower or equal to 5.93 !"},
                      CheckCase{"LeftInch", TPageUnit::Inch, 3000, 2000,
                                [](TImprForm& f) { return Uncentred(f, f.SEX, "2.35"); },
                                "The left margin must be lower or equal to 2.33 !"},
                      CheckCase{"TopCm", TPageUnit::Centimetre, 3000, 2000,
                                [](TImprForm& f) { return Uncentred(f, f.SEY, "5.2"); },
                                "The top margin must be lower or equal to 5.16 !"},
                      CheckCase{"TopInch", TPageUnit::Inch, 3000, 2000,
                                [](TImprForm& f) { return Uncentred(f, f.SEY, "2.1"); },
                                "The top margin must be lower or equal to 2.03 !"},
                      // A full-size image leaves no room: the bound reads 0.00.
                      CheckCase{"NoRoomLeft", TPageUnit::Centimetre, 3000, 2000,
                                [](TImprForm& f) {
                                    f.CBAjuster->click();
                                    f.CBAjuster->click();
                                    return Uncentred(f, f.SEX, "0.1");
                                },
                                "The left margin must be lower or equal to 0.00 !"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.Name; });

struct EmptyCase {
    std::vector<int> Emptied; // indices into SEL, SEH, SEX, SEY, SECopies
    int Focused;
};

class ImprEmptyFields : public ImprFixture, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(ImprEmptyFields, FirstEmptyFieldInOrderGetsTheFocus) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBCentrer->click();
    TCustomSpinEdit* fields[] = {Form->SEL, Form->SEH, Form->SEX, Form->SEY, Form->SECopies};
    for (int i : GetParam().Emptied)
        fields[i]->setText(QString());
    EXPECT_FALSE(Form->BOkMargesClick());
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Text, "Complete all the fields before continuing !");
    EXPECT_EQ(User.Messages[0].Kind, mkWarning);
    EXPECT_EQ(Form->focusWidget(), fields[GetParam().Focused]);
}

INSTANTIATE_TEST_SUITE_P(Orders, ImprEmptyFields,
                         ::testing::Values(EmptyCase{{0, 2}, 0}, EmptyCase{{1, 4}, 1},
                                           EmptyCase{{2}, 2}, EmptyCase{{3, 4}, 3},
                                           EmptyCase{{4}, 4}));

TEST_F(ImprFixture, MessagesAndFieldsUseTheLocalesDecimalSeparator) {
    TLocaleScope german(QLocale(QLocale::German, QLocale::Germany));
    Show(TPageUnit::Centimetre, 3000, 2000, kA4At600);
    EXPECT_EQ(Form->SEL->text(), "23,76"); // 5613 dots
    Form->SEL->setText("0,5");
    EXPECT_FALSE(Form->BOkTailleClick());
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Text, "The width must lie between 1,00 and 29,70 !");
}

// Keys --------------------------------------------------------------------------------------

TEST_F(ImprFixture, PlusAndMinusAreRefusedEverywhere) {
    TBeepCounter beeps;
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->SEL->setCursorPosition(0);
    QTest::keyClick(Form->SEL, '-');
    QTest::keyClick(Form->SECopies, '+');
    EXPECT_EQ(beeps.Count, 2);
    EXPECT_EQ(Form->SEL->text(), "23.76");
    EXPECT_EQ(Form->SECopies->text(), "1");
    const double scale = Form->Scale();
    QTest::keyClick(Form->ScrollBarZoom, '+');
    QTest::keyClick(Form.get(), '-');
    EXPECT_EQ(beeps.Count, 2);
    EXPECT_DOUBLE_EQ(Form->Scale(), scale);
}

TEST_F(ImprFixture, EnterInASizeFieldNormalisesAndConfirms) {
    Show(TPageUnit::Centimetre, 3000, 1000);
    Form->SEL->setText("10");
    QTest::keyClick(Form->SEL, Qt::Key_Return);
    EXPECT_EQ(Form->SEL->text(), "10.00");
    EXPECT_NEAR(Form->Scale(), 1.0 / 3, 1e-9);
    EXPECT_FALSE(Form->SizeEdited());
    EXPECT_NE(Form->result(), QDialog::Accepted);
    // Out of range: the field is clamped to 1000 and the width check speaks.
    Form->SEH->setText("5000");
    QTest::keyClick(Form->SEH, Qt::Key_Enter);
    EXPECT_EQ(Form->SEH->text(), "1000.00");
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Text, "The width must lie between 1.00 and 29.70 !");
}

TEST_F(ImprFixture, EnterInAMarginFieldConfirmsThePosition) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBCentrer->click();
    Form->SEX->setText("1.5");
    QTest::keyClick(Form->SEX, Qt::Key_Return);
    EXPECT_EQ(Form->SEX->text(), "1.50");
    EXPECT_EQ(Form->LeftDots(), 150);
    EXPECT_FALSE(Form->PositionEdited());
}

TEST_F(ImprFixture, EscapeCancels) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->setResult(QDialog::Accepted);
    QTest::keyClick(Form->SEL, Qt::Key_Escape);
    EXPECT_EQ(Form->result(), QDialog::Rejected);
}

// The page picture ------------------------------------------------------------------------------

struct PictureCase {
    int ImgW, ImgH;
    QSize Box;
    QRect Image;
};

class ImprPicture : public ImprFixture, public ::testing::WithParamInterface<PictureCase> {};

QRgb PixelOf(const QImage& image, QPoint p) {
    return image.pixel(p) & 0xFFFFFF;
}

TEST_P(ImprPicture, BoxBorderShadowAndImage) {
    const PictureCase& c = GetParam();
    Show(TPageUnit::Centimetre, c.ImgW, c.ImgH);
    Form->adjustSize();
    EXPECT_EQ(QSize(Form->Box().Width, Form->Box().Height), c.Box);
    EXPECT_EQ(Form->PreviewImageRect(), c.Image);
    const QImage shot = Form->grab().toImage();
    const QRect box(16, 16, c.Box.width(), c.Box.height());
    EXPECT_EQ(PixelOf(shot, box.topLeft()), 0xCCCCCCu);
    EXPECT_EQ(PixelOf(shot, box.topLeft() + QPoint(0, box.height() - 2)), 0xCCCCCCu);
    EXPECT_EQ(PixelOf(shot, box.topRight()), 0x555555u);
    EXPECT_EQ(PixelOf(shot, box.bottomRight()), 0x555555u);
    EXPECT_EQ(PixelOf(shot, box.bottomLeft()), 0x555555u);
    // Inside the border: white beside the image, red on it.
    EXPECT_EQ(PixelOf(shot, QPoint(17, 17)), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(shot, c.Image.topLeft() - QPoint(1, 0)), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(shot, c.Image.center()), 0xFF0000u);
    EXPECT_EQ(PixelOf(shot, c.Image.topLeft()), 0xFF0000u);
    EXPECT_EQ(PixelOf(shot, c.Image.bottomRight()), 0xFF0000u);
    EXPECT_EQ(PixelOf(shot, c.Image.bottomRight() + QPoint(1, 1)), 0xFFFFFFu);
    // The soft shadow darkens the background below and right of the box.
    const QColor background = Form->palette().color(QPalette::Window);
    EXPECT_LT(qGray(shot.pixel(box.right() + 3, box.center().y())), qGray(background.rgb()));
    EXPECT_LT(qGray(shot.pixel(box.center().x(), box.bottom() + 3)), qGray(background.rgb()));
    EXPECT_EQ(shot.pixel(box.right() + 8, box.center().y()), background.rgb());
    // The pixel size label is centred in the band under the inner area.
    EXPECT_EQ(Form->LblProp->geometry(),
              QRect(17, 17 + c.Box.height() - 2 + 8, c.Box.width() - 2, 20));
    EXPECT_EQ(Form->LblProp->alignment(), Qt::AlignCenter);
}

// k = 225 / 2970; the first scale 0.792 prints 2376 x 1584 dots at (297, 258), that is
// 180 x 120 pixels at 16 + (22.5 -> 22, 19.5 -> 20).
INSTANTIATE_TEST_SUITE_P(Pages, ImprPicture,
                         ::testing::Values(PictureCase{3000, 2000, {225, 159}, {38, 36, 180, 120}},
                                           PictureCase{
                                               2000, 3000, {159, 225}, {36, 38, 120, 180}}));

TEST_F(ImprFixture, PictureClipsTheImageToTheInnerArea) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    // Scale 1.0 prints 3000 dots on a 2970-dot page: centred 15 dots left of its edge.
    Form->ScrollBarZoom->setValue(10);
    EXPECT_EQ(Form->LeftDots(), -15);
    // 16 + round(-15 k), 227 pixels wide: beyond the inner area on both sides.
    EXPECT_EQ(Form->PreviewImageRect(), QRect(15, 20, 227, 152));
    Form->adjustSize();
    const QImage shot = Form->grab().toImage();
    EXPECT_EQ(PixelOf(shot, QPoint(16, 100)), 0xCCCCCCu);
    EXPECT_EQ(PixelOf(shot, QPoint(17, 100)), 0xFF0000u);
    EXPECT_EQ(PixelOf(shot, QPoint(239, 100)), 0xFF0000u);
    EXPECT_EQ(PixelOf(shot, QPoint(240, 100)), 0x555555u);
}

TEST_F(ImprFixture, FittedPictureFillsTheInnerArea) {
    Show(TPageUnit::Centimetre, 3000, 2000);
    Form->CBAjuster->click();
    const QRect inner = Form->PreviewInnerRect();
    const QRect image = Form->PreviewImageRect();
    EXPECT_EQ(image.width(), inner.width());
    EXPECT_TRUE(inner.contains(image));
    EXPECT_LE(std::abs((image.top() - inner.top()) - (inner.bottom() - image.bottom())), 1);
}

TEST_F(ImprFixture, PictureShowsTheImageTheRightWayRound) {
    // A large image, left half red and right half blue, top row green.
    QImage image(3000, 2000, QImage::Format_BGR888);
    image.fill(QColor(255, 0, 0));
    for (int y = 0; y < 2000; ++y) {
        uint8_t* row = image.scanLine(y);
        for (int x = y < 200 ? 0 : 1500; x < 3000; ++x) {
            row[3 * x] = y < 200 ? 0 : 255;     // blue
            row[3 * x + 1] = y < 200 ? 255 : 0; // green
            row[3 * x + 2] = 0;                 // red
        }
    }
    Target.Portrait = kA4At254;
    Form = std::make_unique<TImprForm>(Target, TPageUnit::Centimetre, nullptr, &User);
    Form->FormShow(TBitmap(image), QStringLiteral("big.jpg"));
    Form->adjustSize();
    for (int scale : {8, 5, 3}) {
        Form->ScrollBarZoom->setValue(scale);
        const QRect r = Form->PreviewImageRect();
        const QImage shot = Form->grab().toImage();
        const int y = r.top() + r.height() * 3 / 4;
        EXPECT_EQ(PixelOf(shot, QPoint(r.left() + r.width() / 4, y)), 0xFF0000u) << scale;
        EXPECT_EQ(PixelOf(shot, QPoint(r.left() + r.width() * 3 / 4, y)), 0x0000FFu) << scale;
        EXPECT_EQ(PixelOf(shot, QPoint(r.center().x(), r.top() + 2)), 0x00FF00u) << scale;
    }
}

} // namespace
