// SPDX-License-Identifier: GPL-2.0-or-later
// The slideshow, full-screen mode, the waits that keep handling events, and scrolling: by
// itself after opening, at the view's edges, by dragging and by the arrow keys.
#include "browse/MainLayout.h"
#include "browse/ZoomPolicy.h"
#include "viewer/Main.h"
#include "viewer/MainView.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <cstdlib>

namespace {

// One wait at a time in the whole program.
bool g_waitRunning = false;

} // namespace

void TMainForm::SetSlideshow(bool on) {
    if (on)
        m_slideshowTimer->Start(kSlideshowInterval, [this] { SlideshowTick(); });
    else
        m_slideshowTimer->Stop();
    setWindowTitle(on ? QStringLiteral("Tavelune - Diaporama") : QStringLiteral("Tavelune"));
    m_slideshowOn = on;
    UpdateToolbar();
}

void TMainForm::SlideshowCommand() {
    if (m_slideshowOn)
        SetSlideshow(false);
    else if (m_sequence.HasSeveral())
        SetSlideshow(true);
    else
        SequenceManagerCommand();
}

void TMainForm::SlideshowTick() {
    ++m_ticks;
    if (m_opening || m_zoom->Active() || m_ticks < m_settings.delai) return;
    if (m_sequence.IsAtLast() && m_settings.bquitter) {
        close();
        return;
    }
    const QString path = m_sequence.Next(m_settings.bboucler);
    if (path.isEmpty())
        SetSlideshow(false);
    else
        OpenFromList(path);
}

void TMainForm::PauseOrResume() {
    StopScrolling();
    if (m_slideshowOn) {
        m_pausedByKey = true;
        SetSlideshow(false);
    } else if (m_pausedByKey) {
        m_pausedByKey = false;
        m_ticks = m_settings.delai;
        SetSlideshow(true);
    }
}

void TMainForm::SetFullScreen(bool on) {
    if (on == m_fullScreen) return;
    m_layoutSuspended = true;
    m_fullScreen = on;
    if (on) {
        m_normalBounds = geometry();
        menuBar()->hide();
        m_toolBar->hide();
        statusBar()->hide();
        setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowFullScreen);
    } else {
        setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
        if (m_normalBounds.isValid()) setGeometry(m_normalBounds);
        menuBar()->show();
        m_toolBar->show();
        statusBar()->show();
    }
    m_layoutSuspended = false;
    Layout();
    Refresh();
}

void TMainForm::EscapeKey() {
    if (!m_fullScreen || m_fullScreenAtStartup)
        close();
    else
        SetFullScreen(false);
}

bool TMainForm::WaitRunning() {
    return g_waitRunning;
}

void TMainForm::WaitPumping(int ms) {
    if (g_waitRunning) return;
    struct TMark {
        TMark() { g_waitRunning = true; }
        ~TMark() { g_waitRunning = false; }
    } mark;
    m_clock->Pump(ms);
}

void TMainForm::StopScrolling() {
    m_zoom->SetActive(false);
}

void TMainForm::AutoScrollAfterOpen() {
    if (!m_settings.bsa || !m_exceedsView) return;
    m_mouseScrollArmed = false;
    const unsigned opening = m_openCount;
    WaitPumping(kAutoScrollDelay);
    // Another image opened during the wait scrolls (or not) on its own account.
    if (opening != m_openCount || m_closing || !m_exceedsView) return;
    m_zoom->SetActive(true);
}

int TMainForm::HitZone(int x, int y) const {
    const TRect& v = m_zoom->ViewRect();
    const int margin = DeviceLength(kEdgeMargin, PixelRatio());
    if (x <= v.Left || x >= v.Right || y <= v.Top || y >= v.Bottom) return -1;
    if (x < v.Left + margin) return m_zoom->CanScroll(TViewSide::Left) ? 1 : 0;
    if (x > v.Right - margin) return m_zoom->CanScroll(TViewSide::Right) ? 2 : 0;
    if (y < v.Top + margin) return m_zoom->CanScroll(TViewSide::Top) ? 3 : 0;
    if (y > v.Bottom - margin) return m_zoom->CanScroll(TViewSide::Bottom) ? 4 : 0;
    return 0;
}

void TMainForm::PanBy(int dx, int dy) {
    ShowRect(m_zoom->ScrollBy(dx, dy, false));
}

void TMainForm::SetViewCursor(Qt::CursorShape shape) {
    m_view->setCursor(shape);
}

void TMainForm::MouseMoveAt(QPoint p, bool leftHeld) {
    if (!m_exceedsView) return;
    const int zone = HitZone(p.x(), p.y());
    if (m_settings.bss && !leftHeld) {
        if (zone <= 0) {
            SetViewCursor(Qt::ArrowCursor);
            if (m_mouseScrollArmed) StopScrolling();
            m_mouseScrollArmed = false;
        } else if (!m_mouseScrollArmed) {
            SetViewCursor(zone <= 2 ? Qt::SizeHorCursor : Qt::SizeVerCursor);
            static constexpr ScrollDirection kToward[] = {sdRight, sdLeft, sdDown, sdUp};
            m_zoom->SetDirection(kToward[zone - 1]);
            m_mouseScrollArmed = true;
            WaitPumping(kEdgeScrollDelay);
            if (m_mouseScrollArmed && !WaitRunning()) m_zoom->SetActive(true);
        }
    }
    if (leftHeld && zone == 0) {
        const int dx = p.x() - m_lastMouse.x();
        const int dy = p.y() - m_lastMouse.y();
        const int step = DeviceLength(kDragStep, PixelRatio());
        if (std::abs(dx) >= step || std::abs(dy) >= step) {
            PanBy(dx, dy);
            m_lastMouse = p;
        }
    }
}

void TMainForm::MouseDownAt(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    m_lastMouse = p;
    if (button == Qt::LeftButton && (modifiers & Qt::ShiftModifier)) OpenLinkedImage();
}

bool TMainForm::HandleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    // Keys with Ctrl or Alt belong to the shortcuts.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const int arrow = DeviceLength(kArrowStep, PixelRatio());
    switch (key) {
    case Qt::Key_Escape:
        EscapeKey();
        return true;
    case Qt::Key_Left:
        PanBy(arrow, 0);
        return true;
    case Qt::Key_Up:
        PanBy(0, arrow);
        return true;
    case Qt::Key_Right:
        PanBy(-arrow, 0);
        return true;
    case Qt::Key_Down:
        PanBy(0, -arrow);
        return true;
    case Qt::Key_Space:
    case Qt::Key_P:
        PauseOrResume();
        return true;
    default:
        break;
    }
    if (text == QLatin1String("+") || text == QLatin1String("=")) {
        ZoomCommand(TCommand::ZoomIn);
        return true;
    }
    if (text == QLatin1String("-")) {
        ZoomCommand(TCommand::ZoomOut);
        return true;
    }
    if (text.size() == 1 && text[0] >= u'0' && text[0] <= u'8') {
        DigitZoom(text[0].unicode() - u'0');
        return true;
    }
    return false;
}

void TMainForm::DigitZoom(int zoom) {
    m_settings.zoom = zoom;
    m_manualZoom = false;
    Refresh();
}

void TMainForm::ZoomCommand(TCommand command) {
    if (m_image.Empty()) return;
    switch (command) {
    case TCommand::ZoomIn:
        ZoomIn(*m_zoom);
        break;
    case TCommand::ZoomOut:
        ZoomOut(*m_zoom);
        break;
    case TCommand::OriginalSize:
        m_zoom->SetZoomMode(zmActualSize);
        break;
    case TCommand::FitToScreen:
        m_zoom->SetZoomMode(zmFitScreen);
        break;
    default:
        return;
    }
    m_manualZoom = true;
    Refresh();
}
