// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/PrevNextBtn.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

QStyle::PrimitiveElement ArrowElement(TArrowDirection d) {
    switch (d) {
    case TArrowDirection::Up:
        return QStyle::PE_IndicatorArrowUp;
    case TArrowDirection::Left:
        return QStyle::PE_IndicatorArrowLeft;
    case TArrowDirection::Right:
        return QStyle::PE_IndicatorArrowRight;
    case TArrowDirection::Down:
        break;
    }
    return QStyle::PE_IndicatorArrowDown;
}

} // namespace

TPrevNextButton::TPrevNextButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    m_pause.setSingleShot(true);
    m_pause.setInterval(100);
    connect(&m_pause, &QTimer::timeout, this, [this] { Fire(); });
    connect(this, &QAbstractButton::pressed, this, [this] {
        if (m_mode == TArrowClickMode::OnPress)
            Fire();
        else if (m_mode == TArrowClickMode::OnPressAfterPause)
            m_pause.start();
    });
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_mode == TArrowClickMode::OnRelease) Fire();
    });
}

void TPrevNextButton::SetDirection(TArrowDirection direction) {
    m_direction = direction;
    update();
}

QSize TPrevNextButton::sizeHint() const {
    const int side = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {side, side};
}

void TPrevNextButton::Fire() {
    if (isEnabled() && OnClick) OnClick();
}

void TPrevNextButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    opt.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p, this);
    opt.rect = rect().adjusted(2, 2, -2, -2);
    style()->drawPrimitive(ArrowElement(m_direction), &opt, &p, this);
}
