// SPDX-License-Identifier: GPL-2.0-or-later
// Scrolling without a window: a wide image in a small canvas, the scroller's timer and the
// clock of the waits driven by hand, what is shown and the cursors recorded.
#include "viewer/ScrollState.h"
#include "MainFormFixture.h"

namespace {

class ScrollStateTest : public ::testing::Test {
protected:
    // A 600 x 100 image at actual size in a 200 x 100 view, its left edge showing.
    ScrollStateTest() {
        m_image = RandomImage(600, 100, 7);
        NewImage(m_canvas, 200, 100, clBlack);
        m_zoom.SetCanvas(&m_canvas);
        m_zoom.SetBitmap(&m_image);
        m_zoom.SetStep(10);
        m_scroll.SetExceedsView(true);
    }
    // Past the margin at the right edge, mid-height.
    QPoint RightMargin() const { return {190, 50}; }
    QPoint Middle() const { return {100, 50}; }

    TBitmap m_image, m_canvas;
    std::shared_ptr<TFakeTimerState> m_timer = std::make_shared<TFakeTimerState>();
    std::shared_ptr<TClockState> m_clock = std::make_shared<TClockState>();
    TImageZoomScrolling m_zoom{std::make_unique<TFakeTimer>(m_timer)};
    std::vector<TRect> m_shown;
    std::vector<Qt::CursorShape> m_cursors;
    TScrollState m_scroll{m_zoom, std::make_unique<TFakeClock>(m_clock),
                          [this](const TRect& r) { m_shown.push_back(r); },
                          [this](Qt::CursorShape c) { m_cursors.push_back(c); }};
};

TEST_F(ScrollStateTest, EdgeMarginsGrowWithThePixelRatio) {
    struct TCase {
        int x;
        double ratio;
        int zone;
    };
    const TCase cases[] = {
        {186, 1, 2}, {185, 1, 0},  {171, 2, 2}, {170, 2, 0}, {20, 2, 0}, // left edge shows
        {0, 1, -1},  {200, 2, -1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(m_scroll.HitZone({c.x, 50}, c.ratio), c.zone) << c.x << " at " << c.ratio;
}

TEST_F(ScrollStateTest, RestingInAMarginScrollsAfterTheWaitUnlessTheMouseLeft) {
    struct TCase {
        const char* name;
        std::function<void(TScrollState&)> during; // what happens during the 700 ms
        bool scrolls;
    };
    const TCase cases[] = {
        {"stays", [](TScrollState&) {}, true},
        {"leaves",
         [](TScrollState& s) {
             s.MouseMove({100, 50}, false, true, 1);
         },
         false},
        {"moves within",
         [](TScrollState& s) {
             s.MouseMove({195, 60}, false, true, 1);
         },
         true},
    };
    for (const TCase& c : cases) {
        m_scroll.MouseMove(Middle(), false, true, 1); // disarmed
        m_clock->waits.clear();
        m_clock->during = [&](int) { c.during(m_scroll); };
        m_scroll.MouseMove(RightMargin(), false, true, 1);
        EXPECT_EQ(m_clock->waits, std::vector<int>{kEdgeScrollDelay}) << c.name;
        EXPECT_EQ(m_zoom.Active(), c.scrolls) << c.name;
        EXPECT_EQ(m_scroll.MouseArmed(), c.scrolls) << c.name;
        EXPECT_EQ(m_cursors.back(), c.scrolls ? Qt::SizeHorCursor : Qt::ArrowCursor) << c.name;
        if (c.scrolls) {
            EXPECT_EQ(m_zoom.Direction(), sdLeft) << c.name;
        }
        m_clock->during = nullptr;
    }
}

TEST_F(ScrollStateTest, AScrollRunsToTheEdgeAndThenRestoresTheCursor) {
    m_scroll.MouseMove(RightMargin(), false, true, 1);
    ASSERT_TRUE(m_zoom.Active());
    int ticks = 0;
    while (m_timer->running && ticks < 1000) {
        m_timer->onTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 41); // 400 hidden pixels, 10 a tick, then the tick that finds the edge
    EXPECT_EQ(m_zoom.ImageLeft(), -400);
    EXPECT_EQ(m_shown.size(), 40u);
    EXPECT_EQ(m_cursors.back(), Qt::ArrowCursor);
}

TEST_F(ScrollStateTest, AWaitInsideAnotherReturnsAtOnceAndStartsNothing) {
    bool nestedSawWait = false;
    m_clock->during = [&](int) {
        nestedSawWait = TScrollState::WaitRunning();
        m_scroll.MouseMove(RightMargin(), false, true, 1);
    };
    m_scroll.Wait(500);
    EXPECT_TRUE(nestedSawWait);
    EXPECT_EQ(m_clock->waits, std::vector<int>{500}); // the nested wait did not pump
    EXPECT_TRUE(m_scroll.MouseArmed());
    EXPECT_FALSE(m_zoom.Active());
    EXPECT_FALSE(TScrollState::WaitRunning());
}

TEST_F(ScrollStateTest, DragMovesOnceTheStepIsReachedEitherWay) {
    m_scroll.MouseDown({100, 50});
    m_scroll.MouseMove({98, 50}, true, true, 1);
    EXPECT_EQ(m_zoom.ImageLeft(), 0);
    EXPECT_TRUE(m_shown.empty());
    m_scroll.MouseMove({97, 51}, true, true, 1); // the small moves add up
    EXPECT_EQ(m_zoom.ImageLeft(), -3);
    ASSERT_EQ(m_shown.size(), 1u);
    m_scroll.MouseMove({95, 51}, true, true, 2); // 6 device pixels at ratio 2
    EXPECT_EQ(m_zoom.ImageLeft(), -3);
    m_scroll.MouseMove({91, 51}, true, true, 2);
    EXPECT_EQ(m_zoom.ImageLeft(), -9);
    EXPECT_FALSE(m_zoom.Active()); // dragging never starts the scroller
}

TEST_F(ScrollStateTest, AutoScrollWaitsASecondThenAsksWhetherItIsStillWanted) {
    struct TCase {
        bool exceeds, wanted;
        std::vector<int> waits;
        bool scrolls;
    };
    const TCase cases[] = {
        {true, true, {kAutoScrollDelay}, true},
        {true, false, {kAutoScrollDelay}, false},
        {false, true, {}, false},
    };
    for (const TCase& c : cases) {
        m_scroll.Stop();
        m_clock->waits.clear();
        m_scroll.SetExceedsView(c.exceeds);
        m_scroll.AutoScroll([&] { return c.wanted; });
        EXPECT_EQ(m_clock->waits, c.waits);
        EXPECT_EQ(m_zoom.Active(), c.scrolls);
    }
    // An opening that came during the wait may leave the image inside the view.
    m_scroll.Stop();
    m_scroll.SetExceedsView(true);
    m_clock->during = [&](int) { m_scroll.SetExceedsView(false); };
    m_scroll.AutoScroll([] { return true; });
    EXPECT_FALSE(m_zoom.Active());
}

} // namespace
