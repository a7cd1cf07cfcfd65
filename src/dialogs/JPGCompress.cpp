// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/JPGCompress.h"

#include "dialogs/DialogHost.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

TJPGCompressForm::TJPGCompressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
    ApplyDialogFont(*this);
    setWindowTitle(QStringLiteral("JPEG"));

    TBN = new QSlider(Qt::Horizontal, this);
    TBN->setRange(1, 20);
    TBN->setSingleStep(1);
    TBN->setPageStep(1);
    TBN->setTickPosition(QSlider::TicksBelow);
    TBN->setValue(18);
    LblN = new QLabel(this);
    RBStandard = new QRadioButton(QStringLiteral("Standard"), this);
    RBProgressif = new QRadioButton(QStringLiteral("Progressive"), this);
    RBStandard->setChecked(true);
    BOk = new QPushButton(QStringLiteral("Ok"), this);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), this);
    BOk->setDefault(true);

    auto* track = new QGridLayout;
    track->addWidget(LblN, 0, 0, 1, 2);
    track->addWidget(TBN, 1, 0, 1, 2);
    track->addWidget(new QLabel(QStringLiteral("Low quality"), this), 2, 0, Qt::AlignLeft);
    track->addWidget(new QLabel(QStringLiteral("Best quality"), this), 2, 1, Qt::AlignRight);
    auto* encoding = new QHBoxLayout;
    encoding->addWidget(RBStandard);
    encoding->addWidget(RBProgressif);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BOk);
    buttons->addWidget(BAnnuler);
    auto* all = new QVBoxLayout(this);
    all->addLayout(track);
    all->addLayout(encoding);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);

    connect(TBN, &QSlider::valueChanged, this, [this] { TBNChange(); });
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
    TBNChange();
}

void TJPGCompressForm::TBNChange() {
    LblN->setText(QStringLiteral("Compression : %1").arg(5 * TBN->value()));
}

TJpegChoice TJPGCompressForm::Choice() const {
    return {5 * TBN->value(), RBProgressif->isChecked()};
}

std::optional<TJpegChoice> TJPGCompressForm::Execute() {
    CentreOnMainWindow(*this);
    BOk->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Choice();
}
