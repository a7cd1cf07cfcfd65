// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/Themes.h"

#include "settings/SettingsStore.h"

#include "SettingsTestUtil.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct ArgumentCase {
    QStringList arguments;
    const char* expected;
};

class ThemeArgument : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ThemeArgument, FirstWithTheExtension) {
    EXPECT_EQ(FindThemeArgument(GetParam().arguments), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThemeArgument,
    testing::Values(ArgumentCase{{"photo.jpg", "dark.tlt", "light.tlt"}, "dark.tlt"},
                    ArgumentCase{{"-diaporama=1", "/t/Night.TLT"}, "/t/Night.TLT"},
                    ArgumentCase{{"a.tlt.jpg", "tlt", "b.tl"}, ""},
                    ArgumentCase{{"dir.tlt/photo.jpg", "x.Tlt"}, "x.Tlt"}, ArgumentCase{{}, ""}));

TEST(ThemeArgumentPath, BareNamesLiveInTheThemesFolder) {
    const QString cwd = QDir::currentPath();
    struct Case {
        QString argument;
        QString expected;
    };
    for (const Case& c :
         {Case{"dark.tlt", "/themes/dark.tlt"}, Case{"/elsewhere/dark.tlt", "/elsewhere/dark.tlt"},
          Case{"sub/dark.tlt", cwd + "/sub/dark.tlt"}, Case{"./dark.tlt", cwd + "/dark.tlt"}}) {
        EXPECT_EQ(ThemeArgumentPath(c.argument, "/themes"), c.expected) << c.argument.toStdString();
    }
    EXPECT_EQ(ThemeArgumentPath("dark.tlt", "rel"), cwd + "/rel/dark.tlt");
}

class ThemeLoad : public testing::Test {
protected:
    TTempProgram program;
    QString themes = program.ProgramFolder() + "/Themes";
    QString start = program.dir.filePath("start");
    TViewerSettings s;
    TFakeEffects effects;
    TFakeMessages messages;

    void SetUp() override {
        QDir().mkpath(themes);
        QDir().mkpath(start);
        ASSERT_TRUE(QDir::setCurrent(start));
    }
    void TearDown() override { QDir::setCurrent(QDir::tempPath()); }
};

TEST_F(ThemeLoad, BareArgumentFromThemesFolderWithItsFolderCurrent) {
    WriteFile(themes + "/night.tlt", "[Params]\nmotif=stars.png\nzoom=4\n");
    const TAppPaths paths = program.Paths();
    TSettingsStore store(s, paths, effects, messages);
    store.FinishStartup();
    effects.log.clear();
    EXPECT_TRUE(LoadCommandLineTheme(store, {"photo.jpg", "night.tlt", "other.tlt"}));
    EXPECT_EQ(s.zoom, 4);
    // The relative pattern is the one beside the theme, and stays so once the folder is left.
    EXPECT_EQ(s.motif, themes + "/stars.png");
    EXPECT_EQ(effects.log, QStringList{"load stars.png"});
    EXPECT_EQ(QDir::currentPath(), start);
}

TEST_F(ThemeLoad, OnlyTheFirstThemeIsApplied) {
    WriteFile(start + "/a.tlt", "[Params]\nzoom=4\n");
    WriteFile(start + "/b.tlt", "[Params]\nzoom=5\ndelai=9\n");
    const TAppPaths paths = program.Paths();
    TSettingsStore store(s, paths, effects, messages);
    EXPECT_TRUE(LoadCommandLineTheme(store, {"./a.tlt", "./b.tlt"}));
    EXPECT_EQ(s.zoom, 4);
    EXPECT_EQ(s.delai, 3);
}

TEST_F(ThemeLoad, RelativeFolderPartIsTakenFromTheCurrentFolder) {
    WriteFile(start + "/sub/t.tlt", "[Params]\nmotif=p.png\nteinte=3\n");
    const TAppPaths paths = program.Paths();
    TSettingsStore store(s, paths, effects, messages);
    EXPECT_TRUE(LoadCommandLineTheme(store, {"sub/t.tlt"}));
    EXPECT_EQ(s.teinte, 3);
    EXPECT_EQ(s.motif, start + "/sub/p.png");
    EXPECT_TRUE(effects.log.isEmpty()); // during start-up the pattern waits
    EXPECT_EQ(QDir::currentPath(), start);
}

TEST_F(ThemeLoad, MissingFolderOrFileChangesNothing) {
    const TAppPaths paths = program.Paths();
    TSettingsStore store(s, paths, effects, messages);
    const QString before = Describe(s);
    EXPECT_FALSE(LoadCommandLineTheme(store, {program.dir.filePath("nowhere/x.tlt")}));
    EXPECT_TRUE(LoadCommandLineTheme(store, {"absent.tlt"})); // themes folder, no such file
    EXPECT_FALSE(LoadCommandLineTheme(store, {"photo.jpg"}));
    EXPECT_EQ(Describe(s), before);
    EXPECT_TRUE(effects.log.isEmpty());
    EXPECT_EQ(QDir::currentPath(), start);
}

TEST_F(ThemeLoad, ThemeHoldingOnlyCfHidesThePattern) {
    WriteFile(themes + "/plain.tlt", "[Params]\ncf=clRed\n");
    const TAppPaths paths = program.Paths();
    s.motif = "/p/pattern.png";
    TSettingsStore store(s, paths, effects, messages);
    store.FinishStartup();
    EXPECT_TRUE(s.bmotif);
    effects.log.clear();
    EXPECT_TRUE(LoadThemeFile(store, themes + "/plain.tlt"));
    EXPECT_EQ(s.cf, RGBColor(255, 0, 0));
    EXPECT_FALSE(s.bmotif);
    EXPECT_EQ(effects.log, (QStringList{"cf 0000ff", "discard"}));
}

TEST_F(ThemeLoad, ThemeNeverSearchesTheDefaultPatternAndWritesNothing) {
    WriteFile(program.ProgramFolder() + "/tavelune.jpg", "x");
    WriteFile(themes + "/t.tlt", "[Params]\nzoom=2\n");
    const TAppPaths paths = program.Paths();
    TSettingsStore store(s, paths, effects, messages);
    EXPECT_TRUE(LoadThemeFile(store, themes + "/t.tlt"));
    EXPECT_EQ(s.motif, "");
    EXPECT_EQ(ReadFile(themes + "/t.tlt"), QByteArray("[Params]\nzoom=2\n"));
    EXPECT_FALSE(QFileInfo::exists(paths.SettingsFile()));
}

TEST_F(ThemeLoad, GuardRestoresTheFolderOnException) {
    try {
        const TCurrentFolderGuard guard(themes);
        EXPECT_TRUE(guard.Entered());
        EXPECT_EQ(QDir::currentPath(), themes);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QDir::currentPath(), start);
    const TCurrentFolderGuard missing(program.dir.filePath("none"));
    EXPECT_FALSE(missing.Entered());
    EXPECT_EQ(QDir::currentPath(), start);
}

} // namespace
