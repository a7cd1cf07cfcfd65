#include "viewer/MainView.h"

#include "viewer/Main.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>

TMainView::TMainView(TMainForm& form) : QWidget(&form), m_form(form) {
    // Every pixel comes from the screen buffer: no background is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TMainView::paintEvent(QPaintEvent* event) {
    const TBitmap& buffer = m_form.ScreenBuffer();
    if (!buffer.Empty()) {
        QPainter painter(this);
        const double ratio = m_form.PixelRatio();
        const QRect target = event->rect();
        const QPointF origin = QPointF(target.topLeft() + m_form.ClientOffset()) * ratio;
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
