// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Scrolling an image larger than its view: by itself after an opening, when the mouse rests in
// an edge margin, by dragging and by steps. It drives the zoom view's scroller and keeps what
// the mouse did; the waits before a scroll starts keep handling window events, one at a time in
// the whole program. Points are in the coordinates of the zoom view's canvas.

#include "browse/ImgZoom.h"
#include "core/Rect.h"
#include "viewer/PumpingClock.h"

#include <QPoint>
#include <functional>
#include <memory>
#include <qnamespace.h>

inline constexpr int kScrollInterval = 40;
inline constexpr int kAutoScrollDelay = 1000;
inline constexpr int kEdgeScrollDelay = 700;
// In window pixels, made device pixels with the pixel ratio.
inline constexpr int kEdgeMargin = 15;
inline constexpr int kDragStep = 3;
inline constexpr int kArrowStep = 8;

class TScrollState {
public:
    // The clock times the waits (the program's when none); show copies a rectangle of the
    // canvas to the window and cursor sets the view's mouse cursor.
    TScrollState(TImageZoomScrolling& zoom, std::unique_ptr<IPumpingClock> clock,
                 std::function<void(const TRect&)> show,
                 std::function<void(Qt::CursorShape)> cursor);

    // Whether the image shown goes beyond its view; only then does it scroll by itself.
    bool ExceedsView() const { return m_exceedsView; }
    void SetExceedsView(bool exceeds) { m_exceedsView = exceeds; }
    // The mouse rests in an edge margin: a scroll runs, or is about to start, because of it.
    bool MouseArmed() const { return m_mouseArmed; }

    void Stop();
    // Handles window events for ms milliseconds; a nested call returns at once.
    void Wait(int ms);
    static bool WaitRunning();
    // After an opening: a second's wait, then the scroller starts in its direction, unless
    // stillWanted() or the image's place says otherwise by then.
    void AutoScroll(const std::function<bool()>& stillWanted);

    // -1 outside the view; 1..4 in the left, right, top, bottom margin where the image goes on
    // beyond that edge; 0 elsewhere.
    int HitZone(QPoint p, double ratio) const;
    void PanBy(int dx, int dy);
    // edgeScrolling: resting in a margin scrolls; a held left button drags the image.
    void MouseMove(QPoint p, bool leftHeld, bool edgeScrolling, double ratio);
    void MouseDown(QPoint p) { m_lastMouse = p; }

private:
    void RestAt(int zone);
    void DragTo(QPoint p, int step);

    TImageZoomScrolling& m_zoom;
    std::unique_ptr<IPumpingClock> m_clock;
    std::function<void(const TRect&)> m_show;
    std::function<void(Qt::CursorShape)> m_cursor;
    bool m_exceedsView = false;
    bool m_mouseArmed = false;
    QPoint m_lastMouse;
};
