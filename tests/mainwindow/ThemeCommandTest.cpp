// SPDX-License-Identifier: GPL-2.0-or-later
// "Load theme...": the open dialog in the themes folder, then the theme applied and shown.
#include "MainFormFixture.h"

#include <QFile>

namespace {

class ThemeCommandTest : public MainFormTest {
protected:
    QString WriteTheme(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
};

TEST_F(ThemeCommandTest, AThemeChangesTheScreenBuffer) {
    QDir().mkpath(Path("prog/Themes"));
    WriteSettings({"bsa=0", "cf=#000080", "bcadre=0", "bombre=0", "zoom=0"});
    TMainForm& form = Start({WriteImage(Img("a.png"), UniformImage(40, 30, Rgb(200, 0, 0)))});
    const TRect r = form.Zoom().ImageRect();
    ASSERT_EQ(BufferAt(2, 2), Rgb(0, 0, 128));
    ASSERT_EQ(BufferAt(r.Left + 3, r.Top + 3), Rgb(200, 0, 0));

    m_files->openAnswers = {
        WriteTheme(Path("elsewhere/green.tlt"), "[Params]\ncf=#00FF00\nteinte=3\nbcadre=1\n")};
    form.LoadThemeCommand();

    ASSERT_EQ(m_files->opens.size(), 1u);
    const TFileNameRequest& r0 = m_files->opens[0];
    EXPECT_EQ(r0.Title, "Load theme");
    EXPECT_EQ(r0.Filter, "Theme file (*.tlt)|*.tlt");
    EXPECT_EQ(r0.DefaultExtension, "tlt");
    EXPECT_EQ(QFileInfo(r0.Folder).canonicalFilePath(),
              QFileInfo(Path("prog/Themes")).canonicalFilePath());

    EXPECT_EQ(BufferAt(2, 2), Rgb(0, 255, 0));
    const TRect after = form.Zoom().ImageRect();
    const TTriple shown = BufferAt(after.Left + 3, after.Top + 3);
    EXPECT_EQ(shown.r, shown.g); // the grey tint reached the screen
    EXPECT_EQ(shown.g, shown.b);
    EXPECT_TRUE(form.Settings().bcadre);
    EXPECT_FALSE(form.DecoratedRect().Left == after.Left); // the frame around it
}

TEST_F(ThemeCommandTest, ThemeSwitchingBlurOffReadsTheFileAgain) {
    WriteSettings({"bsa=0", "bflou=1"});
    const TBitmap sharp = MakeImage(40, 30, [](int x, int) { return x % 2 ? Grey(255) : Grey(0); });
    TMainForm& form = Start({WriteImage(Img("a.png"), sharp)});
    ASSERT_FALSE(form.WorkingImage() == sharp);
    m_files->openAnswers = {WriteTheme(Path("t/noblur.tlt"), "[Params]\nbflou=0\n")};
    form.LoadThemeCommand();
    EXPECT_TRUE(form.WorkingImage() == sharp);
}

TEST_F(ThemeCommandTest, APatternBesideTheThemeIsFoundAndShown) {
    WriteSettings({"bsa=0", "cf=#000080"});
    TMainForm& form = Start({});
    WriteImage(Path("t/tile.png"), UniformImage(4, 4, Rgb(10, 200, 30)));
    m_files->openAnswers = {WriteTheme(Path("t/tiled.tlt"), "[Params]\nmotif=tile.png\n")};
    form.LoadThemeCommand();
    EXPECT_TRUE(form.PatternShown());
    EXPECT_EQ(BufferAt(1, 1), Rgb(10, 200, 30));
}

TEST_F(ThemeCommandTest, CancelledChoiceChangesNothing) {
    WriteSettings({"bsa=0", "cf=#000080"});
    TMainForm& form = Start({});
    const QString before = QDir::currentPath();
    form.LoadThemeCommand(); // no answer scripted: cancelled
    EXPECT_EQ(m_files->opens.size(), 1u);
    EXPECT_EQ(BufferAt(1, 1), Rgb(0, 0, 128));
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(ThemeCommandTest, TheHookRunsTheCommand) {
    WriteSettings({"bsa=0"});
    TMainForm& form = Start({});
    ASSERT_TRUE(bool(form.OnLoadTheme));
    form.OnLoadTheme();
    EXPECT_EQ(m_files->opens.size(), 1u);
}

} // namespace
