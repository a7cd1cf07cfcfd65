// SPDX-License-Identifier: GPL-2.0-or-later
// The shortcut keys, owned by the pop-up menu: each runs its item when the item's rule enables
// it and is swallowed otherwise; and the keys the window handles itself.
#include "MainFormFixture.h"

#include "dialogs/DialogHost.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>

namespace {

using enum TCommand;

class MenuKeysTest : public MainFormTest {
public:
    TFilesState& Files() { return *m_files; }
    TCommandDialogsState& Commands() { return *m_commands; }
    TScriptedUserDialogs& Dialogs() { return m_dialogs; }

protected:
    TMainForm& StartActive(int count = 3) {
        WriteSettings({"bsa=0"});
        m_images = WriteSeries(Img(""), count);
        TMainForm& form = Start({m_images[1]});
        form.activateWindow();
        for (int i = 0; i < 10 && QApplication::activeWindow() != &form; ++i)
            QCoreApplication::processEvents();
        return form;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(m_form->centralWidget(), Qt::Key(key), modifiers);
    }
    QStringList m_images;
};

// What a key's command leaves behind, read from the scripted seams and the window.
struct TKeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool runsInSlideshow; // the item stays enabled while the slideshow runs
    std::function<bool(MenuKeysTest&, TMainForm&)> ran;
};

class ShortcutKeys : public MenuKeysTest, public ::testing::WithParamInterface<TKeyCase> {
protected:
    int m_hooks = 0;
};

TEST_P(ShortcutKeys, RunWhenEnabledAndAreSwallowedOtherwise) {
    const TKeyCase& c = GetParam();
    TMainForm& form = StartActive();
    ASSERT_EQ(QApplication::activeWindow(), &form);
    form.OnSettingsDialog = [this] { ++m_hooks; };
    form.OnSequenceManager = [this] { ++m_hooks; };
    form.OnLoadTheme = [this] { ++m_hooks; };
    SetUrlOpener([](const QUrl&) { return true; });
    QGuiApplication::clipboard()->clear();
    m_dialogs.MessageAnswers.push_back(mrNo); // never sends a file to the real trash

    form.SetSlideshow(true);
    Key(c.key, c.modifiers);
    EXPECT_EQ(c.ran(*this, form), c.runsInSlideshow) << "during the slideshow";
    if (c.runsInSlideshow) return;
    EXPECT_TRUE(form.SlideshowOn()) << "a swallowed key leaves the slideshow on";

    form.SetSlideshow(false);
    Key(c.key, c.modifiers);
    EXPECT_TRUE(c.ran(*this, form)) << "with an image and no slideshow";
    SetUrlOpener(nullptr);
}

bool Asked(const TScriptedUserDialogs& d, const QString& heading) {
    for (const TRecordedInput& i : d.Inputs)
        if (i.Heading == heading) return true;
    return false;
}

bool Messaged(const TScriptedUserDialogs& d, const QString& start) {
    for (const TRecordedMessage& m : d.Messages)
        if (m.Text.startsWith(start)) return true;
    return false;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ShortcutKeys,
    ::testing::Values(
        TKeyCase{"ctrlSSave", Qt::Key_S, Qt::ControlModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return !t.Files().saves.empty(); }},
        TKeyCase{"ctrlPPrint", Qt::Key_P, Qt::ControlModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return !t.Commands().prints.empty(); }},
        TKeyCase{"ctrlCCopy", Qt::Key_C, Qt::ControlModifier, false,
                 [](MenuKeysTest&, TMainForm& f) {
                     return QGuiApplication::clipboard()->image().size() ==
                            QSize(f.WorkingImage().Width(), f.WorkingImage().Height());
                 }},
        TKeyCase{"ctrlIComment", Qt::Key_I, Qt::ControlModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return Asked(t.Dialogs(), "Comment"); }},
        TKeyCase{"f2Rename", Qt::Key_F2, Qt::NoModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return Asked(t.Dialogs(), "Rename image"); }},
        TKeyCase{"ctrlShiftMMove", Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return t.Files().folderStarts.size() == 1; }},
        TKeyCase{"ctrlShiftCCopyTo", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return t.Files().folderStarts.size() == 1; }},
        TKeyCase{"shiftDelDelete", Qt::Key_Delete, Qt::ShiftModifier, false,
                 [](MenuKeysTest& t, TMainForm&) {
                     return Messaged(t.Dialogs(), "Do you want to send");
                 }},
        TKeyCase{"ctrlOOpen", Qt::Key_O, Qt::ControlModifier, false,
                 [](MenuKeysTest& t, TMainForm&) { return !t.Files().opens.empty(); }},
        TKeyCase{"ctrlTLoadTheme", Qt::Key_T, Qt::ControlModifier, true,
                 [](MenuKeysTest&, TMainForm& f) { return !f.SlideshowOn(); }},
        TKeyCase{"ctrlMSettings", Qt::Key_M, Qt::ControlModifier, true,
                 [](MenuKeysTest&, TMainForm& f) { return !f.SlideshowOn(); }},
        TKeyCase{"ctrlGSequenceManager", Qt::Key_G, Qt::ControlModifier, true,
                 [](MenuKeysTest&, TMainForm& f) { return !f.SlideshowOn(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuKeysTest, UndoKeyIsSwallowedUntilThereIsSomethingToUndo) {
    TMainForm& form = StartActive();
    const TBitmap opened = form.WorkingImage();
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form.WorkingImage() == opened);
    form.RunCommand(RotateCW);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form.WorkingImage() == opened);
    EXPECT_EQ(form.UndoKind(), -1);
}

TEST_F(MenuKeysTest, HooksRunAfterTheSlideshowStops) {
    TMainForm& form = StartActive();
    std::vector<bool> slideshowAtCall;
    form.OnLoadTheme = [&] { slideshowAtCall.push_back(form.SlideshowOn()); };
    form.SetSlideshow(true);
    Key(Qt::Key_T, Qt::ControlModifier);
    form.RunCommand(LoadTheme);
    EXPECT_EQ(slideshowAtCall, (std::vector<bool>{false, false}));
    EXPECT_EQ(form.ToolAction(LoadTheme)->isEnabled(), true);
}

TEST_F(MenuKeysTest, PopupItemsFollowTheirRulesWhileShownAndKeysWorkAfterwards) {
    TMainForm& form = StartActive();
    QMenu* popup = form.PopupMenu();
    popup->popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.PopupAction(Undo)->isEnabled());
    EXPECT_TRUE(form.PopupAction(FlipH)->isEnabled());
    popup->hide();
    QCoreApplication::processEvents();
    // Hidden again, every item takes its key and applies its rule itself.
    form.RunCommand(FlipH);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.UndoKind(), -1) << "Ctrl+Z undid the flip";
}

struct TWindowKeyCase {
    const char* name;
    int key;
    const char* text;
    int zoomStep; // +1 zoom in, -1 zoom out
};

class WindowZoomKeys : public MenuKeysTest, public ::testing::WithParamInterface<TWindowKeyCase> {};

TEST_P(WindowZoomKeys, ChangeTheScale) {
    const TWindowKeyCase& c = GetParam();
    TMainForm& form = StartActive();
    const double before = form.Zoom().Scale();
    QTest::keyClick(form.centralWidget(), Qt::Key(c.key), Qt::NoModifier);
    const double after = form.Zoom().Scale();
    EXPECT_TRUE(c.zoomStep > 0 ? after > before : after < before) << before << " -> " << after;
    EXPECT_TRUE(form.ManualZoom());
}

INSTANTIATE_TEST_SUITE_P(Keys, WindowZoomKeys,
                         ::testing::Values(TWindowKeyCase{"plus", Qt::Key_Plus, "+", 1},
                                           TWindowKeyCase{"equal", Qt::Key_Equal, "=", 1},
                                           TWindowKeyCase{"minus", Qt::Key_Minus, "-", -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuKeysTest, SpaceAndPPauseAndResumeTheSlideshow) {
    TMainForm& form = StartActive();
    form.SetSlideshow(true);
    Key(Qt::Key_Space);
    EXPECT_FALSE(form.SlideshowOn());
    EXPECT_TRUE(form.PausedByKey());
    Key(Qt::Key_P);
    EXPECT_TRUE(form.SlideshowOn());
}

} // namespace
