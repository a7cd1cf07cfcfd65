// SPDX-License-Identifier: GPL-2.0-or-later
// Stepping through the list by keys, wheel, tool buttons and menus; turning after opening;
// the zoom keys; dropped files, the linked folder, double-clicks, sequences and closing.
#include "MainFormFixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>
#include <vector>

namespace {

class NavigationTest : public MainFormTest {
protected:
    TMainForm& StartOnSeries(int count, int openIndex = 0, QStringList settings = {}) {
        settings << "bsa=0";
        WriteSettings(settings);
        m_images = WriteSeries(Img(""), count);
        TMainForm& form = Start({m_images[openIndex]});
        form.activateWindow();
        for (int i = 0; i < 10 && QApplication::activeWindow() != &form; ++i)
            QCoreApplication::processEvents();
        return form;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(m_form->centralWidget(), Qt::Key(key), modifiers);
    }
    void Wheel(int dy) {
        QWidget* view = m_form->centralWidget();
        const QPointF at(20, 20);
        QWheelEvent e(at, view->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &e);
    }
    int Index() const { return m_form->Sequence().Current(); }

    QStringList m_images;
};

struct TKeyCase {
    const char* name;
    int start;
    int key;
    int expected;
};

class NavigationKeys : public NavigationTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(NavigationKeys, MoveThroughTheListWithoutWrapping) {
    const TKeyCase& c = GetParam();
    StartOnSeries(4, c.start);
    ASSERT_EQ(QApplication::activeWindow(), m_form.get());
    Key(c.key);
    EXPECT_EQ(Index(), c.expected);
    EXPECT_EQ(CurrentWidth(), 40 + 10 * c.expected);
    EXPECT_EQ(m_form->StatusText(0), QString("%1/4").arg(c.expected + 1));
    EXPECT_TRUE(m_files->opens.empty()) << "no open dialog";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NavigationKeys,
    ::testing::Values(TKeyCase{"pageDown", 1, Qt::Key_PageDown, 2},
                      TKeyCase{"pageUp", 1, Qt::Key_PageUp, 0},
                      TKeyCase{"home", 2, Qt::Key_Home, 0}, TKeyCase{"end", 1, Qt::Key_End, 3},
                      TKeyCase{"pageDownOnLastSwallowed", 3, Qt::Key_PageDown, 3},
                      TKeyCase{"homeOnFirstSwallowed", 0, Qt::Key_Home, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, WheelStepsAndStopsAtTheEnds) {
    StartOnSeries(3, 1);
    Wheel(-120);
    EXPECT_EQ(Index(), 2);
    Wheel(-120);
    EXPECT_EQ(Index(), 2);
    EXPECT_EQ(CurrentWidth(), 60);
    Wheel(120);
    Wheel(120);
    Wheel(120);
    EXPECT_EQ(Index(), 0);
    EXPECT_TRUE(m_files->opens.empty());
}

struct TWheelCase {
    const char* name;
    int start;
    std::vector<int> deltas; // angle deltas of the events, in order
    int expected;
};

std::vector<int> Repeated(int delta, int times) {
    return std::vector<int>(size_t(times), delta);
}

std::vector<int> Joined(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class WheelNotches : public NavigationTest, public ::testing::WithParamInterface<TWheelCase> {};

// High-resolution wheels and touchpads split a notch of 120 into many events; the list moves one
// image per notch, not per event.
TEST_P(WheelNotches, OneImagePerNotchHoweverItArrives) {
    const TWheelCase& c = GetParam();
    StartOnSeries(5, c.start);
    for (int delta : c.deltas)
        Wheel(delta);
    EXPECT_EQ(Index(), c.expected);
    EXPECT_EQ(CurrentWidth(), 40 + 10 * c.expected);
    EXPECT_EQ(m_form->StatusText(0), QString("%1/5").arg(c.expected + 1));
    EXPECT_TRUE(m_files->opens.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Events, WheelNotches,
    ::testing::Values(TWheelCase{"eightEventsOf15AreOneNotchDown", 1, Repeated(-15, 8), 2},
                      TWheelCase{"sevenEventsOf15AreNoNotch", 1, Repeated(-15, 7), 1},
                      TWheelCase{"sixteenEventsOf15AreTwoNotches", 1, Repeated(-15, 16), 3},
                      TWheelCase{"eightEventsOf15AreOneNotchUp", 3, Repeated(15, 8), 2},
                      TWheelCase{"aFastTurnOfTwoNotchesInOneEvent", 0, {-240}, 2},
                      TWheelCase{"unevenEventsAddUp", 0, {-50, -50, -50, -50, -40}, 2},
                      TWheelCase{"turningBackDropsTheOtherWaysRest", 2,
                                 Joined({-90}, Repeated(15, 7)), 2},
                      TWheelCase{"turningBackCountsAfresh", 2, Joined({-90}, Repeated(15, 8)), 1},
                      TWheelCase{"notchesPastTheEndDoNothing", 4, Repeated(-15, 24), 4}),
    [](const auto& info) { return std::string(info.param.name); });

// On file systems that tell letter case apart, IMG_1.PNG and img_1.png are two images.
TEST_F(NavigationTest, NamesDifferingOnlyInCaseKeepTheirOwnPlaces) {
    WriteSettings({"bsa=0"});
    WriteImage(Img("IMG_1.PNG"), UniformImage(40, 30, Grey(10)));
    const QString lower = WriteImage(Img("img_1.png"), UniformImage(50, 30, Grey(20)));
    WriteImage(Img("img_2.png"), UniformImage(60, 30, Grey(30)));
    Start({lower});
    EXPECT_EQ(CurrentWidth(), 50);
    EXPECT_EQ(Index(), 1);
    EXPECT_EQ(m_form->StatusText(0), "2/3");
    m_form->NextImage();
    EXPECT_EQ(CurrentWidth(), 60);
    EXPECT_EQ(m_form->StatusText(0), "3/3");
    m_form->PreviousImage();
    m_form->PreviousImage();
    EXPECT_EQ(CurrentWidth(), 40);
    EXPECT_EQ(m_form->StatusText(0), "1/3");
}

// A binary portable pixmap of one grey: a registered type outside the list's file types.
void WritePortablePixmap(const QString& path, int w, int h) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(w).arg(h).toLatin1());
    f.write(QByteArray(w * h * 3, char(90)));
}

struct TOutsideCase {
    const char* name;
    const char* file;
    int index; // its place among a.png, c.png and itself
};

class OpenedOutsideTheFileTypes : public NavigationTest,
                                  public ::testing::WithParamInterface<TOutsideCase> {};

// The list holds the folder's images of its file types; a file of another registered type that
// the user opens joins it at its place in the name order, so the position and the steps go on
// from it.
TEST_P(OpenedOutsideTheFileTypes, JoinsTheListInNameOrder) {
    const TOutsideCase& c = GetParam();
    WriteSettings({"bsa=0"});
    WriteImage(Img("a.png"), UniformImage(40, 30, Grey(10)));
    WriteImage(Img("c.png"), UniformImage(60, 30, Grey(30)));
    WritePortablePixmap(Img(c.file), 77, 20);
    Start({Img(c.file)});
    ASSERT_EQ(CurrentWidth(), 77);
    EXPECT_EQ(m_form->Sequence().Count(), 3);
    EXPECT_EQ(Index(), c.index);
    EXPECT_EQ(m_form->StatusText(0), QString("%1/3").arg(c.index + 1));
    EXPECT_FALSE(m_form->Sequence().Modified());
    m_form->UpdateMainMenu();
    EXPECT_EQ(m_form->MainMenuAction(TCommand::NextImage)->isEnabled(), c.index < 2);
    EXPECT_EQ(m_form->MainMenuAction(TCommand::PreviousImage)->isEnabled(), c.index > 0);
    if (c.index < 2) {
        m_form->NextImage();
        EXPECT_EQ(Index(), c.index + 1);
        EXPECT_EQ(m_form->StatusText(0), QString("%1/3").arg(c.index + 2));
        m_form->PreviousImage();
    } else {
        m_form->PreviousImage();
        EXPECT_EQ(Index(), 1);
        m_form->NextImage();
    }
    EXPECT_EQ(CurrentWidth(), 77) << "stepping back reaches the opened file again";
    EXPECT_TRUE(m_dialogs.Messages.empty());
    EXPECT_TRUE(m_files->opens.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, OpenedOutsideTheFileTypes,
                         ::testing::Values(TOutsideCase{"between", "b.ppm", 1},
                                           TOutsideCase{"first", "0.ppm", 0},
                                           TOutsideCase{"last", "z.ppm", 2},
                                           TOutsideCase{"upperCase", "B.PPM", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, ToolButtonsFollowTheListAndTheSlideshow) {
    StartOnSeries(3, 2);
    using enum TCommand;
    EXPECT_FALSE(m_form->ToolAction(NextImage)->isEnabled());
    EXPECT_FALSE(m_form->ToolAction(LastImage)->isEnabled());
    EXPECT_TRUE(m_form->ToolAction(PreviousImage)->isEnabled());
    EXPECT_TRUE(m_form->ToolAction(FirstImage)->isEnabled());
    EXPECT_FALSE(m_form->ToolAction(OriginalSize)->isEnabled()); // scale 1
    EXPECT_TRUE(m_form->ToolAction(StartSlideshow)->isEnabled());
    EXPECT_FALSE(m_form->ToolAction(StopSlideshow)->isEnabled());
    m_form->SlideshowCommand();
    EXPECT_FALSE(m_form->ToolAction(StartSlideshow)->isEnabled());
    EXPECT_TRUE(m_form->ToolAction(StopSlideshow)->isEnabled());
    m_form->UpdateMainMenu();
    EXPECT_TRUE(m_form->MainMenuAction(Slideshow)->isChecked());
    EXPECT_FALSE(m_form->MainMenuAction(OpenImage)->isEnabled());
    EXPECT_FALSE(m_form->MainMenuAction(SaveSequence)->isEnabled());
    m_form->UpdatePopupMenu();
    EXPECT_TRUE(m_form->PopupAction(SaveSequence)->isEnabled());
    EXPECT_TRUE(m_form->MainMenuAction(OriginalSize)->isChecked());
}

TEST_F(NavigationTest, NoImageLeavesOnlyTheCommandsThatNeedNone) {
    WriteSettings({});
    TMainForm& form = Start({});
    using enum TCommand;
    for (TCommand c : {ZoomIn, ZoomOut, OriginalSize, FitToScreen, FirstImage, PreviousImage,
                       NextImage, LastImage, StopSlideshow})
        EXPECT_FALSE(form.ToolAction(c)->isEnabled()) << int(c);
    for (TCommand c : {OpenImage, StartSlideshow, FullScreen})
        EXPECT_TRUE(form.ToolAction(c)->isEnabled()) << int(c);
}

struct TTurnCase {
    const char* name;
    int rotation;
    int w, h;
    int shownW, shownH;
    bool turnedClockwise; // the top-left pixel moved to the top-right
};

class TurnAfterOpen : public MainFormTest, public ::testing::WithParamInterface<TTurnCase> {};

TEST_P(TurnAfterOpen, ByTheRotationSetting) {
    const TTurnCase& c = GetParam();
    WriteSettings({"rotation=" + QString::number(c.rotation), "bsa=0"});
    // A marked top-left pixel shows where the image went.
    const TBitmap image = MakeImage(c.w, c.h, [](int x, int y) {
        return x == 0 && y == 0 ? Rgb(255, 255, 255) : Rgb(0, 0, 80);
    });
    TMainForm& form = Start({WriteImage(Img("t.png"), image)});
    EXPECT_EQ(form.WorkingImage().Width(), c.shownW);
    EXPECT_EQ(form.WorkingImage().Height(), c.shownH);
    if (c.turnedClockwise) {
        EXPECT_EQ(PixelAt(form.WorkingImage(), c.shownW - 1, 0), Rgb(255, 255, 255));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, TurnAfterOpen,
    ::testing::Values(TTurnCase{"none", 0, 60, 80, 60, 80, false},
                      TTurnCase{"landscapeTurnsPortrait", 1, 60, 80, 80, 60, true},
                      TTurnCase{"landscapeKeepsLandscape", 1, 80, 60, 80, 60, false},
                      TTurnCase{"landscapeKeepsSquare", 1, 70, 70, 70, 70, false},
                      TTurnCase{"portraitTurnsLandscape", 2, 80, 60, 60, 80, true},
                      TTurnCase{"portraitKeepsSquare", 2, 70, 70, 70, 70, false},
                      TTurnCase{"halfTurn", 3, 80, 60, 80, 60, false},
                      TTurnCase{"clockwise", 4, 80, 60, 60, 80, true},
                      TTurnCase{"counterClockwise", 5, 80, 60, 60, 80, false},
                      TTurnCase{"exifWithoutExif", 6, 80, 60, 80, 60, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, DigitsChooseTheZoomModeAndNineDoesNothing) {
    StartOnSeries(1);
    Key(Qt::Key_4);
    EXPECT_EQ(m_form->Settings().zoom, 4);
    EXPECT_DOUBLE_EQ(m_form->Zoom().Scale(), 0.3333333);
    EXPECT_EQ(m_form->StatusText(2), "33%");
    Key(Qt::Key_9);
    EXPECT_EQ(m_form->Settings().zoom, 4);
    Key(Qt::Key_Plus);
    EXPECT_TRUE(m_form->ManualZoom());
    EXPECT_DOUBLE_EQ(m_form->Zoom().Scale(), 0.3333333 * 1.25);
    Key(Qt::Key_7);
    EXPECT_FALSE(m_form->ManualZoom());
    EXPECT_DOUBLE_EQ(m_form->Zoom().Scale(), 2.0);
}

TEST_F(NavigationTest, FitImagesToScreenToggles) {
    struct TCase {
        int zoom;
        bool manual;
        int expected;
    };
    StartOnSeries(1);
    for (const TCase c :
         {TCase{1, false, 0}, TCase{0, false, 1}, TCase{5, false, 1}, TCase{1, true, 1}}) {
        m_form->Settings().zoom = c.zoom;
        if (c.manual) m_form->RunCommand(TCommand::ZoomIn);
        ASSERT_EQ(m_form->ManualZoom(), c.manual);
        m_form->FitImagesToScreenCommand();
        EXPECT_EQ(m_form->Settings().zoom, c.expected) << c.zoom << " " << c.manual;
        EXPECT_FALSE(m_form->ManualZoom());
        m_form->UpdateMainMenu();
        EXPECT_EQ(m_form->MainMenuAction(TCommand::FitImagesToScreen)->isChecked(),
                  c.expected == 1);
    }
}

TEST_F(NavigationTest, DroppedFilesOpenTheFirstWithItsFolder) {
    StartOnSeries(1);
    const QStringList others = WriteSeries(Path("other"), 3);
    // Only local files count; the first of them is opened with its folder.
    m_form->OpenDroppedFiles({QUrl("https://example.org/x.png"), QUrl::fromLocalFile(others[1]),
                              QUrl::fromLocalFile(others[2])});
    EXPECT_TRUE(m_dialogs.Messages.empty());
    EXPECT_EQ(m_form->CurrentFile().toStdString(), others[1].toStdString());
    EXPECT_EQ(m_form->Sequence().Count(), 3);
    EXPECT_EQ(Index(), 1);
}

TEST_F(NavigationTest, ShiftClickOpensTheSameNameFromTheLinkedFolder) {
    StartOnSeries(2);
    WriteImage(Path("linked/a.png"), UniformImage(77, 20, Grey(3)));
    m_form->Settings().lk = Path("linked") + "/";
    m_form->MouseDownAt(QPoint(50, 50), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(CurrentWidth(), 77);
    // The list stays the one of the first folder.
    EXPECT_EQ(m_form->Sequence().Count(), 2);
    m_form->MouseDownAt(QPoint(50, 50), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(CurrentWidth(), 77);
}

TEST_F(NavigationTest, DoubleClickWithoutImageAsksForOne) {
    WriteSettings({"bsa=0"});
    const QStringList images = WriteSeries(Img(""), 2);
    TMainForm& form = Start({});
    m_files->openAnswers.push_back(images[1]);
    form.DoubleClick();
    ASSERT_EQ(m_files->opens.size(), 1u);
    EXPECT_EQ(m_files->opens[0].Folder, form.Paths().ProgramFolder());
    EXPECT_EQ(form.CurrentFile(), images[1]);
    EXPECT_EQ(form.Sequence().Count(), 2);
    // With an image shown it asks for the settings instead.
    int settingsAsked = 0;
    form.OnSettingsDialog = [&] { ++settingsAsked; };
    form.DoubleClick();
    EXPECT_EQ(settingsAsked, 1);
}

TEST_F(NavigationTest, LoadSequenceStartsTheSlideshowAndSaveWritesIt) {
    StartOnSeries(3);
    const QString seq = Path("s.stl");
    QFile f(seq);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write((m_images[2] + ";last\r\n" + m_images[0] + ";\r\n").toUtf8());
    f.close();
    m_files->openAnswers.push_back(seq);
    m_form->LoadSequenceCommand();
    ASSERT_EQ(m_files->opens.size(), 1u);
    EXPECT_EQ(m_files->opens[0].Title, "Load sequence");
    EXPECT_EQ(m_files->opens[0].Filter, "Sequence files (*.stl)|*.stl");
    EXPECT_EQ(CurrentWidth(), 60);
    EXPECT_TRUE(m_form->Settings().bcmt);
    EXPECT_TRUE(m_form->SlideshowOn());

    m_form->Sequence().SetCurrentComment("edited");
    m_files->saveAnswers.push_back(Path("saved.stl"));
    EXPECT_TRUE(m_form->SaveSequenceCommand());
    EXPECT_FALSE(m_form->SlideshowOn());
    ASSERT_EQ(m_files->saves.size(), 1u);
    EXPECT_EQ(m_files->saves[0].FileName, seq);
    QFile saved(Path("saved.stl"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()),
              m_images[2] + ";edited\r\n" + m_images[0] + ";\r\n");
}

TEST_F(NavigationTest, OpeningWithAModifiedListAsksFirst) {
    StartOnSeries(3);
    const QStringList others = WriteSeries(Path("other"), 2);
    m_form->Sequence().AddImage(others[1]);
    ASSERT_TRUE(m_form->Sequence().Modified());
    // Moving within the list never asks.
    m_form->NextImage();
    EXPECT_TRUE(m_dialogs.Messages.empty());
    m_dialogs.MessageAnswers.push_back(mrCancel);
    EXPECT_EQ(m_form->OpenImage(others[0], true), "");
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, "Save current images sequence ?");
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkConfirmation);
    EXPECT_EQ(m_dialogs.Messages[0].Buttons, unsigned(mbYesNoCancel));
    EXPECT_EQ(CurrentWidth(), 50);
    EXPECT_EQ(m_form->Sequence().Count(), 4);
    m_dialogs.MessageAnswers.push_back(mrNo);
    EXPECT_EQ(m_form->OpenImage(others[0], true), others[0]);
    EXPECT_EQ(m_form->Sequence().Count(), 2);
}

struct TCloseCase {
    const char* name;
    bool quitWhenFinished;
    bool modified;
    int answer;         // to the question, when asked
    const char* saveAs; // answer of the save dialog; nullptr cancels it
    bool asked;
    bool closed;
    bool saved;
};

class Closing : public NavigationTest, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(Closing, AsksAboutAModifiedListUnlessExitWhenFinished) {
    const TCloseCase& c = GetParam();
    StartOnSeries(2, 0, {c.quitWhenFinished ? "bquitter=1" : "bquitter=0"});
    if (c.modified) m_form->Sequence().SetCurrentComment("x");
    m_form->SetSlideshow(true);
    m_dialogs.MessageAnswers.push_back(c.answer);
    if (c.saveAs) m_files->saveAnswers.push_back(Path(c.saveAs));
    m_form->close();
    EXPECT_EQ(!m_dialogs.Messages.empty(), c.asked);
    EXPECT_EQ(Closed(), c.closed);
    EXPECT_EQ(c.saveAs && QFileInfo::exists(Path(c.saveAs)), c.saved);
    // A window that stays open goes on with its slideshow.
    if (!c.closed) {
        EXPECT_TRUE(m_slideshow->running);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Close, Closing,
    ::testing::Values(
        TCloseCase{"exitWhenFinished", true, true, mrCancel, nullptr, false, true, false},
        TCloseCase{"unmodified", false, false, mrCancel, nullptr, false, true, false},
        TCloseCase{"cancelStays", false, true, mrCancel, nullptr, true, false, false},
        TCloseCase{"noCloses", false, true, mrNo, nullptr, true, true, false},
        TCloseCase{"yesSaves", false, true, mrYes, "kept.stl", true, true, true},
        TCloseCase{"yesThenCancelledSaveCloses", false, true, mrYes, nullptr, true, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, PrintUnitItemsAreExclusive) {
    StartOnSeries(1);
    m_form->RunCommand(TCommand::UnitInch);
    m_form->UpdateMainMenu();
    EXPECT_EQ(m_form->Settings().unit, puInch);
    EXPECT_TRUE(m_form->MainMenuAction(TCommand::UnitInch)->isChecked());
    EXPECT_FALSE(m_form->MainMenuAction(TCommand::UnitCm)->isChecked());
    m_form->RunCommand(TCommand::UnitCm);
    m_form->UpdateMainMenu();
    EXPECT_EQ(m_form->Settings().unit, puCentimetre);
    EXPECT_TRUE(m_form->MainMenuAction(TCommand::UnitCm)->isChecked());
}

TEST_F(NavigationTest, FileSeamShowsMessagesInTheProgramsBoxAndAsksTheChooser) {
    StartOnSeries(1);
    IFileUserSeam& seam = FileUserSeam();
    EXPECT_EQ(seam.MessageBox("hello", mkWarning, mbOk), mrOk);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, "hello");
    m_files->openAnswers.push_back("/x/y.png");
    bool preview = true;
    TOpenNameRequest request;
    request.Filter = "PNG|*.png";
    request.InitialFolder = "/start";
    EXPECT_EQ(seam.ChooseOpenName(request, preview), "/x/y.png");
    ASSERT_EQ(m_files->opens.size(), 1u);
    EXPECT_EQ(m_files->opens[0].Filter, "PNG|*.png");
    EXPECT_EQ(m_files->opens[0].Folder, "/start");
}

} // namespace
