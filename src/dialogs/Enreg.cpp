// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/Enreg.h"

#include "dialogs/DialogHost.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TEnregistrerForm::TEnregistrerForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    ApplyDialogFont(*this);
    setWindowTitle(QStringLiteral("Save"));
    RBImage = new QRadioButton(QStringLiteral("Image only"), this);
    RBEcran = new QRadioButton(QStringLiteral("Full screen"), this);
    RBImage->setChecked(true);
    BtnOk = new QPushButton(QStringLiteral("Ok"), this);
    BtnAnnuler = new QPushButton(QStringLiteral("Cancel"), this);
    BtnOk->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnAnnuler);
    auto* all = new QVBoxLayout(this);
    all->addWidget(RBImage);
    all->addWidget(RBEcran);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

TSaveScope TEnregistrerForm::Scope() const {
    return RBEcran->isChecked() ? TSaveScope::FullScreen : TSaveScope::ImageOnly;
}

std::optional<TSaveScope> TEnregistrerForm::Execute() {
    CentreOnMainWindow(*this);
    BtnOk->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Scope();
}
