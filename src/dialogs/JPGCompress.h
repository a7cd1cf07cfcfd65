// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The JPEG save options: the quality (five times the track position, 5..100) and baseline or
// progressive encoding. The dialog is kept between saves, so it offers the last choice again.

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

struct TJpegChoice {
    int Quality = 90;
    bool Progressive = false;
    friend bool operator==(const TJpegChoice&, const TJpegChoice&) = default;
};

class TJPGCompressForm : public QDialog {
    Q_OBJECT
public:
    explicit TJPGCompressForm(QWidget* parent = nullptr);

    // Shows the dialog as it was left; the choice on OK, nothing on Cancel.
    std::optional<TJpegChoice> Execute();
    TJpegChoice Choice() const;

    QSlider* TBN;
    QLabel* LblN;
    QRadioButton* RBStandard;
    QRadioButton* RBProgressif;
    QPushButton* BOk;
    QPushButton* BAnnuler;

private:
    void TBNChange();
};
