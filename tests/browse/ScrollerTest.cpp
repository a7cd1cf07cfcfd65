// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestImages.h"
#include "browse/ImgZoom.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// A clock the test fires by hand; it records what the scroller asked of it.
class TFakeTimer final : public IScrollTimer {
public:
    struct State {
        bool running = false;
        int interval = 0;
        int starts = 0, stops = 0;
        std::function<void()> onTick;
    };
    explicit TFakeTimer(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    void Start(int intervalMs, std::function<void()> onTick) override {
        m_state->running = true;
        m_state->interval = intervalMs;
        m_state->onTick = std::move(onTick);
        ++m_state->starts;
    }
    void Stop() override {
        m_state->running = false;
        ++m_state->stops;
    }

private:
    std::shared_ptr<State> m_state;
};

// A 100 x 100 image in a 40 x 30 canvas, with every callback recorded.
class ScrollerTest : public ::testing::Test {
protected:
    ScrollerTest()
        : m_timer(std::make_shared<TFakeTimer::State>()),
          m_zoom(std::make_unique<TFakeTimer>(m_timer)) {
        m_image = RandomImage(100, 100, 5);
        NewImage(m_canvas, 40, 30, clBlack);
        m_zoom.SetCanvas(&m_canvas);
        m_zoom.SetBitmap(&m_image);
        m_zoom.OnStart = [this](TImageZoomScrolling&) { m_events.push_back("start"); };
        m_zoom.OnScroll = [this](TImageZoomScrolling&) { m_events.push_back("scroll"); };
        m_zoom.OnStop = [this](TImageZoomScrolling&) { m_events.push_back("stop"); };
    }

    // Fires the timer the way the event loop would.
    void Fire(int times = 1) {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(m_timer->running);
            m_timer->onTick();
        }
    }

    std::shared_ptr<TFakeTimer::State> m_timer;
    TImageZoomScrolling m_zoom;
    TBitmap m_image, m_canvas;
    std::vector<std::string> m_events;
};

TEST_F(ScrollerTest, InitialValues) {
    EXPECT_EQ(m_zoom.Direction(), sdRight);
    EXPECT_EQ(m_zoom.Step(), 3);
    EXPECT_EQ(m_zoom.Interval(), 100);
    EXPECT_FALSE(m_zoom.Active());
    EXPECT_FALSE(m_timer->running);
}

struct DirectionCase {
    ScrollDirection direction;
    uint16_t step;
    int dx, dy;
};

class DirectionTest : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionTest, VelocityFollowsDirectionAndStep) {
    const DirectionCase c = GetParam();
    TImageZoomScrolling zoom(std::make_unique<TFakeTimer>(std::make_shared<TFakeTimer::State>()));
    zoom.SetStep(c.step);
    zoom.SetDirection(c.direction);
    EXPECT_EQ(zoom.VelocityX(), c.dx);
    EXPECT_EQ(zoom.VelocityY(), c.dy);
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectionTest,
                         ::testing::Values(DirectionCase{sdRight, 3, 3, 0},
                                           DirectionCase{sdLeft, 8, -8, 0},
                                           DirectionCase{sdDown, 16, 0, 16},
                                           DirectionCase{sdUp, 1, 0, -1},
                                           DirectionCase{sdUp, 0, 0, -1}, // step 0 counts as 1
                                           DirectionCase{sdLeft, 65535, -65535, 0}));

TEST_F(ScrollerTest, IntervalBelowOneCountsAsOne) {
    m_zoom.SetInterval(0);
    EXPECT_EQ(m_zoom.Interval(), 1);
    m_zoom.SetInterval(-5);
    EXPECT_EQ(m_zoom.Interval(), 1);
    m_zoom.SetInterval(40);
    EXPECT_EQ(m_zoom.Interval(), 40);
}

TEST_F(ScrollerTest, StartTakesVelocityFromDirectionAndStepAtThatMoment) {
    m_zoom.SetDirection(sdLeft); // velocity -3
    m_zoom.SetStep(8);           // not applied until the start
    EXPECT_EQ(m_zoom.VelocityX(), -3);
    m_zoom.SetInterval(40);
    m_zoom.SetActive(true);
    EXPECT_TRUE(m_zoom.Active());
    EXPECT_EQ(m_zoom.VelocityX(), -8);
    EXPECT_TRUE(m_timer->running);
    EXPECT_EQ(m_timer->interval, 40);
    EXPECT_EQ(m_events, std::vector<std::string>{"start"});
}

TEST_F(ScrollerTest, TicksMoveUntilTheFarEdgeThenStop) {
    // The image's right edge lies 60 beyond the view: 7 ticks of 8, 4 left for the eighth.
    m_zoom.SetDirection(sdLeft);
    m_zoom.SetStep(8);
    m_zoom.SetActive(true);
    Fire(7);
    EXPECT_EQ(m_zoom.ImageLeft(), -56);
    Fire();
    EXPECT_EQ(m_zoom.ImageLeft(), -60);
    EXPECT_EQ(m_zoom.Alignment(), zaFree);
    EXPECT_TRUE(m_zoom.Active());
    Fire();
    EXPECT_FALSE(m_zoom.Active());
    EXPECT_FALSE(m_timer->running);
    std::vector<std::string> expected{"start"};
    expected.insert(expected.end(), 8, "scroll");
    expected.push_back("stop");
    EXPECT_EQ(m_events, expected);
}

TEST_F(ScrollerTest, ScrollDrawsTheViewIntoTheCanvas) {
    m_zoom.SetDirection(sdUp);
    m_zoom.SetStep(16);
    m_zoom.SetActive(true);
    Fire();
    EXPECT_EQ(m_zoom.ImageTop(), -16);
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 9)
            EXPECT_EQ(PixelAt(m_canvas, x, y), PixelAt(m_image, x, y + 16));
}

TEST_F(ScrollerTest, StartedAtTheFarEdgeStopsAtTheFirstTick) {
    m_zoom.SetDirection(sdRight); // the left edge is already in view
    m_zoom.SetActive(true);
    Fire();
    EXPECT_FALSE(m_zoom.Active());
    EXPECT_EQ(m_zoom.ImageLeft(), 0);
    EXPECT_EQ(m_events, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(ScrollerTest, SettingTheSameStateDoesNothing) {
    m_zoom.SetActive(false);
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(m_timer->stops, 0);
    m_zoom.SetActive(true);
    m_zoom.SetActive(true);
    EXPECT_EQ(m_timer->starts, 1);
    m_zoom.SetActive(false);
    EXPECT_EQ(m_events, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(ScrollerTest, DoesNotStartWithoutImageOrCanvas) {
    m_zoom.SetBitmap(nullptr);
    m_zoom.SetActive(true);
    EXPECT_FALSE(m_zoom.Active());
    m_zoom.SetBitmap(&m_image);
    m_zoom.SetCanvas(nullptr);
    m_zoom.SetActive(true);
    EXPECT_FALSE(m_zoom.Active());
    EXPECT_TRUE(m_events.empty());
    EXPECT_FALSE(m_timer->running);
}

TEST_F(ScrollerTest, LosingTheImageWhileActiveStopsAtTheNextTick) {
    m_zoom.SetDirection(sdLeft);
    m_zoom.SetActive(true);
    m_zoom.SetBitmap(nullptr);
    Fire();
    EXPECT_FALSE(m_zoom.Active());
    EXPECT_FALSE(m_timer->running);
    EXPECT_EQ(m_events, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(ScrollerTest, TickWhileStoppedDoesNothing) {
    m_zoom.SetDirection(sdLeft);
    m_zoom.Tick();
    EXPECT_EQ(m_zoom.ImageLeft(), 0);
    EXPECT_TRUE(m_events.empty());
}

TEST_F(ScrollerTest, NewIntervalWhileActiveRestartsTheTimer) {
    m_zoom.SetActive(true);
    m_zoom.SetInterval(40);
    EXPECT_EQ(m_timer->interval, 40);
    EXPECT_TRUE(m_timer->running);
    EXPECT_EQ(m_timer->starts, 2);
}

TEST_F(ScrollerTest, UnsetCallbacksAreSkipped) {
    m_zoom.OnStart = nullptr;
    m_zoom.OnScroll = nullptr;
    m_zoom.OnStop = nullptr;
    m_zoom.SetDirection(sdDown);
    m_zoom.SetActive(true);
    Fire();
    EXPECT_FALSE(m_zoom.Active());
}

} // namespace
