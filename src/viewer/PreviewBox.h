// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A fixed-size picture that shows a bitmap of its own size, drawn by the code that owns it.

#include "core/Bitmap.h"

#include <QWidget>

class TPreviewBox : public QWidget {
    Q_OBJECT
public:
    TPreviewBox(int width, int height, QWidget* parent = nullptr);

    TBitmap& Picture() { return m_picture; }
    const TBitmap& Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap m_picture;
};
