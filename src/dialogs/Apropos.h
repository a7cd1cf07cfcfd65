// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The About box: name, version, a blinking logo, the rights notice and the maker's web address.

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class TMyBevel;

// The product's own details.
extern const char* const kProductName;
extern const char* const kProductVersion;
extern const char* const kProductRelease; // month and year
extern const char* const kRightsNotice;
extern const char* const kMakerName;
extern const char* const kMakerWebAddress;

// The two logo pictures (72 x 71); the second is the flash of the blink.
QPixmap LogoPicture(bool flash);

class TAProposForm : public QDialog {
    Q_OBJECT
public:
    explicit TAProposForm(QWidget* parent = nullptr);

    void Execute();
    // One 100 ms step of the blink.
    void TimerTimer();
    int TickCount() const { return m_ticks; }

    QFrame* Panel1;
    QFrame* Panel2;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* ProductName;
    QLabel* Version;
    TMyBevel* Bevel1;
    QLabel* Copyright;
    QLabel* Maker;
    QLabel* URL;
    QPushButton* BOk;
    QTimer* Timer;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_ticks = 0;
};
