// SPDX-License-Identifier: GPL-2.0-or-later
// The settings dialog's window: its controls' rules, its keys and its showing.
#include "dialogs/ParamsForm.h"

#include "dialogs/DialogHost.h"
#include "dialogs/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>

TParamsForm::TParamsForm(TSettingsStore& store, ISettingsEffects& effects,
                         std::function<bool()> isMaximised, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_store(store),
      m_effects(effects), m_isMaximised(std::move(isMaximised)) {
    ApplyDialogFont(*this);
    setWindowTitle(QString::fromUtf8("Paramètres"));
    BuildControls();
    CBZoom->setCurrentIndex(0);
    // Smooth scaling is offered on every platform this program runs on.
    CBZoomOpt->setVisible(true);

    connect(CBZoom, &QComboBox::currentIndexChanged, this, [this] { CBZoomChange(); });
    connect(CBOmbre, &QCheckBox::toggled, this, [this] { CBOmbreClick(); });
    connect(CBCadre3D, &QCheckBox::toggled, this, [this] { CBCadre3DClick(); });
    connect(BOk, &QPushButton::clicked, this, [this] { BOkClick(); });
    connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
    connect(BSauver, &QPushButton::clicked, this, [this] { BSauverClick(); });
}

bool TParamsForm::Execute() {
    FormShow();
    adjustSize();
    CentreOnMainWindow(*this);
    return exec() == QDialog::Accepted;
}

void TParamsForm::CBZoomChange() {
    const int index = CBZoom->currentIndex();
    CBReduction->setEnabled(index >= 1 && index <= 3);
}

void TParamsForm::CBOmbreClick() {
    if (CBOmbre->isChecked()) CBCadre3D->setChecked(false);
}

void TParamsForm::CBCadre3DClick() {
    if (CBCadre3D->isChecked()) CBOmbre->setChecked(false);
}

bool TParamsForm::BSauverClick() {
    if (UserDialogs().Message(QString::fromUtf8(kSaveSettingsQuestion), mkConfirmation, mbYesNo) !=
        mrYes)
        return false;
    return m_store.SaveSettingsFile(ShownValues());
}

void TParamsForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BOkClick();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
