// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The central area of the main window: shows its part of the screen buffer and hands the mouse
// to the main window. It never erases its background: every pixel comes from the buffer.

#include "browse/WheelNotches.h"

#include <QWidget>

class TMainForm;

class TMainView : public QWidget {
    Q_OBJECT
public:
    explicit TMainView(TMainForm& form);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TMainForm& m_form;
    TWheelNotches m_wheel;
};
