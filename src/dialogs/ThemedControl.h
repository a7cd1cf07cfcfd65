// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A base control whose single border is drawn like the desktop's edit-box frame.

#include <QWidget>

enum class TBorderStyle { None, Single };

class TThemedCustomControl : public QWidget {
    Q_OBJECT
public:
    explicit TThemedCustomControl(QWidget* parent = nullptr);

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    // The area inside the border.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Called when the client area changes size or place.
    virtual void ClientResized() {}
    void resizeEvent(QResizeEvent* event) override;

private:
    int FrameWidth() const;

    TBorderStyle m_borderStyle = TBorderStyle::Single;
};
