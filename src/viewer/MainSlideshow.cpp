// SPDX-License-Identifier: GPL-2.0-or-later
// The slideshow, full-screen mode and the window's side of scrolling: the mouse, the arrow
// keys and the zoom keys.
#include "browse/MainLayout.h"
#include "browse/ZoomPolicy.h"
#include "viewer/Main.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

void TMainForm::SetSlideshow(bool on) {
    m_slideshow.Set(on);
    setWindowTitle(on ? QStringLiteral("Tavelune - Diaporama") : QStringLiteral("Tavelune"));
    UpdateToolbar();
}

void TMainForm::SlideshowCommand() {
    if (m_slideshow.On())
        SetSlideshow(false);
    else if (m_sequence.HasSeveral())
        SetSlideshow(true);
    else
        SequenceManagerCommand();
}

void TMainForm::SlideshowTick() {
    // An opening in progress or a scroll holds the image.
    if (!m_slideshow.Tick(m_settings.delai, m_opening.Busy() || m_zoom->Active())) return;
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
    if (const std::optional<bool> on = m_slideshow.PauseOrResume(m_settings.delai))
        SetSlideshow(*on);
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

void TMainForm::AutoScrollAfterOpen() {
    if (!m_settings.bsa) return;
    // Another image opened during the wait scrolls (or not) on its own account.
    const unsigned opening = m_opening.Count();
    m_scroll.AutoScroll([this, opening] { return opening == m_opening.Count() && !m_closing; });
}

void TMainForm::MouseMoveAt(QPoint p, bool leftHeld) {
    m_scroll.MouseMove(p, leftHeld, m_settings.bss, PixelRatio());
}

void TMainForm::MouseDownAt(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    m_scroll.MouseDown(p);
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
