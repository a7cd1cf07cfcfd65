// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The colour swatch of the colour edit and its drop-down palette of 40 colours.

#include "core/Color.h"

#include <QWidget>
#include <array>
#include <functional>

// Reading order, 8 columns by 5 rows.
inline constexpr int kPaletteColumns = 8;
inline constexpr int kPaletteRows = 5;
inline constexpr int kPaletteCount = kPaletteColumns * kPaletteRows;
inline constexpr int kPaletteCell = 18;
inline constexpr int kPaletteMarginX = 8;
inline constexpr int kPaletteEdge = 2;

extern const std::array<TColor, kPaletteCount> kPopupPalette;

// The cell holding colour c (system colours resolved), or -1.
int PaletteIndexOf(TColor c);
// The cell the arrow key moves to from index; any arrow from no cell (-1) goes to the first.
int PaletteWalk(int index, int key);
// Top-left of a pop-up of the given size under the anchor, or above it when the screen has no
// room below, kept inside the screen horizontally.
QPoint PopupPosition(const QRect& anchor, const QSize& popup, const QRect& screen);

class TColorPopup : public QWidget {
    Q_OBJECT
public:
    explicit TColorPopup(QWidget* parent = nullptr);

    // Marks the cell of current (if any) and shows the pop-up by the anchor (global rect).
    void Open(TColor current, const QRect& anchor);

    int SelectedIndex() const { return m_selected; }
    int FocusedIndex() const { return m_focused; }
    QRect CellRect(int index) const;
    int CellAt(const QPoint& pos) const;

    // A colour was chosen (the pop-up then closes).
    std::function<void(TColor)> OnSelect;
    // The pop-up was closed, with or without a choice.
    std::function<void()> OnClose;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Choose(int index);

    int m_selected = -1;
    int m_focused = -1;
};

// The swatch: the colour in a rectangle with a one-pixel button-shadow outline, or a grey hatch
// while disabled.
class TColorPicker : public QWidget {
    Q_OBJECT
public:
    explicit TColorPicker(QWidget* parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor c);

    // Space around the outlined rectangle.
    static constexpr int kMargin = 1;

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TColor m_color = clBlack;
};
