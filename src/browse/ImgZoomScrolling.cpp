// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ImgZoom.h"

#include <QTimer>

namespace {

class TQtScrollTimer final : public IScrollTimer {
public:
    TQtScrollTimer() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_onTick) m_onTick();
        });
    }

    void Start(int intervalMs, std::function<void()> onTick) override {
        m_onTick = std::move(onTick);
        m_timer.start(intervalMs);
    }
    void Stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
    std::function<void()> m_onTick;
};

} // namespace

std::unique_ptr<IScrollTimer> MakeQtScrollTimer() {
    return std::make_unique<TQtScrollTimer>();
}

TImageZoomScrolling::TImageZoomScrolling(std::unique_ptr<IScrollTimer> timer)
    : m_timer(timer ? std::move(timer) : MakeQtScrollTimer()) {}

TImageZoomScrolling::~TImageZoomScrolling() {
    if (m_active) m_timer->Stop();
}

void TImageZoomScrolling::SetDirection(ScrollDirection d) {
    m_direction = d;
    switch (d) {
    case sdRight:
        m_dx = m_step, m_dy = 0;
        break;
    case sdLeft:
        m_dx = -m_step, m_dy = 0;
        break;
    case sdDown:
        m_dx = 0, m_dy = m_step;
        break;
    case sdUp:
        m_dx = 0, m_dy = -m_step;
        break;
    }
}

void TImageZoomScrolling::SetStep(uint16_t n) {
    m_step = n == 0 ? 1 : n;
}

void TImageZoomScrolling::SetInterval(int ms) {
    m_interval = ms < 1 ? 1 : ms;
    if (m_active) m_timer->Start(m_interval, [this] { Tick(); });
}

void TImageZoomScrolling::SetActive(bool on) {
    if (on == m_active) return;
    // Stopping is always allowed, so that a scroller whose image went away cannot tick forever.
    if (on && (!Bitmap() || !Canvas())) return;
    m_active = on;
    if (on) {
        SetDirection(m_direction);
        m_timer->Start(m_interval, [this] { Tick(); });
        if (OnStart) OnStart(*this);
    } else {
        m_timer->Stop();
        if (OnStop) OnStop(*this);
    }
}

void TImageZoomScrolling::Tick() {
    if (!m_active) return;
    if (RectEmpty(ScrollBy(m_dx, m_dy, false))) {
        SetActive(false);
        return;
    }
    if (OnScroll) OnScroll(*this);
}
