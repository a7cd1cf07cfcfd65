// SPDX-License-Identifier: GPL-2.0-or-later
// Slideshow ticks driven by hand, pausing with Space, the end of the list, full-screen mode
// and the Escape rules.
#include "MainFormFixture.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

namespace {

class SlideshowTest : public MainFormTest {
protected:
    // A folder of count images on the command line: the slideshow runs from the first.
    TMainForm& StartShow(int count, QStringList settings = {}) {
        settings << "bsa=0"
                 << "delai=3";
        WriteSettings(settings);
        WriteSeries(Img(""), count);
        return Start({Img("")});
    }
    void Key(int key) { QTest::keyClick(m_form->centralWidget(), Qt::Key(key)); }
    int Index() const { return m_form->Sequence().Current(); }
};

TEST_F(SlideshowTest, NextImageOnTheThirdTickAfterOpening) {
    StartShow(3);
    ASSERT_TRUE(m_form->SlideshowOn());
    EXPECT_EQ(m_slideshow->interval, 1000);
    TickSlideshow(2);
    EXPECT_EQ(Index(), 0);
    TickSlideshow();
    EXPECT_EQ(Index(), 1);
    EXPECT_EQ(CurrentWidth(), 50);
    EXPECT_EQ(m_form->SlideshowTicks(), 0);
    TickSlideshow(3);
    EXPECT_EQ(Index(), 2);
}

struct TEndCase {
    const char* name;
    bool loop;
    bool quit;
    int index; // -1: the window closed
    bool stillOn;
};

class EndOfList : public SlideshowTest, public ::testing::WithParamInterface<TEndCase> {};

TEST_P(EndOfList, LoopsQuitsOrStops) {
    const TEndCase& c = GetParam();
    StartShow(5, {QString("bboucler=%1").arg(c.loop), QString("bquitter=%1").arg(c.quit)});
    m_form->LastImage();
    ASSERT_EQ(Index(), 4);
    // A modified list never delays the exit at the end of a slideshow.
    m_form->Sequence().SetCurrentComment("changed");
    TickSlideshow(3);
    if (c.index < 0) {
        EXPECT_TRUE(Closed());
        EXPECT_TRUE(m_dialogs.Messages.empty());
        return;
    }
    EXPECT_FALSE(Closed());
    EXPECT_EQ(Index(), c.index);
    EXPECT_EQ(m_form->SlideshowOn(), c.stillOn);
    EXPECT_EQ(m_form->windowTitle(), c.stillOn ? "Tavelune - Diaporama" : "Tavelune");
}

INSTANTIATE_TEST_SUITE_P(Slideshow, EndOfList,
                         ::testing::Values(TEndCase{"loops", true, false, 0, true},
                                           TEndCase{"quits", true, true, -1, false},
                                           TEndCase{"stops", false, false, 4, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SlideshowTest, SpacePausesAndResumesWithAChangeAtTheNextTick) {
    StartShow(3);
    TickSlideshow(1);
    Key(Qt::Key_Space);
    EXPECT_FALSE(m_form->SlideshowOn());
    EXPECT_TRUE(m_form->PausedByKey());
    EXPECT_FALSE(m_slideshow->running);
    Key(Qt::Key_P);
    EXPECT_TRUE(m_form->SlideshowOn());
    TickSlideshow();
    EXPECT_EQ(Index(), 1);
}

TEST_F(SlideshowTest, SpaceDoesNotResumeASlideshowStoppedByItsCommand) {
    StartShow(3);
    m_form->SlideshowCommand();
    EXPECT_FALSE(m_form->SlideshowOn());
    Key(Qt::Key_Space);
    EXPECT_FALSE(m_form->SlideshowOn());
    EXPECT_FALSE(m_slideshow->running);
}

TEST_F(SlideshowTest, RestartKeepsTheTicksAlreadyCounted) {
    StartShow(3);
    TickSlideshow(2);
    m_form->SlideshowCommand();
    m_form->SlideshowCommand();
    TickSlideshow();
    EXPECT_EQ(Index(), 1);
}

TEST_F(SlideshowTest, AListOfOneOpensTheSequenceManagerInstead) {
    WriteSettings({"bsa=0"});
    const QStringList images = WriteSeries(Img(""), 1);
    TMainForm& form = Start({images[0]});
    int managerShown = 0;
    form.OnSequenceManager = [&] { ++managerShown; };
    form.SlideshowCommand();
    EXPECT_EQ(managerShown, 1);
    EXPECT_FALSE(form.SlideshowOn());
}

TEST_F(SlideshowTest, TicksWaitForTheScrollerAndForAnOpening) {
    WriteSettings({"bsa=1", "delai=1", "zoom=0"});
    WriteImage(Img("a.png"), UniformImage(4000, 50, Grey(100)));
    WriteImage(Img("b.png"), UniformImage(50, 50, Grey(200)));
    Start({Img("")});
    ASSERT_TRUE(m_form->Zoom().Active());
    TickSlideshow(5);
    EXPECT_EQ(Index(), 0);
    EXPECT_GT(ScrollToEnd(), 0);
    TickSlideshow();
    EXPECT_EQ(Index(), 1);
}

TEST_F(SlideshowTest, OpeningSuspendsTheTimerAndTheFocusStopsAndRestartsIt) {
    StartShow(3);
    const int starts = m_slideshow->starts;
    m_form->NextImage();
    EXPECT_TRUE(m_slideshow->running);
    EXPECT_EQ(m_slideshow->starts, starts + 1);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(m_slideshow->running);
    EXPECT_TRUE(m_form->SlideshowOn());
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(m_slideshow->running);
}

TEST_F(SlideshowTest, FullScreenHidesTheBarsAndRestoresTheBounds) {
    WriteSettings({"bsa=0"});
    TMainForm& form = Start({WriteSeries(Img(""), 1)[0]}, QSize(800, 600));
    const QRect before = form.geometry();
    form.SetFullScreen(true);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(form.IsFullScreen());
    EXPECT_EQ(form.NormalBounds(), before);
    EXPECT_FALSE(form.menuBar()->isVisible());
    EXPECT_FALSE(form.statusBar()->isVisible());
    // The display area is the whole window less the margin.
    EXPECT_EQ(form.DisplayArea(), (TRect{5, 5, form.width() - 5, form.height() - 5}));
    form.UpdateMainMenu();
    EXPECT_TRUE(form.MainMenuAction(TCommand::FullScreen)->isChecked());
    form.SetFullScreen(false);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(form.IsFullScreen());
    EXPECT_EQ(form.geometry(), before);
    EXPECT_TRUE(form.menuBar()->isVisible());
    EXPECT_TRUE(form.statusBar()->isVisible());
}

struct TEscapeCase {
    const char* name;
    bool startFull; // pe=1 in the settings file
    bool enterFull; // switched on after start-up
    int escapes;    // Escape presses
    bool closed;
    bool fullAfter;
};

class EscapeRules : public SlideshowTest, public ::testing::WithParamInterface<TEscapeCase> {};

TEST_P(EscapeRules, LeaveFullScreenOrClose) {
    const TEscapeCase& c = GetParam();
    WriteSettings({c.startFull ? "pe=1" : "pe=0", "bsa=0"});
    TMainForm& form = Start({WriteSeries(Img(""), 1)[0]});
    EXPECT_EQ(form.FullScreenAtStartup(), c.startFull);
    if (c.enterFull) form.RunCommand(TCommand::FullScreen);
    for (int i = 0; i < c.escapes; ++i)
        Key(Qt::Key_Escape);
    EXPECT_EQ(Closed(), c.closed);
    EXPECT_EQ(form.IsFullScreen(), c.fullAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EscapeRules,
    ::testing::Values(TEscapeCase{"windowCloses", false, false, 1, true, false},
                      TEscapeCase{"fullScreenReturnsToWindow", false, true, 1, false, false},
                      TEscapeCase{"secondEscapeCloses", false, true, 2, true, false},
                      TEscapeCase{"startedFullScreenCloses", true, false, 1, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SlideshowTest, DoubleClickLeavesFullScreenOnly) {
    WriteSettings({"bsa=0"});
    TMainForm& form = Start({WriteSeries(Img(""), 1)[0]});
    int settingsAsked = 0;
    form.OnSettingsDialog = [&] { ++settingsAsked; };
    form.SetFullScreen(true);
    form.DoubleClick();
    EXPECT_FALSE(form.IsFullScreen());
    EXPECT_EQ(settingsAsked, 0);
}

} // namespace
