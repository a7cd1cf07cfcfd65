// SPDX-License-Identifier: GPL-2.0-or-later
// The slideshow's state without a window: its timer, the ticks before a change, the pause by
// key and the command line's switch.
#include "viewer/SlideshowState.h"
#include "MainFormFixture.h"

namespace {

class SlideshowStateTest : public ::testing::Test {
protected:
    std::shared_ptr<TFakeTimerState> m_timer = std::make_shared<TFakeTimerState>();
    int m_fired = 0;
    TSlideshowState m_show{std::make_unique<TFakeTimer>(m_timer), [this] { ++m_fired; }};
};

TEST_F(SlideshowStateTest, TimerRunsOnlyWhileOnAndNotHeld) {
    EXPECT_FALSE(m_timer->running);
    m_show.Restart(); // off: nothing to restart
    EXPECT_FALSE(m_timer->running);
    m_show.Set(true);
    ASSERT_TRUE(m_timer->running);
    EXPECT_EQ(m_timer->interval, 1000);
    m_timer->onTick();
    EXPECT_EQ(m_fired, 1);
    m_show.Hold();
    EXPECT_FALSE(m_timer->running);
    EXPECT_TRUE(m_show.On());
    m_show.Restart();
    EXPECT_TRUE(m_timer->running);
    m_show.Set(false);
    m_show.Restart();
    EXPECT_FALSE(m_timer->running);
    EXPECT_FALSE(m_show.On());
}

TEST(SlideshowStateLifetime, GoingAwayStopsTheTimer) {
    auto timer = std::make_shared<TFakeTimerState>();
    {
        TSlideshowState show(std::make_unique<TFakeTimer>(timer), [] {});
        show.Set(true);
        ASSERT_TRUE(timer->running);
    }
    EXPECT_FALSE(timer->running);
}

TEST_F(SlideshowStateTest, ChangesAfterDelayTicksAndHeldTicksCount) {
    struct TCase {
        std::vector<bool> held; // one per tick
        int changesAt;          // 1-based tick that changes the image; 0: none
    };
    const TCase cases[] = {
        {{false, false, false, false}, 3},
        {{true, true, true, false}, 4}, // held past the delay: the first free tick changes
        {{false, false, true, true}, 0},
        {{false, true, false, false}, 3},
    };
    for (const TCase& c : cases) {
        m_show.ImageOpened();
        int changedAt = 0;
        for (size_t i = 0; i < c.held.size() && changedAt == 0; ++i)
            if (m_show.Tick(3, c.held[i])) changedAt = int(i) + 1;
        EXPECT_EQ(changedAt, c.changesAt) << "case " << (&c - cases);
    }
}

TEST_F(SlideshowStateTest, KeyPausesAndOnlyAPauseByKeyResumes) {
    EXPECT_EQ(m_show.PauseOrResume(3), std::nullopt); // never started
    m_show.Set(true);
    m_show.Tick(3, false);
    EXPECT_EQ(m_show.PauseOrResume(3), std::optional<bool>(false));
    EXPECT_TRUE(m_show.PausedByKey());
    m_show.Set(false);
    EXPECT_EQ(m_show.PauseOrResume(3), std::optional<bool>(true));
    EXPECT_FALSE(m_show.PausedByKey());
    EXPECT_EQ(m_show.Ticks(), 3); // the next tick changes the image
    EXPECT_TRUE(m_show.Tick(3, false));

    // A pause by key is forgotten once another image opens.
    m_show.Set(true);
    m_show.PauseOrResume(3);
    m_show.Set(false);
    m_show.ImageOpened();
    EXPECT_EQ(m_show.PauseOrResume(3), std::nullopt);
    EXPECT_EQ(m_show.Ticks(), 0);
}

TEST_F(SlideshowStateTest, CommandLineSwitchDecidesWhatStarts) {
    struct TCase {
        int switchValue;
        bool folderStarts, imageStarts;
    };
    for (const TCase& c : {TCase{-1, true, false}, TCase{0, false, false}, TCase{1, true, true}}) {
        m_show.SetSwitch(c.switchValue);
        EXPECT_EQ(m_show.StartsFromCommandLine(false), c.folderStarts) << c.switchValue;
        EXPECT_EQ(m_show.StartsFromCommandLine(true), c.imageStarts) << c.switchValue;
    }
}

} // namespace
