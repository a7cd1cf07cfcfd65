// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The save scope asked in full-screen mode: the image alone or the whole screen picture. The
// dialog is kept between saves, so it offers the last choice again.

#include <QDialog>
#include <optional>

class QPushButton;
class QRadioButton;

enum class TSaveScope { ImageOnly, FullScreen };

class TEnregistrerForm : public QDialog {
    Q_OBJECT
public:
    explicit TEnregistrerForm(QWidget* parent = nullptr);

    // The scope on OK, nothing on Cancel.
    std::optional<TSaveScope> Execute();
    TSaveScope Scope() const;

    QRadioButton* RBImage;
    QRadioButton* RBEcran;
    QPushButton* BtnOk;
    QPushButton* BtnAnnuler;
};
