// SPDX-License-Identifier: GPL-2.0-or-later
// Starting the window on a folder, a sequence file, an image or nothing, with the slideshow
// switch in its forms.
#include "MainFormFixture.h"

#include <QFile>

namespace {

struct TStartCase {
    const char* name;
    // What to pass: "folder", "image" (the second of three), "sequence", "missing" or "".
    const char* what;
    const char* extra; // a further argument, or nullptr
    int count;         // entries in the list afterwards
    int current;
    bool slideshow;
    int width; // working image; 0 for none
};

class StartOn : public MainFormTest, public ::testing::WithParamInterface<TStartCase> {};

TEST_P(StartOn, OpensTheArgumentAndDecidesTheSlideshow) {
    const TStartCase& c = GetParam();
    const QStringList images = WriteSeries(Img(""), 3);
    // A subfolder's image joins a folder opened from the command line only.
    WriteImage(Img("sub/z.png"), UniformImage(90, 30, Grey(9)));
    QFile seq(Path("list.stl"));
    ASSERT_TRUE(seq.open(QIODevice::WriteOnly));
    seq.write((images[2] + ";third\r\n" + images[0] + ";\r\n").toUtf8());
    seq.close();

    QStringList args;
    const QString what = QString::fromUtf8(c.what);
    if (what == "folder") args << Img("");
    if (what == "image") args << images[1];
    if (what == "sequence") args << Path("list.stl");
    if (what == "missing") args << Path("nothing-here");
    if (c.extra) args << QString::fromUtf8(c.extra);

    TMainForm& form = Start(args);
    EXPECT_EQ(form.Sequence().Count(), c.count);
    EXPECT_EQ(form.Sequence().Current(), c.current);
    EXPECT_EQ(form.SlideshowOn(), c.slideshow);
    EXPECT_EQ(m_slideshow->running, c.slideshow);
    EXPECT_EQ(form.windowTitle(), c.slideshow ? "Tavelune - Diaporama" : "Tavelune");
    EXPECT_EQ(form.WorkingImage().Width(), c.width);
    EXPECT_TRUE(m_dialogs.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, StartOn,
    ::testing::Values(TStartCase{"folderRunsSlideshow", "folder", nullptr, 4, 0, true, 40},
                      TStartCase{"folderSwitchNon", "folder", "/diaporama=non", 4, 0, false, 40},
                      TStartCase{"folderSwitchOne", "folder", "-diaporama=1", 4, 0, true, 40},
                      TStartCase{"imageNoSwitch", "image", nullptr, 3, 1, false, 50},
                      TStartCase{"imageSwitchOne", "image", "-DIAPORAMA=1", 3, 1, true, 50},
                      TStartCase{"sequenceRunsSlideshow", "sequence", nullptr, 2, 0, true, 60},
                      TStartCase{"sequenceSwitchZero", "sequence", "-diaporama=0", 2, 0, false, 60},
                      TStartCase{"switchAlone", "", "-diaporama=1", 0, -1, false, 0},
                      TStartCase{"missingPath", "missing", nullptr, 0, -1, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFormTest, NothingOpenedShowsTheBackgroundOnly) {
    WriteSettings({"cf=#102030"});
    TMainForm& form = Start({"-diaporama=1"});
    const TBitmap& buffer = form.ScreenBuffer();
    for (int y = 0; y < buffer.Height(); y += 37)
        for (int x = 0; x < buffer.Width(); x += 41)
            ASSERT_EQ(PixelAt(buffer, x, y), Rgb(0x10, 0x20, 0x30)) << x << "," << y;
    for (int panel = 0; panel < 4; ++panel)
        EXPECT_EQ(form.StatusText(panel), "");
}

TEST_F(MainFormTest, SequenceWithCommentsSwitchesTheCommentOn) {
    const QStringList images = WriteSeries(Img(""), 2);
    QFile seq(Path("list.stl"));
    ASSERT_TRUE(seq.open(QIODevice::WriteOnly));
    seq.write((images[0] + ";first\r\n" + images[1] + ";\r\n").toUtf8());
    seq.close();
    TMainForm& form = Start({Path("list.stl")});
    EXPECT_TRUE(form.Settings().bcmt);
    // The comment band is taken from the view at once.
    EXPECT_EQ(form.Zoom().ViewRect().Bottom,
              form.DisplayArea().Bottom - 40 - form.Settings().cadre.width - 7);
}

TEST_F(MainFormTest, SequencePathsRelativeToTheirFileOpenFromAnyFolder) {
    WriteSeries(Img(""), 2);
    QFile seq(Img("tour.stl"));
    ASSERT_TRUE(seq.open(QIODevice::WriteOnly));
    seq.write("b.png;second\r\na.png;first\r\n");
    seq.close();
    TMainForm& form = Start({Img("tour.stl")});
    EXPECT_EQ(form.WorkingImage().Width(), 50);
    EXPECT_EQ(form.CurrentFile(), QFileInfo(Img("b.png")).absoluteFilePath());
}

TEST_F(MainFormTest, ImageOnTheCommandLineBecomesCurrentInItsFolderList) {
    const QStringList images = WriteSeries(Img(""), 3);
    TMainForm& form = Start({images[2]});
    EXPECT_EQ(form.StatusText(0), "3/3");
    EXPECT_EQ(form.StatusText(1), "60 x 30");
    EXPECT_EQ(form.StatusText(2), "100%");
    EXPECT_EQ(form.StatusText(3), QDir::toNativeSeparators(images[2]));
    // The image's folder became the default folder.
    EXPECT_EQ(form.Settings().defdir, QFileInfo(images[2]).absolutePath());
}

TEST_F(MainFormTest, UnreadableImageIsReportedAndChangesNothing) {
    const QStringList images = WriteSeries(Img(""), 2);
    QFile bad(Img("c.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture at all");
    bad.close();
    TMainForm& form = Start({images[0]});
    const TBitmap before = form.ScreenBuffer();
    EXPECT_EQ(form.OpenImage(Img("c.png"), true), "");
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text,
              "Unable to load image in file \"" + QDir::toNativeSeparators(Img("c.png")) + "\" !");
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkError);
    EXPECT_EQ(form.WorkingImage().Width(), 40);
    EXPECT_EQ(form.Sequence().Current(), 0);
    EXPECT_TRUE(form.ScreenBuffer() == before);
}

TEST_F(MainFormTest, ThemeOnTheCommandLineAppliesBeforeTheImageOpens) {
    const QStringList images = WriteSeries(Img(""), 1);
    QFile theme(Path("dark.tlt"));
    ASSERT_TRUE(theme.open(QIODevice::WriteOnly));
    theme.write("[Params]\r\ncf=#000000\r\nbcadre=0\r\nbombre=0\r\n");
    theme.close();
    TMainForm& form = Start({Path("dark.tlt"), images[0]});
    EXPECT_FALSE(form.Settings().bcadre);
    EXPECT_EQ(form.WorkingImage().Width(), 40);
    const TRect d = form.DisplayArea();
    EXPECT_EQ(BufferAt(d.Left + 1, d.Top + 1), Grey(0));
}

TEST_F(MainFormTest, ClosingWritesTheDefaultFolderAndUnit) {
    const QStringList images = WriteSeries(Img(""), 1);
    TMainForm& form = Start({images[0]});
    form.SetPrintUnit(puInch);
    form.close();
    const QString ini = SettingsText();
    EXPECT_TRUE(
        ini.contains("defdir=" + QDir::toNativeSeparators(QFileInfo(images[0]).absolutePath())))
        << ini.toStdString();
    EXPECT_TRUE(ini.contains("unit=1")) << ini.toStdString();
}

} // namespace
