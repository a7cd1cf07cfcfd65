// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/SlideshowState.h"

TSlideshowState::TSlideshowState(std::unique_ptr<IScrollTimer> timer, std::function<void()> onTick)
    : m_timer(timer ? std::move(timer) : MakeQtScrollTimer()), m_onTick(std::move(onTick)) {}

TSlideshowState::~TSlideshowState() {
    m_timer->Stop();
}

void TSlideshowState::Set(bool on) {
    m_on = on;
    if (on)
        Restart();
    else
        Hold();
}

void TSlideshowState::Hold() {
    m_timer->Stop();
}

void TSlideshowState::Restart() {
    if (m_on) m_timer->Start(kSlideshowInterval, m_onTick);
}

void TSlideshowState::ImageOpened() {
    m_ticks = 0;
    m_pausedByKey = false;
}

bool TSlideshowState::Tick(int delay, bool held) {
    ++m_ticks;
    return !held && m_ticks >= delay;
}

std::optional<bool> TSlideshowState::PauseOrResume(int delay) {
    if (m_on) {
        m_pausedByKey = true;
        return false;
    }
    if (!m_pausedByKey) return std::nullopt;
    m_pausedByKey = false;
    m_ticks = delay;
    return true;
}

bool TSlideshowState::StartsFromCommandLine(bool singleImage) const {
    return singleImage ? m_switch == 1 : m_switch != 0;
}
