// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/ScrollState.h"

#include "browse/MainLayout.h"

#include <cstdlib>

namespace {

// One wait at a time in the whole program.
bool g_waitRunning = false;

} // namespace

TScrollState::TScrollState(TImageZoomScrolling& zoom, std::unique_ptr<IPumpingClock> clock,
                           std::function<void(const TRect&)> show,
                           std::function<void(Qt::CursorShape)> cursor)
    : m_zoom(zoom), m_clock(clock ? std::move(clock) : MakeQtPumpingClock()),
      m_show(std::move(show)), m_cursor(std::move(cursor)) {
    m_zoom.SetInterval(kScrollInterval);
    m_zoom.OnScroll = [this](TImageZoomScrolling& z) { m_show(z.ViewRect()); };
    m_zoom.OnStop = [this](TImageZoomScrolling&) {
        if (m_mouseArmed) m_cursor(Qt::ArrowCursor);
    };
}

void TScrollState::Stop() {
    m_zoom.SetActive(false);
}

bool TScrollState::WaitRunning() {
    return g_waitRunning;
}

void TScrollState::Wait(int ms) {
    if (g_waitRunning) return;
    struct TMark {
        TMark() { g_waitRunning = true; }
        ~TMark() { g_waitRunning = false; }
    } mark;
    m_clock->Pump(ms);
}

void TScrollState::AutoScroll(const std::function<bool()>& stillWanted) {
    if (!m_exceedsView) return;
    m_mouseArmed = false;
    Wait(kAutoScrollDelay);
    if (m_exceedsView && stillWanted()) m_zoom.SetActive(true);
}

int TScrollState::HitZone(QPoint p, double ratio) const {
    const TRect& v = m_zoom.ViewRect();
    const int margin = DeviceLength(kEdgeMargin, ratio);
    const int x = p.x(), y = p.y();
    if (x <= v.Left || x >= v.Right || y <= v.Top || y >= v.Bottom) return -1;
    if (x < v.Left + margin) return m_zoom.CanScroll(TViewSide::Left) ? 1 : 0;
    if (x > v.Right - margin) return m_zoom.CanScroll(TViewSide::Right) ? 2 : 0;
    if (y < v.Top + margin) return m_zoom.CanScroll(TViewSide::Top) ? 3 : 0;
    if (y > v.Bottom - margin) return m_zoom.CanScroll(TViewSide::Bottom) ? 4 : 0;
    return 0;
}

void TScrollState::PanBy(int dx, int dy) {
    m_show(m_zoom.ScrollBy(dx, dy, false));
}

void TScrollState::MouseMove(QPoint p, bool leftHeld, bool edgeScrolling, double ratio) {
    if (!m_exceedsView) return;
    const int zone = HitZone(p, ratio);
    if (edgeScrolling && !leftHeld) RestAt(zone);
    if (leftHeld && zone == 0) DragTo(p, DeviceLength(kDragStep, ratio));
}

void TScrollState::RestAt(int zone) {
    if (zone <= 0) {
        m_cursor(Qt::ArrowCursor);
        if (m_mouseArmed) Stop();
        m_mouseArmed = false;
        return;
    }
    if (m_mouseArmed) return; // the scroll goes on until the edge or the mouse leaves
    m_cursor(zone <= 2 ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    // The image moves so that its hidden part on that side comes into view.
    static constexpr ScrollDirection kToward[] = {sdRight, sdLeft, sdDown, sdUp};
    m_zoom.SetDirection(kToward[zone - 1]);
    m_mouseArmed = true;
    Wait(kEdgeScrollDelay);
    // The mouse may have left the margin meanwhile, or this wait was nested in another.
    if (m_mouseArmed && !WaitRunning()) m_zoom.SetActive(true);
}

void TScrollState::DragTo(QPoint p, int step) {
    // Smaller moves add up until they reach a step.
    const int dx = p.x() - m_lastMouse.x();
    const int dy = p.y() - m_lastMouse.y();
    if (std::abs(dx) < step && std::abs(dy) < step) return;
    PanBy(dx, dy);
    m_lastMouse = p;
}
