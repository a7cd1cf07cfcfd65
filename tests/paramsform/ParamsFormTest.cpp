// The settings dialog: loading from the record, "OK", "Save", and the rules between controls.
#include "ParamsFormFixture.h"

#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QStringList KeyTexts(const TSettingsValues& v) {
    return {v.cf,          v.bcadre,    v.bombre,   v.b3d,    v.zoom,    v.breduction, v.brayures,
            v.bmotif,      v.bboucler,  v.delai,    v.teinte, v.reglage, v.bflou,      v.bsa,
            v.bss,         v.fluidite,  v.cadre,    v.bva,    v.vtaille, v.pe,         v.rotation,
            v.bquitter,    v.bcmt,      v.tcmt,     v.ccmt,   v.pcmt,    v.scmt,       v.scmtnf,
            v.boptimiserz, v.bagrandir, v.bcouleurs};
}

TEST_F(ParamsFormTest, ShowsEveryKeyOfTheRecord) {
    MakeDistinct(s);
    form.FormShow();
    EXPECT_EQ(KeyTexts(form.ShownValues()), KeyTexts(SettingsValuesOf(s, false, false)));
    EXPECT_FALSE(form.CBMotif->isHidden());
}

TEST_F(ParamsFormTest, OkAfterLoadingKeepsTheRecord) {
    for (bool distinct : {false, true}) {
        if (distinct) MakeDistinct(s);
        const QStringList before = Fields(s);
        form.FormShow();
        form.BOkClick();
        EXPECT_EQ(Fields(s), before) << "distinct " << distinct;
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
}

TEST_F(ParamsFormTest, EveryShowingReloadsFromTheRecord) {
    form.FormShow();
    form.CBFlou->setChecked(true);
    form.SEDelaiDiaporama->SetValue(9);
    form.reject(); // values typed and cancelled are not kept
    form.FormShow();
    EXPECT_FALSE(form.CBFlou->isChecked());
    EXPECT_EQ(form.SEDelaiDiaporama->Value(), 3);
    EXPECT_FALSE(s.bflou);
}

// One control changed, then "OK": exactly its field of the record changes.
struct TOkCase {
    const char* name;
    std::function<void(TParamsForm&)> edit;
    std::function<void(TViewerSettings&)> expected;
};

class OkCopies : public ParamsFormTest, public testing::WithParamInterface<TOkCase> {};

TEST_P(OkCopies, OneControlToItsField) {
    TViewerSettings expected = s;
    form.FormShow();
    GetParam().edit(form);
    GetParam().expected(expected);
    form.BOkClick();
    EXPECT_EQ(Fields(s), Fields(expected));
}

const TOkCase kOkCases[] = {
    {"cf", [](TParamsForm& f) { f.ColorEditFond->SetColor(RGBColor(1, 2, 3)); },
     [](TViewerSettings& s) { s.cf = RGBColor(1, 2, 3); }},
    {"bmotif", [](TParamsForm& f) { f.CBMotif->setChecked(true); },
     [](TViewerSettings& s) { s.bmotif = true; }},
    {"zoom", [](TParamsForm& f) { f.CBZoom->setCurrentIndex(8); },
     [](TViewerSettings& s) { s.zoom = 8; }},
    {"breduction", [](TParamsForm& f) { f.CBReduction->setChecked(false); },
     [](TViewerSettings& s) { s.breduction = false; }},
    {"boptimiserz", [](TParamsForm& f) { f.CBZoomOpt->setChecked(false); },
     [](TViewerSettings& s) { s.boptimiserz = false; }},
    {"bcadre", [](TParamsForm& f) { f.CBCadrePhoto->setChecked(false); },
     [](TViewerSettings& s) { s.bcadre = false; }},
    {"bombre", [](TParamsForm& f) { f.CBOmbre->setChecked(false); },
     [](TViewerSettings& s) { s.bombre = false; }},
    {"b3d", [](TParamsForm& f) { f.CBCadre3D->setChecked(true); },
     [](TViewerSettings& s) {
         s.b3d = true;
         s.bombre = false;
     }},
    {"brayures", [](TParamsForm& f) { f.CBRayures->setChecked(true); },
     [](TViewerSettings& s) { s.brayures = true; }},
    {"teinte", [](TParamsForm& f) { f.CBTeinte->setCurrentIndex(8); },
     [](TViewerSettings& s) { s.teinte = 8; }},
    {"reglage", [](TParamsForm& f) { f.CBReglage->setCurrentIndex(4); },
     [](TViewerSettings& s) { s.reglage = 4; }},
    {"bflou", [](TParamsForm& f) { f.CBFlou->setChecked(true); },
     [](TViewerSettings& s) { s.bflou = true; }},
    {"cadre width", [](TParamsForm& f) { f.SEEpaisseurCadre->SetValue(50); },
     [](TViewerSettings& s) { s.cadre.width = 50; }},
    {"cadre colour", [](TParamsForm& f) { f.ColorEditCadre->SetColor(RGBColor(9, 8, 7)); },
     [](TViewerSettings& s) { s.cadre.colour = RGBColor(9, 8, 7); }},
    {"vtaille", [](TParamsForm& f) { f.SETailleMaxVignette->SetValue(2000); },
     [](TViewerSettings& s) { s.vtaille = 2000; }},
    {"bva", [](TParamsForm& f) { f.CBAleatoire->setChecked(true); },
     [](TViewerSettings& s) { s.bva = true; }},
    {"delai", [](TParamsForm& f) { f.SEDelaiDiaporama->SetValue(10); },
     [](TViewerSettings& s) { s.delai = 10; }},
    {"bboucler", [](TParamsForm& f) { f.CBBoucler->setChecked(false); },
     [](TViewerSettings& s) { s.bboucler = false; }},
    {"bquitter", [](TParamsForm& f) { f.CBQuitter->setChecked(true); },
     [](TViewerSettings& s) { s.bquitter = true; }},
    {"bsa", [](TParamsForm& f) { f.CBScrollingAuto->setChecked(false); },
     [](TViewerSettings& s) { s.bsa = false; }},
    {"bss", [](TParamsForm& f) { f.CBScrollingAutoSouris->setChecked(false); },
     [](TViewerSettings& s) { s.bss = false; }},
    {"fluidite", [](TParamsForm& f) { f.CBFluidite->setCurrentIndex(3); },
     [](TViewerSettings& s) { s.fluidite = 16; }},
    {"bcmt", [](TParamsForm& f) { f.CBCommentaire->setChecked(true); },
     [](TViewerSettings& s) { s.bcmt = true; }},
    {"ccmt", [](TParamsForm& f) { f.ColorEditCommentaire->SetColor(RGBColor(0, 0, 200)); },
     [](TViewerSettings& s) { s.ccmt = RGBColor(0, 0, 200); }},
    {"tcmt", [](TParamsForm& f) { f.SETailleCommentaire->SetValue(20); },
     [](TViewerSettings& s) { s.tcmt = 20; }},
    {"bold", [](TParamsForm& f) { f.CBGras->setChecked(true); },
     [](TViewerSettings& s) { s.scmt.bold = true; }},
    {"italic", [](TParamsForm& f) { f.CBItalique->setChecked(true); },
     [](TViewerSettings& s) { s.scmt.italic = true; }},
    {"underline", [](TParamsForm& f) { f.CBSouligne->setChecked(true); },
     [](TViewerSettings& s) { s.scmt.underline = true; }},
    {"pcmt", [](TParamsForm& f) { f.RGCommentaire->SetItemIndex(1); },
     [](TViewerSettings& s) { s.pcmt = 1; }},
    {"scmtnf", [](TParamsForm& f) { f.CBNomFic->setChecked(false); },
     [](TViewerSettings& s) { s.scmtnf = false; }},
    {"rotation", [](TParamsForm& f) { f.RGRotation->SetItemIndex(0); },
     [](TViewerSettings& s) { s.rotation = 0; }},
    {"bcouleurs", [](TParamsForm& f) { f.CBCouleurs->setChecked(false); },
     [](TViewerSettings& s) { s.bcouleurs = false; }},
    // An emptied spin edit gives the minimum of its range.
    {"empty delay", [](TParamsForm& f) { f.SEDelaiDiaporama->setText(""); },
     [](TViewerSettings& s) { s.delai = 1; }},
    {"empty size", [](TParamsForm& f) { f.SETailleMaxVignette->setText(""); },
     [](TViewerSettings& s) { s.vtaille = 50; }},
    {"empty width", [](TParamsForm& f) { f.SEEpaisseurCadre->setText(""); },
     [](TViewerSettings& s) { s.cadre.width = 1; }},
    {"empty font size", [](TParamsForm& f) { f.SETailleCommentaire->setText(""); },
     [](TViewerSettings& s) { s.tcmt = 8; }},
};

INSTANTIATE_TEST_SUITE_P(Controls, OkCopies, testing::ValuesIn(kOkCases), [](const auto& info) {
    QString n = QString::fromLatin1(info.param.name);
    n.replace(u' ', u'_');
    return n.toStdString();
});

TEST_F(ParamsFormTest, OkStylesAreClearedBeforeTheBoxesAreRead) {
    s.scmt = {true, true, true};
    form.FormShow();
    form.CBItalique->setChecked(false);
    form.BOkClick();
    EXPECT_EQ(s.scmt, (TCommentStyles{true, false, true}));
}

TEST_F(ParamsFormTest, OkGivesTheColourAndTheStepToTheRunningViewer) {
    form.FormShow();
    form.ColorEditFond->SetColor(RGBColor(0x11, 0x22, 0x33));
    form.CBFluidite->setCurrentIndex(2);
    form.BOkClick();
    EXPECT_TRUE(effects.log.contains("cf 332211"));
    EXPECT_TRUE(effects.log.contains("step 8"));
}

// The record's step shows as an index; the index chosen gives the step on "OK".
struct TFluidityCase {
    int step;      // in the record
    int shown;     // index the list shows
    int chosen;    // index chosen before OK
    int stepAfter; // the record's step after OK
};

class Fluidity : public ParamsFormTest, public testing::WithParamInterface<TFluidityCase> {};

TEST_P(Fluidity, BothWays) {
    const TFluidityCase c = GetParam();
    s.fluidite = c.step;
    form.FormShow();
    EXPECT_EQ(form.CBFluidite->currentIndex(), c.shown);
    EXPECT_EQ(form.ShownValues().fluidite, QString::number(c.shown));
    form.CBFluidite->setCurrentIndex(c.chosen);
    form.BOkClick();
    EXPECT_EQ(s.fluidite, c.stepAfter);
    EXPECT_EQ(effects.log.back(), QStringLiteral("step %1").arg(c.stepAfter));
}

INSTANTIATE_TEST_SUITE_P(Steps, Fluidity,
                         testing::Values(TFluidityCase{1, 0, 0, 1}, TFluidityCase{3, 1, 1, 3},
                                         TFluidityCase{8, 2, 2, 8}, TFluidityCase{16, 3, 3, 16},
                                         TFluidityCase{1, 0, 3, 16}, TFluidityCase{16, 3, 0, 1},
                                         // Another step shows no choice; OK then gives 3.
                                         TFluidityCase{5, -1, -1, 3}, TFluidityCase{0, -1, -1, 3},
                                         TFluidityCase{2, -1, 2, 8}));

// Checking one of "Shadow" and "Frame 3D" unchecks the other; unchecking touches nothing.
struct TExclusiveCase {
    bool shadow, frame3d; // shown on entry
    const char* click;    // "shadow" or "3d"
    bool check;
    bool shadowAfter, frame3dAfter;
};

class ExclusiveBoxes : public ParamsFormTest, public testing::WithParamInterface<TExclusiveCase> {};

TEST_P(ExclusiveBoxes, AtMostOneIsOn) {
    const TExclusiveCase c = GetParam();
    s.bombre = c.shadow;
    s.b3d = c.frame3d;
    form.FormShow();
    QCheckBox* box = QString(c.click) == "shadow" ? form.CBOmbre : form.CBCadre3D;
    if (box->isChecked() != c.check) QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(form.CBOmbre->isChecked(), c.shadowAfter);
    EXPECT_EQ(form.CBCadre3D->isChecked(), c.frame3dAfter);
    form.BOkClick();
    EXPECT_EQ(s.bombre, c.shadowAfter);
    EXPECT_EQ(s.b3d, c.frame3dAfter);
}

INSTANTIATE_TEST_SUITE_P(Clicks, ExclusiveBoxes,
                         testing::Values(TExclusiveCase{false, true, "shadow", true, true, false},
                                         TExclusiveCase{true, false, "3d", true, false, true},
                                         TExclusiveCase{false, false, "shadow", true, true, false},
                                         TExclusiveCase{false, false, "3d", true, false, true},
                                         TExclusiveCase{true, false, "shadow", false, false, false},
                                         TExclusiveCase{false, true, "3d", false, false, false}));

TEST_F(ParamsFormTest, ARecordWithBothOnShowsOnlyTheFrame) {
    s.bombre = true;
    s.b3d = true;
    form.FormShow();
    EXPECT_FALSE(form.CBOmbre->isChecked());
    EXPECT_TRUE(form.CBCadre3D->isChecked());
}

class ReductionOnly : public ParamsFormTest, public testing::WithParamInterface<int> {};

TEST_P(ReductionOnly, EnabledForTheFitModes) {
    const int zoom = GetParam();
    const bool fit = zoom >= 1 && zoom <= 3;
    // On loading from the record...
    s.zoom = zoom;
    form.FormShow();
    EXPECT_EQ(form.CBReduction->isEnabled(), fit);
    // ...and on choosing in the list from another mode.
    form.CBZoom->setCurrentIndex(fit ? 0 : 2);
    form.CBZoom->setCurrentIndex(zoom);
    EXPECT_EQ(form.CBReduction->isEnabled(), fit);
}

INSTANTIATE_TEST_SUITE_P(Modes, ReductionOnly, testing::Range(0, 9));

TEST_F(ParamsFormTest, PatternBoxOnlyWhenAPatternIsKnown) {
    s.motif.clear();
    form.FormShow();
    EXPECT_TRUE(form.CBMotif->isHidden());
    s.motif = QStringLiteral("/p/pattern.bmp");
    form.FormShow();
    EXPECT_FALSE(form.CBMotif->isHidden());
}

TEST_F(ParamsFormTest, ListsAndCaptions) {
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Paramètres"));
    ASSERT_EQ(form.CBZoom->count(), 9);
    EXPECT_EQ(form.CBZoom->itemText(4), "33,33%");
    EXPECT_EQ(form.CBZoom->itemText(8), "<Thumbnail>");
    EXPECT_EQ(form.CBTeinte->itemText(2), "Color (-)");
    EXPECT_EQ(form.CBReglage->itemText(3), "Contrast (+)");
    EXPECT_EQ(form.CBFluidite->itemText(2), "Jerked");
    ASSERT_EQ(form.RGRotation->Count(), 7);
    EXPECT_EQ(form.RGRotation->Button(3)->text(), QString::fromUtf8("Rotate 180°"));
    EXPECT_EQ(form.RGRotation->title(), " Rotation after opening image ");
    EXPECT_EQ(form.CBCouleurs->text(), "Colour management");
    EXPECT_TRUE(form.BOk->isDefault());
    EXPECT_FALSE(form.CBZoomOpt->isHidden());
}

TEST_F(ParamsFormTest, RadioGroupsShowNoChoiceForUnknownValues) {
    s.rotation = 9;
    s.pcmt = -3;
    form.FormShow();
    EXPECT_EQ(form.RGRotation->ItemIndex(), -1);
    EXPECT_EQ(form.RGCommentaire->ItemIndex(), -1);
    s.rotation = 2;
    form.FormShow();
    EXPECT_EQ(form.RGRotation->ItemIndex(), 2);
}

TEST_F(ParamsFormTest, EscapeCancelsAndEnterActsAsOk) {
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        s.bflou = false;
        bool shown = false;
        QTimer::singleShot(0, &form, [&] {
            shown = form.isVisible();
            form.CBFlou->setChecked(true);
            QTest::keyClick(form.CBZoom, Qt::Key(key));
            if (form.isVisible()) form.done(99);
        });
        const bool ok = form.Execute();
        EXPECT_TRUE(shown);
        EXPECT_EQ(ok, key == Qt::Key_Return) << key;
        EXPECT_EQ(s.bflou, key == Qt::Key_Return) << key;
    }
}

TEST_F(ParamsFormTest, EnterOnCancelOrSaveStillMeansOk) {
    for (QPushButton* focus : {form.BAnnuler, form.BSauver}) {
        s.delai = 3;
        QTimer::singleShot(0, &form, [&] {
            form.SEDelaiDiaporama->SetValue(6);
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Return);
            if (form.isVisible()) form.done(99);
        });
        EXPECT_TRUE(form.Execute());
        EXPECT_EQ(s.delai, 6);
        EXPECT_TRUE(dialogs.Messages.empty()); // "Save" was not pressed
    }
}

} // namespace
