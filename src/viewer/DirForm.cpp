// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/DirForm.h"

#include "dialogs/DialogHost.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

TDirForm::TDirForm(QWidget* parent, TBrowse browse) : QDialog(parent), m_browse(std::move(browse)) {
    setWindowTitle(QStringLiteral("Folder"));
    ImgQuestion = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    ImgQuestion->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize));
    LblMessage = new QLabel(this);
    EdiDossier = new QLineEdit(this);
    EdiDossier->setReadOnly(true);
    EdiDossier->setMinimumWidth(280);
    BDossier = new QPushButton(QStringLiteral("..."), this);
    BDossier->setFixedWidth(25);
    BOk = new QPushButton(QStringLiteral("Ok"), this);
    BOk->setDefault(true);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(ImgQuestion, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(LblMessage, 0, 1, 1, 2);
    grid->addWidget(EdiDossier, 1, 1);
    grid->addWidget(BDossier, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BOk);
    buttons->addWidget(BAnnuler);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(BDossier, &QPushButton::clicked, this, &TDirForm::BDossierClick);
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
    ApplyDialogFont(*this);
}

QString TDirForm::Execute(const QString& caption, const QString& message, const QString& folder) {
    setWindowTitle(caption);
    LblMessage->setText(message);
    EdiDossier->setText(folder);
    adjustSize();
    CentreOnMainWindow(*this);
    BOk->setFocus();
    return exec() == QDialog::Accepted ? EdiDossier->text() : QString();
}

void TDirForm::BDossierClick() {
    if (!m_browse) return;
    const QString chosen = m_browse(LblMessage->text(), EdiDossier->text());
    if (!chosen.isEmpty()) EdiDossier->setText(chosen);
}
