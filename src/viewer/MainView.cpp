// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/MainView.h"

#include "viewer/Main.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

TMainView::TMainView(TMainForm& form) : QWidget(&form), m_form(form) {
    // Every pixel comes from the screen buffer: no background is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

namespace {

// Rows of the screen buffer made 32-bit per step. Painting wants 32-bit pixels: given the 24-bit
// buffer, Qt converts it through its generic path on pool threads at every paint of the window.
constexpr int kPaintRows = 64;

// The 24-bit pixels of the rectangle from as opaque 32-bit ones at the top of dst.
void RowsTo32(const QImage& src, const QRect& from, QImage& dst) {
    for (int y = 0; y < from.height(); ++y) {
        const uchar* s = src.constScanLine(from.top() + y) + 3 * from.left();
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = 0; x < from.width(); ++x, s += 3)
            d[x] = qRgb(s[2], s[1], s[0]); // stored blue, green, red
    }
}

// The buffer's pixels from origin on, one to one onto target; what lies outside the buffer is
// left unpainted, as the painter's own clipping of a source rectangle does.
void PaintRows(QPainter& painter, const QImage& buffer, const QRect& target, QPoint origin) {
    const QRect from = QRect(origin, target.size()) & buffer.rect();
    if (from.isEmpty()) return;
    const QPoint to = target.topLeft() + (from.topLeft() - origin);
    QImage rows(from.width(), std::min(kPaintRows, from.height()), QImage::Format_RGB32);
    if (rows.isNull()) return;
    for (int y = 0; y < from.height(); y += rows.height()) {
        const QRect part(from.left(), from.top() + y, from.width(),
                         std::min(rows.height(), from.height() - y));
        RowsTo32(buffer, part, rows);
        painter.drawImage(to + QPoint(0, y), rows, QRect(QPoint(0, 0), part.size()));
    }
}

} // namespace

void TMainView::paintEvent(QPaintEvent* event) {
    const TBitmap& buffer = m_form.ScreenBuffer();
    if (!buffer.Empty()) {
        QPainter painter(this);
        const double ratio = m_form.PixelRatio();
        const QRect target = event->rect();
        const QPointF origin = QPointF(target.topLeft() + m_form.ClientOffset()) * ratio;
        if (ratio == 1.0 && buffer.Image().format() == QImage::Format_BGR888)
            PaintRows(painter, buffer.Image(), target, origin.toPoint());
        else
            painter.drawImage(QRectF(target), buffer.Image(),
                              QRectF(origin, QSizeF(target.size()) * ratio));
    }
    // The first paint opens what the command line names, once the window is on screen.
    if (!m_form.FirstPaintDone() && !m_form.m_firstPaintQueued) {
        m_form.m_firstPaintQueued = true;
        QTimer::singleShot(0, &m_form, [form = &m_form] { form->FirstPaint(); });
    }
}

void TMainView::resizeEvent(QResizeEvent*) {
    m_form.ViewResized();
}

void TMainView::mouseMoveEvent(QMouseEvent* event) {
    m_form.MouseMoveAt(m_form.ViewToClient(event->position()),
                       event->buttons().testFlag(Qt::LeftButton));
}

void TMainView::mousePressEvent(QMouseEvent* event) {
    m_form.MouseDownAt(m_form.ViewToClient(event->position()), event->button(), event->modifiers());
}

void TMainView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_form.DoubleClick();
}

void TMainView::wheelEvent(QWheelEvent* event) {
    // One image per notch, however many events the wheel splits it into.
    const int notches = m_wheel.Add(event->angleDelta().y());
    for (int i = 0; i < std::abs(notches); ++i)
        m_form.WheelStep(notches < 0);
    event->accept();
}

void TMainView::contextMenuEvent(QContextMenuEvent* event) {
    m_form.UpdatePopupMenu();
    m_form.PopupMenu()->exec(event->globalPos());
}
