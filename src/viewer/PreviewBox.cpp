// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/PreviewBox.h"

#include <QPainter>

TPreviewBox::TPreviewBox(int width, int height, QWidget* parent) : QWidget(parent) {
    setFixedSize(width, height);
    NewImage(m_picture, width, height, clWhite);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_picture.Image());
}
