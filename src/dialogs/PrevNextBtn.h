// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A square button with one arrow, as wide as a scroll bar's arrow (the colour edit's drop-down
// arrow).

#include <QAbstractButton>
#include <QTimer>
#include <functional>

enum class TArrowDirection { Up, Down, Left, Right };

enum class TArrowClickMode {
    OnRelease,         // released over the button
    OnPressAfterPause, // 100 ms after the press
    OnPress,           // at once on the press
};

class TPrevNextButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TPrevNextButton(QWidget* parent = nullptr);

    TArrowDirection Direction() const { return m_direction; }
    void SetDirection(TArrowDirection direction);
    TArrowClickMode ClickMode() const { return m_mode; }
    void SetClickMode(TArrowClickMode mode) { m_mode = mode; }

    std::function<void()> OnClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Fire();

    TArrowDirection m_direction = TArrowDirection::Down;
    TArrowClickMode m_mode = TArrowClickMode::OnRelease;
    QTimer m_pause;
};
