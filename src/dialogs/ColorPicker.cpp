#include "dialogs/ColorPicker.h"

#include "dialogs/DialogHost.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

constexpr TColor Hex(uint32_t rgb) {
    return RGBColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QColor MenuColour() {
    return QApplication::palette("QMenu").color(QPalette::Window);
}

} // namespace

const std::array<TColor, kPaletteCount> kPopupPalette = {
    Hex(0x000000), Hex(0x993300), Hex(0x333300), Hex(0x003300), Hex(0x003366), Hex(0x000080),
    Hex(0x333399), Hex(0x333333), Hex(0x800000), Hex(0xFF6600), Hex(0x808000), Hex(0x008000),
    Hex(0x008080), Hex(0x0000FF), Hex(0x666699), Hex(0x808080), Hex(0xFF0000), Hex(0xFF9900),
    Hex(0x99CC00), Hex(0x339966), Hex(0x33CCCC), Hex(0x3366FF), Hex(0x800080), Hex(0x969696),
    Hex(0xFF00FF), Hex(0xFFCC00), Hex(0xFFFF00), Hex(0x00FF00), Hex(0x00FFFF), Hex(0x00CCFF),
    Hex(0x993366), Hex(0xC0C0C0), Hex(0xFF99CC), Hex(0xFFCC99), Hex(0xFFFF99), Hex(0xCCFFCC),
    Hex(0xCCFFFF), Hex(0x99CCFF), Hex(0xCC99FF), Hex(0xFFFFFF),
};

int PaletteIndexOf(TColor c) {
    const TColor v = ResolveColor(c);
    const auto it = std::find(kPopupPalette.begin(), kPopupPalette.end(), v);
    return it == kPopupPalette.end() ? -1 : int(it - kPopupPalette.begin());
}

int PaletteWalk(int index, int key) {
    if (index < 0 || index >= kPaletteCount) return 0;
    switch (key) {
    case Qt::Key_Right:
        return (index + 1) % kPaletteCount;
    case Qt::Key_Left:
        return (index + kPaletteCount - 1) % kPaletteCount;
    case Qt::Key_Down:
        return index + kPaletteColumns < kPaletteCount ? index + kPaletteColumns : 0;
    case Qt::Key_Up:
        return index >= kPaletteColumns ? index - kPaletteColumns : kPaletteCount - 1;
    default:
        return index;
    }
}

QPoint PopupPosition(const QRect& anchor, const QSize& popup, const QRect& screen) {
    const int anchorBottom = anchor.y() + anchor.height();
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    int x = std::min(anchor.x(), screenRight - popup.width());
    x = std::max(x, screen.x());
    const int y =
        anchorBottom + popup.height() <= screenBottom ? anchorBottom : anchor.y() - popup.height();
    return {x, y};
}

// The pop-up.

TColorPopup::TColorPopup(QWidget* parent) : QWidget(parent, Qt::Popup) {
    setFixedSize(2 * (kPaletteEdge + kPaletteMarginX) + kPaletteColumns * kPaletteCell,
                 2 * kPaletteEdge + kPaletteRows * kPaletteCell);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

QRect TColorPopup::CellRect(int index) const {
    const int col = index % kPaletteColumns, row = index / kPaletteColumns;
    return {kPaletteEdge + kPaletteMarginX + col * kPaletteCell, kPaletteEdge + row * kPaletteCell,
            kPaletteCell, kPaletteCell};
}

int TColorPopup::CellAt(const QPoint& pos) const {
    for (int i = 0; i < kPaletteCount; ++i)
        if (CellRect(i).contains(pos)) return i;
    return -1;
}

void TColorPopup::Open(TColor current, const QRect& anchor) {
    m_selected = PaletteIndexOf(current);
    m_focused = m_selected;
    // The screen of the edit, which may not be the one the pop-up showed on last time.
    QScreen* on = QGuiApplication::screenAt(anchor.center());
    if (on == nullptr && parentWidget() != nullptr) on = parentWidget()->screen();
    if (on != nullptr) setScreen(on);
    const QRect screen = on != nullptr ? on->geometry() : QRect();
    move(screen.isEmpty() ? anchor.bottomLeft() : PopupPosition(anchor, size(), screen));
    show();
    setFocus();
    update();
}

void TColorPopup::Choose(int index) {
    if (index >= 0 && index < kPaletteCount && OnSelect) OnSelect(kPopupPalette[index]);
    close();
}

void TColorPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Choose(m_focused);
        return;
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_focused = PaletteWalk(m_focused, event->key());
        update();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TColorPopup::mouseMoveEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell >= 0 && cell != m_focused) {
        m_focused = cell;
        update();
    }
}

void TColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell >= 0) Choose(cell);
}

void TColorPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (OnClose) OnClose();
}

void TColorPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), MenuColour());
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = kPaletteEdge;
    style()->drawPrimitive(QStyle::PE_FrameMenu, &frame, &p, this);
    const QColor outline = QColorOf(clBtnShadow);
    for (int i = 0; i < kPaletteCount; ++i) {
        const QRect cell = CellRect(i);
        if (i == m_selected) p.fillRect(cell, palette().color(QPalette::Highlight).lighter(160));
        if (i == m_focused) {
            p.setPen(palette().color(QPalette::Highlight));
            p.drawRect(cell.adjusted(0, 0, -1, -1));
        }
        const QRect swatch = cell.adjusted(3, 3, -3, -3);
        p.fillRect(swatch, QColorOf(kPopupPalette[i]));
        p.setPen(outline);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
}

// The swatch.

TColorPicker::TColorPicker(QWidget* parent) : QWidget(parent) {}

void TColorPicker::SetColor(TColor c) {
    m_color = c;
    update();
}

void TColorPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (r.isEmpty()) return;
    if (isEnabled())
        p.fillRect(r, QColorOf(m_color));
    else
        p.fillRect(r, QBrush(QColorOf(clBtnShadow), Qt::DiagCrossPattern));
    p.setPen(QColorOf(clBtnShadow));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (parentWidget() != nullptr && parentWidget()->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = r.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void TColorPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick();
}
