// SPDX-License-Identifier: GPL-2.0-or-later
// Scrolling of images larger than the view: the edge zones, the 700 ms and one-second waits
// (passing at once on the test clock), dragging, the arrow keys, and where scrolling stops.
#include "MainFormFixture.h"

#include <QTest>

namespace {

class ScrollTest : public MainFormTest {
protected:
    // One image at actual size, no decorations, so the view is the display area.
    TMainForm& StartOn(int w, int h, QStringList settings = {}) {
        settings << "zoom=0"
                 << "bcadre=0"
                 << "bombre=0"
                 << "fluidite=2";
        WriteSettings(settings);
        return Start({WriteImage(Img("big.png"), RandomImage(w, h, 3))});
    }
    TRect View() const { return m_form->Zoom().ViewRect(); }
    TRect Image() const { return m_form->Zoom().ImageRect(); }
    QPoint Centre() const {
        const TRect v = View();
        return QPoint((v.Left + v.Right) / 2, (v.Top + v.Bottom) / 2);
    }
    void Key(int key) { QTest::keyClick(m_form->centralWidget(), Qt::Key(key)); }
};

TEST_F(ScrollTest, HitZonesOfAWideImageShownFromItsLeftEdge) {
    StartOn(3000, 100, {"bsa=0"});
    const TRect v = View();
    const int midY = Centre().y();
    struct TCase {
        int x, y, zone;
    };
    const TCase cases[] = {
        {v.Left, midY, -1},    // on the edge is outside
        {v.Left + 1, midY, 0}, // left margin, but the left edge shows
        {v.Left + 14, midY, 0},
        {v.Right - 10, midY, 2}, // right margin, image goes on to the right
        {v.Right - 15, midY, 0}, // not beyond V.right - 15
        {v.Right - 14, midY, 2},
        {v.Right, midY, -1},
        {Centre().x(), v.Top + 1, 0}, // top margin, nothing hidden above
        {v.Right - 1, v.Top + 1, 2},  // corners belong to the side margins
        {Centre().x(), v.Bottom - 1, 0},
        {Centre().x(), midY, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(m_form->HitZone(c.x, c.y), c.zone) << c.x << "," << c.y;
}

TEST_F(ScrollTest, RestingInTheRightMarginScrollsAfterTheWait) {
    StartOn(3000, 100, {"bsa=0"});
    m_form->MouseMoveAt(QPoint(View().Right - 10, Centre().y()), false);
    EXPECT_EQ(m_clock->waits, std::vector<int>{700});
    ASSERT_TRUE(m_form->Zoom().Active());
    EXPECT_EQ(m_form->Zoom().Direction(), sdLeft);
    EXPECT_EQ(m_form->centralWidget()->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(m_scroll->interval, 40);
    const int left = Image().Left;
    m_scroll->onTick();
    EXPECT_EQ(Image().Left, left - 8); // fluidity 2: 8 pixels a tick
    // Back to the middle: the scroll stops and the cursor comes back.
    m_form->MouseMoveAt(Centre(), false);
    EXPECT_FALSE(m_form->Zoom().Active());
    EXPECT_FALSE(m_form->MouseScrollArmed());
    EXPECT_EQ(m_form->centralWidget()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ScrollTest, LeavingTheMarginDuringTheWaitStartsNothing) {
    StartOn(3000, 100, {"bsa=0"});
    m_clock->during = [this](int) { m_form->MouseMoveAt(Centre(), false); };
    m_form->MouseMoveAt(QPoint(View().Right - 10, Centre().y()), false);
    EXPECT_EQ(m_clock->waits.size(), 1u);
    EXPECT_FALSE(m_form->Zoom().Active());
}

TEST_F(ScrollTest, AWaitInsideAWaitReturnsAtOnce) {
    StartOn(3000, 100, {"bsa=0"});
    m_clock->during = [this](int) {
        EXPECT_TRUE(TMainForm::WaitRunning());
        m_form->WaitPumping(500);
    };
    m_form->WaitPumping(100);
    EXPECT_EQ(m_clock->waits, std::vector<int>{100});
    EXPECT_FALSE(TMainForm::WaitRunning());
}

TEST_F(ScrollTest, EdgeScrollingOffLeavesTheMarginsAlone) {
    StartOn(3000, 100, {"bsa=0", "bss=0"});
    m_form->MouseMoveAt(QPoint(View().Right - 10, Centre().y()), false);
    EXPECT_TRUE(m_clock->waits.empty());
    EXPECT_FALSE(m_form->Zoom().Active());
}

TEST_F(ScrollTest, DraggingMovesInStepsOfThreePixels) {
    StartOn(3000, 2000, {"bsa=0"});
    const QPoint c = Centre();
    const TRect before = Image();
    m_form->MouseDownAt(c, Qt::LeftButton, Qt::NoModifier);
    m_form->MouseMoveAt(c + QPoint(-2, 0), true);
    EXPECT_EQ(Image(), before);
    m_form->MouseMoveAt(c + QPoint(-3, 0), true);
    EXPECT_EQ(Image().Left, before.Left - 3);
    EXPECT_EQ(Image().Top, before.Top);
    m_form->MouseMoveAt(c + QPoint(-3, -4), true);
    EXPECT_EQ(Image().Top, before.Top - 4);
    EXPECT_TRUE(m_clock->waits.empty());
}

TEST_F(ScrollTest, ArrowKeysMoveTheViewTheWayTheyPoint) {
    StartOn(3000, 100, {"bsa=0"});
    const int left = Image().Left;
    Key(Qt::Key_Right);
    EXPECT_EQ(Image().Left, left - 8);
    Key(Qt::Key_Left);
    EXPECT_EQ(Image().Left, left);
    // Nothing is hidden on the left: Left does nothing; nothing above or below either.
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_EQ(Image().Left, left);
    m_form->PanBy(-100000, 0);
    ASSERT_EQ(Image().Right, View().Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(Image().Right, View().Right);
}

struct TAutoCase {
    const char* name;
    int w, h;
    ScrollDirection direction;
};

class AutoScroll : public ScrollTest, public ::testing::WithParamInterface<TAutoCase> {};

TEST_P(AutoScroll, StartsAfterOneSecondAndStopsAtTheFarEdge) {
    const TAutoCase& c = GetParam();
    StartOn(c.w, c.h, {"bsa=1"});
    EXPECT_EQ(m_clock->waits, std::vector<int>{1000});
    ASSERT_TRUE(m_form->Zoom().Active());
    EXPECT_EQ(m_form->Zoom().Direction(), c.direction);
    EXPECT_GT(ScrollToEnd(), 0);
    EXPECT_EQ(c.direction == sdUp ? Image().Bottom : Image().Right,
              c.direction == sdUp ? View().Bottom : View().Right);
}

INSTANTIATE_TEST_SUITE_P(Open, AutoScroll,
                         ::testing::Values(TAutoCase{"tall", 200, 3000, sdUp},
                                           TAutoCase{"wide", 3000, 200, sdLeft}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScrollTest, NoAutomaticScrollForAnImageThatFits) {
    StartOn(200, 200, {"bsa=1"});
    EXPECT_TRUE(m_clock->waits.empty());
    EXPECT_FALSE(m_form->Zoom().Active());
}

TEST_F(ScrollTest, SpaceRefreshAndFocusLossStopScrolling) {
    StartOn(200, 3000, {"bsa=1"});
    ASSERT_TRUE(m_form->Zoom().Active());
    Key(Qt::Key_Space);
    EXPECT_FALSE(m_form->Zoom().Active());
    m_form->Zoom().SetActive(true);
    m_form->Refresh();
    EXPECT_FALSE(m_form->Zoom().Active());
    m_form->Zoom().SetActive(true);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(m_form->Zoom().Active());
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(m_form->Zoom().Active());
}

TEST_F(ScrollTest, AnImageOpenedDuringTheWaitIsNotScrolledByTheEarlierOpening) {
    WriteSettings({"zoom=0", "bsa=1"});
    const QString small = WriteImage(Img("small.png"), UniformImage(50, 50, Grey(9)));
    const QString tall = WriteImage(Img("tall.png"), UniformImage(100, 3000, Grey(99)));
    Start({small});
    m_clock->during = [&](int) {
        m_clock->during = nullptr;
        m_form->OpenImage(small, false);
    };
    m_form->OpenImage(tall, false);
    EXPECT_EQ(CurrentWidth(), 50);
    EXPECT_FALSE(m_form->Zoom().Active());
}

TEST_F(ScrollTest, MouseThroughTheViewWidgetReachesBufferCoordinates) {
    StartOn(3000, 100, {"bsa=0"});
    QWidget* view = m_form->centralWidget();
    const QPoint offset = m_form->ViewToClient(QPointF(0, 0));
    const QPoint target(View().Right - 10, Centre().y());
    QMouseEvent move(QEvent::MouseMove, QPointF(target - offset),
                     view->mapToGlobal(QPointF(target - offset)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    EXPECT_TRUE(m_form->Zoom().Active());
    EXPECT_EQ(m_form->Zoom().Direction(), sdLeft);
}

} // namespace
