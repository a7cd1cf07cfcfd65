// SPDX-License-Identifier: GPL-2.0-or-later
// The settings dialog's controls and the record: loading, "OK" and the texts "Save" writes.
#include "dialogs/ParamsForm.h"

#include "dialogs/ColorEditor.h"
#include "dialogs/Spin2.h"
#include "settings/SettingsColours.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

QString BoolText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

QString IndexText(int index) {
    return QString::number(index);
}

} // namespace

void TParamsForm::FormShow() {
    const TViewerSettings& s = m_store.Settings();
    // "View"
    ColorEditFond->SetColor(s.cf);
    CBMotif->setChecked(s.bmotif);
    CBMotif->setVisible(!s.motif.isEmpty());
    CBZoom->setCurrentIndex(s.zoom);
    CBReduction->setChecked(s.breduction);
    CBZoomChange();
    CBZoomOpt->setChecked(s.boptimiserz);
    CBCadrePhoto->setChecked(s.bcadre);
    CBOmbre->setChecked(s.bombre);
    CBCadre3D->setChecked(s.b3d);
    CBRayures->setChecked(s.brayures);
    CBTeinte->setCurrentIndex(s.teinte);
    CBReglage->setCurrentIndex(s.reglage);
    CBFlou->setChecked(s.bflou);
    // "Advanced"
    SEEpaisseurCadre->SetValue(s.cadre.width);
    ColorEditCadre->SetColor(s.cadre.colour);
    SETailleMaxVignette->SetValue(s.vtaille);
    CBAleatoire->setChecked(s.bva);
    SEDelaiDiaporama->SetValue(s.delai);
    CBBoucler->setChecked(s.bboucler);
    CBQuitter->setChecked(s.bquitter);
    CBScrollingAuto->setChecked(s.bsa);
    CBScrollingAutoSouris->setChecked(s.bss);
    CBFluidite->setCurrentIndex(FluidityIndex(s.fluidite));
    // "Comment"
    CBCommentaire->setChecked(s.bcmt);
    ColorEditCommentaire->SetColor(s.ccmt);
    SETailleCommentaire->SetValue(s.tcmt);
    CBGras->setChecked(s.scmt.bold);
    CBItalique->setChecked(s.scmt.italic);
    CBSouligne->setChecked(s.scmt.underline);
    RGCommentaire->SetItemIndex(s.pcmt);
    CBNomFic->setChecked(s.scmtnf);
    // "Misc"
    RGRotation->SetItemIndex(s.rotation);
    CBCouleurs->setChecked(s.bcouleurs);
}

void TParamsForm::BOkClick() {
    TViewerSettings& s = m_store.Settings();
    s.cf = ColorEditFond->Color();
    m_effects.BackgroundColourChanged(s.cf);
    s.delai = SEDelaiDiaporama->Value();
    s.fluidite = FluidityStep(CBFluidite->currentIndex());
    m_effects.ScrollStepChanged(s.fluidite);
    s.bsa = CBScrollingAuto->isChecked();
    s.bss = CBScrollingAutoSouris->isChecked();
    s.bboucler = CBBoucler->isChecked();
    s.zoom = CBZoom->currentIndex();
    s.breduction = CBReduction->isChecked();
    s.brayures = CBRayures->isChecked();
    s.bcadre = CBCadrePhoto->isChecked();
    s.bombre = CBOmbre->isChecked();
    s.b3d = CBCadre3D->isChecked();
    s.teinte = CBTeinte->currentIndex();
    s.reglage = CBReglage->currentIndex();
    s.bflou = CBFlou->isChecked();
    s.cadre.colour = ColorEditCadre->Color();
    s.cadre.width = SEEpaisseurCadre->Value();
    s.vtaille = SETailleMaxVignette->Value();
    s.bva = CBAleatoire->isChecked();
    s.bmotif = CBMotif->isChecked();
    s.rotation = RGRotation->ItemIndex();
    s.bquitter = CBQuitter->isChecked();
    s.bcmt = CBCommentaire->isChecked();
    s.pcmt = RGCommentaire->ItemIndex();
    s.ccmt = ColorEditCommentaire->Color();
    s.tcmt = SETailleCommentaire->Value();
    s.scmt = TCommentStyles{CBGras->isChecked(), CBItalique->isChecked(), CBSouligne->isChecked()};
    s.scmtnf = CBNomFic->isChecked();
    s.boptimiserz = CBZoomOpt->isChecked();
    s.bcouleurs = CBCouleurs->isChecked();
    accept();
}

TSettingsValues TParamsForm::ShownValues() const {
    const bool fullScreen = m_effects.IsFullScreen();
    const bool maximised = m_isMaximised && m_isMaximised();
    TSettingsValues v;
    v.cf = ColourToText(ColorEditFond->Color());
    v.bcadre = BoolText(CBCadrePhoto);
    v.bombre = BoolText(CBOmbre);
    v.b3d = BoolText(CBCadre3D);
    v.zoom = IndexText(CBZoom->currentIndex());
    v.breduction = BoolText(CBReduction);
    v.brayures = BoolText(CBRayures);
    v.bmotif = BoolText(CBMotif);
    v.bboucler = BoolText(CBBoucler);
    v.delai = SEDelaiDiaporama->text();
    v.teinte = IndexText(CBTeinte->currentIndex());
    v.reglage = IndexText(CBReglage->currentIndex());
    v.bflou = BoolText(CBFlou);
    v.bsa = BoolText(CBScrollingAuto);
    v.bss = BoolText(CBScrollingAutoSouris);
    v.fluidite = IndexText(CBFluidite->currentIndex());
    v.cadre = ColourToText(ColorEditCadre->Color()) + u',' + SEEpaisseurCadre->text();
    v.bva = BoolText(CBAleatoire);
    v.vtaille = SETailleMaxVignette->text();
    v.pe = fullScreen ? QStringLiteral("1") : QStringLiteral("0");
    v.rotation = IndexText(RGRotation->ItemIndex());
    v.bquitter = BoolText(CBQuitter);
    v.bcmt = BoolText(CBCommentaire);
    v.tcmt = SETailleCommentaire->text();
    v.ccmt = ColourToText(ColorEditCommentaire->Color());
    v.pcmt = IndexText(RGCommentaire->ItemIndex());
    v.scmt = CommentStylesToText(
        TCommentStyles{CBGras->isChecked(), CBItalique->isChecked(), CBSouligne->isChecked()});
    v.scmtnf = BoolText(CBNomFic);
    v.boptimiserz = BoolText(CBZoomOpt);
    v.bagrandir = maximised && !fullScreen ? QStringLiteral("1") : QStringLiteral("0");
    v.bcouleurs = BoolText(CBCouleurs);
    return v;
}
