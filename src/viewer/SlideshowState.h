// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The slideshow's own state: whether it runs, its one-second timer, the ticks since the image
// was opened, a pause by key that the same key resumes, and the command line's switch. The
// window decides when it stops or holds; this class keeps the timer in step with it.

#include "browse/ImgZoom.h"

#include <functional>
#include <memory>
#include <optional>

inline constexpr int kSlideshowInterval = 1000;

class TSlideshowState {
public:
    // Without a timer the slideshow uses MakeQtScrollTimer(); onTick runs at every tick.
    TSlideshowState(std::unique_ptr<IScrollTimer> timer, std::function<void()> onTick);
    ~TSlideshowState();
    TSlideshowState(const TSlideshowState&) = delete;
    TSlideshowState& operator=(const TSlideshowState&) = delete;

    bool On() const { return m_on; }
    int Ticks() const { return m_ticks; }
    bool PausedByKey() const { return m_pausedByKey; }

    // Runs or stops the slideshow, and its timer with it.
    void Set(bool on);
    // Stops the timer for a while (an opening, a lost focus, the close question); the slideshow
    // stays on until Restart.
    void Hold();
    // Starts the timer again when the slideshow is on.
    void Restart();

    // An image was opened: its ticks count from 0, and a pause by key is forgotten.
    void ImageOpened();
    // One timer tick, counted even while held (an opening, a scroll): true when the image
    // changes now, after delay ticks.
    bool Tick(int delay, bool held);
    // Space or "P": the state the slideshow takes, or none when the key does nothing. Resuming
    // makes the next tick change the image.
    std::optional<bool> PauseOrResume(int delay);

    // The command line's switch: -1 none, 0 off, 1 on.
    int Switch() const { return m_switch; }
    void SetSwitch(int value) { m_switch = value; }
    // Whether what the command line opened starts the slideshow: a folder or a sequence unless
    // the switch says 0, a single image only when it says 1.
    bool StartsFromCommandLine(bool singleImage) const;

private:
    std::unique_ptr<IScrollTimer> m_timer;
    std::function<void()> m_onTick;
    bool m_on = false;
    bool m_pausedByKey = false;
    int m_ticks = 0;
    int m_switch = -1;
};
