// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A drawing-only control for rules, frames and gradients (the message box's heading rule, the
// About box's separator). Each style is painted by PaintBevel, which works on any QPainter.

#include "core/Color.h"

#include <QWidget>

class QPainter;

enum TBevelStyle {
    bsFill,
    bsLine,
    bsSeparator,
    bsBox,
    bsFrame,
    bsGradient,
    bsGradientV,
    bsGradientH,
    bsDoubleGradient,
    bsLowered,
    bsRaised,
    bsShadowBox,
};

struct TBevelLook {
    TBevelStyle Style = bsSeparator;
    TColor Color = clBtnFace;
    TColor DrawColor = clBlack;
    int BorderWidth = 1;
};

void PaintBevel(QPainter& painter, const QRect& r, const TBevelLook& look);

// Lines of a gradient from one colour to another: line d of n gets, per channel,
// from + d * (to - from) / n truncated toward zero.
TColor GradientStep(TColor from, TColor to, int d, int n);

class TMyBevel : public QWidget {
    Q_OBJECT
public:
    explicit TMyBevel(QWidget* parent = nullptr);

    TBevelStyle Style() const { return m_look.Style; }
    void SetStyle(TBevelStyle style);
    TColor Color() const { return m_look.Color; }
    void SetColor(TColor c);
    TColor DrawColor() const { return m_look.DrawColor; }
    void SetDrawColor(TColor c);
    int BorderWidth() const { return m_look.BorderWidth; }
    void SetBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBevelLook m_look;
};
