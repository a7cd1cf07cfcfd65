// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/ThemedControl.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

TThemedCustomControl::TThemedCustomControl(QWidget* parent) : QWidget(parent) {}

void TThemedCustomControl::SetBorderStyle(TBorderStyle style) {
    m_borderStyle = style;
    ClientResized();
    update();
}

int TThemedCustomControl::FrameWidth() const {
    if (m_borderStyle == TBorderStyle::None) return 0;
    return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
}

QRect TThemedCustomControl::ClientRect() const {
    const int f = FrameWidth();
    return rect().adjusted(f, f, -f, -f);
}

void TThemedCustomControl::paintEvent(QPaintEvent*) {
    if (m_borderStyle == TBorderStyle::None) return;
    QPainter p(this);
    QStyleOptionFrame opt;
    opt.initFrom(this);
    opt.lineWidth = FrameWidth();
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, this);
}

void TThemedCustomControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ClientResized();
}
