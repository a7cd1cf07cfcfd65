// SPDX-License-Identifier: GPL-2.0-or-later
// The pattern decision made from `cf`, `motif` and `bmotif`, and the start-up pattern.
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "settings/Themes.h"

#include "SettingsTestUtil.h"

#include <gtest/gtest.h>

namespace {

struct PatternCase {
    const char* name;
    const char* lines;
    bool settingsFile; // the settings file itself rather than a theme
    bool startupOver;
    bool defaultPatternExists; // "<prog>/tavelune.png"
    const char* startMotif;    // "{cwd}" and "{prog}" stand for the folders
    const char* startupPattern;
    bool loadSucceeds;
    // Expected:
    const char* motif;
    bool bmotif;      // the record starts with the pattern shown
    bool switchedOff; // the record starts with false
    QStringList effects;
};

class PatternRule : public testing::TestWithParam<PatternCase> {};

TEST_P(PatternRule, Decision) {
    const PatternCase& c = GetParam();
    TTempProgram program;
    const TCurrentFolderGuard cwd(program.dir.path());
    auto expand = [&](QString s) {
        return s.replace("{cwd}", program.dir.path()).replace("{prog}", program.ProgramFolder());
    };
    if (c.defaultPatternExists) WriteFile(program.ProgramFolder() + "/tavelune.png", "png");
    const TAppPaths paths = program.Paths();

    TViewerSettings s;
    s.motif = expand(c.startMotif);
    s.startupPattern = expand(c.startupPattern);
    s.bmotif = true;
    TFakeEffects effects;
    effects.loadSucceeds = c.loadSucceeds;
    TFakeMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    if (c.startupOver) store.FinishStartup();
    s.bmotif = true;
    effects.log.clear();

    const QString file = c.settingsFile ? paths.SettingsFile() : program.dir.filePath("theme.tlt");
    WriteFile(file, QByteArray("[Params]\n") + c.lines);
    store.LoadSettingsFile(file);

    EXPECT_EQ(s.motif, expand(c.motif));
    EXPECT_EQ(s.bmotif, c.bmotif);
    EXPECT_EQ(s.patternSwitchedOff, c.switchedOff);
    EXPECT_EQ(effects.log, c.effects);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternRule,
    testing::Values(
        // cf alone switches the pattern off, whether or not its colour is valid.
        PatternCase{"cf_only",
                    "cf=#FF0000\n",
                    false,
                    true,
                    false,
                    "{cwd}/old.png",
                    "",
                    true,
                    "{cwd}/old.png",
                    false,
                    true,
                    {"cf 0000ff", "discard"}},
        PatternCase{"cf_short_hex",
                    "cf=#F00\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "",
                    false,
                    true,
                    {"discard"}},
        PatternCase{"cf_none",
                    "cf=clNone\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "",
                    false,
                    true,
                    {"discard"}},
        // motif after cf switches it on again, loaded at once after start-up.
        PatternCase{"cf_and_motif",
                    "cf=clRed\nmotif=pat.png\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "{cwd}/pat.png",
                    true,
                    false,
                    {"cf 0000ff", "load pat.png"}},
        PatternCase{"motif_load_fails",
                    "motif=pat.png\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    false,
                    "{cwd}/pat.png",
                    false,
                    false,
                    {"load pat.png"}},
        PatternCase{"motif_absolute",
                    "motif=/somewhere/p.gif\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "/somewhere/p.gif",
                    true,
                    false,
                    {"load p.gif"}},
        PatternCase{"empty_motif_restores_startup",
                    "motif=\n",
                    false,
                    true,
                    false,
                    "{cwd}/other.png",
                    "/s/start.jpg",
                    true,
                    "/s/start.jpg",
                    true,
                    false,
                    {"load start.jpg"}},
        PatternCase{"empty_motif_without_startup",
                    "motif=\n",
                    false,
                    true,
                    false,
                    "{cwd}/other.png",
                    "",
                    true,
                    "",
                    true,
                    false,
                    {}},
        PatternCase{"bmotif_0_wins",
                    "motif=pat.png\nbmotif=0\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "{cwd}/pat.png",
                    false,
                    true,
                    {"discard"}},
        PatternCase{"bmotif_1_keeps_on",
                    "motif=pat.png\nbmotif=1\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "{cwd}/pat.png",
                    true,
                    false,
                    {"load pat.png"}},
        PatternCase{"bmotif_0_alone",
                    "bmotif=0\n",
                    false,
                    true,
                    false,
                    "{cwd}/a.png",
                    "",
                    true,
                    "{cwd}/a.png",
                    false,
                    true,
                    {"discard"}},
        PatternCase{"bmotif_yes_is_off",
                    "bmotif=yes\n",
                    false,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "",
                    false,
                    true,
                    {"discard"}},
        PatternCase{"bmotif_1_alone_no_change",
                    "bmotif=1\n",
                    false,
                    true,
                    false,
                    "{cwd}/a.png",
                    "",
                    true,
                    "{cwd}/a.png",
                    true,
                    false,
                    {}},
        PatternCase{"nothing_no_change",
                    "zoom=1\n",
                    false,
                    true,
                    false,
                    "{cwd}/a.png",
                    "",
                    true,
                    "{cwd}/a.png",
                    true,
                    false,
                    {}},
        // During start-up the picture is not loaded yet.
        PatternCase{"startup_motif",
                    "motif=pat.png\n",
                    false,
                    false,
                    false,
                    "",
                    "",
                    true,
                    "{cwd}/pat.png",
                    true,
                    false,
                    {}},
        PatternCase{"startup_off",
                    "bmotif=0\n",
                    false,
                    false,
                    false,
                    "",
                    "",
                    true,
                    "",
                    false,
                    true,
                    {"discard"}},
        // The settings file without motif looks for the default pattern; a theme does not.
        PatternCase{"settings_default_found",
                    "zoom=1\n",
                    true,
                    false,
                    true,
                    "",
                    "",
                    true,
                    "{prog}/tavelune.png",
                    true,
                    false,
                    {}},
        PatternCase{"settings_default_found_late",
                    "zoom=1\n",
                    true,
                    true,
                    true,
                    "",
                    "",
                    true,
                    "{prog}/tavelune.png",
                    true,
                    false,
                    {"load tavelune.png"}},
        PatternCase{"settings_cf_then_default",
                    "cf=#000000\n",
                    true,
                    true,
                    true,
                    "",
                    "",
                    true,
                    "{prog}/tavelune.png",
                    true,
                    false,
                    {"cf 000000", "load tavelune.png"}},
        PatternCase{"settings_no_default",
                    "cf=#000000\n",
                    true,
                    true,
                    false,
                    "",
                    "",
                    true,
                    "",
                    false,
                    true,
                    {"cf 000000", "discard"}},
        PatternCase{"settings_path_already_set",
                    "zoom=1\n",
                    true,
                    true,
                    true,
                    "/x/a.png",
                    "",
                    true,
                    "/x/a.png",
                    true,
                    false,
                    {"load a.png"}},
        PatternCase{"theme_no_default_search",
                    "zoom=1\n",
                    false,
                    true,
                    true,
                    "",
                    "",
                    true,
                    "",
                    true,
                    false,
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PatternRule, SwitchedOffIsKeptByAFileThatSaysNothing) {
    TTempProgram program;
    const TAppPaths paths = program.Paths();
    TViewerSettings s;
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    store.LoadSettings(TIniFile::FromBytes("[Params]\nbmotif=0\n"), false);
    store.LoadSettings(TIniFile::FromBytes("[Params]\nzoom=2\n"), false);
    EXPECT_TRUE(s.patternSwitchedOff);
    store.LoadSettings(TIniFile::FromBytes("[Params]\nmotif=/p/x.png\n"), false);
    EXPECT_FALSE(s.patternSwitchedOff);
}

struct DefaultPatternCase {
    QStringList files;
    const char* expected;
};

class DefaultPattern : public testing::TestWithParam<DefaultPatternCase> {};

TEST_P(DefaultPattern, FirstExtensionThatExists) {
    TTempProgram program;
    for (const QString& f : GetParam().files)
        WriteFile(program.ProgramFolder() + "/" + f, "x");
    const TAppPaths paths = program.Paths();
    TViewerSettings s;
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    store.FindDefaultPattern();
    const QString expected =
        *GetParam().expected ? program.ProgramFolder() + "/" + GetParam().expected : QString();
    EXPECT_EQ(s.motif, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultPattern,
    testing::Values(
        DefaultPatternCase{{"tavelune.bmp", "tavelune.png", "tavelune.gif", "tavelune.jpg"},
                           "tavelune.jpg"},
        DefaultPatternCase{{"tavelune.bmp", "tavelune.png", "tavelune.gif"}, "tavelune.gif"},
        DefaultPatternCase{{"tavelune.bmp", "tavelune.png"}, "tavelune.png"},
        DefaultPatternCase{{"tavelune.bmp"}, "tavelune.bmp"},
        DefaultPatternCase{{"tavelune.jpeg", "tavelune.tif", "other.jpg"}, ""},
        DefaultPatternCase{{}, ""}));

TEST(DefaultPattern, ExtensionOfTheProgramIsReplacedAndASetPathKept) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("viewer.jpg"), "x");
    WriteFile(dir.filePath("viewer.exe.jpg"), "x");
    const TAppPaths paths(dir.filePath("viewer.exe"), dir.filePath("config"));
    TViewerSettings s;
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    store.FindDefaultPattern();
    EXPECT_EQ(s.motif, dir.filePath("viewer.jpg"));
    s.motif = "/chosen.png";
    store.FindDefaultPattern();
    EXPECT_EQ(s.motif, "/chosen.png");
}

TEST(StartupPattern, RememberedThenLoadedUnlessSwitchedOff) {
    struct Case {
        const char* settings;
        QString startupPattern;
        QStringList effects;
        bool bmotif;
    };
    TTempProgram program;
    WriteFile(program.ProgramFolder() + "/tavelune.jpg", "x");
    const QString dflt = program.ProgramFolder() + "/tavelune.jpg";
    for (const Case& c :
         {Case{"zoom=1\n", dflt, {"load tavelune.jpg"}, true},
          Case{"motif=/p/mine.png\n", "/p/mine.png", {"load mine.png"}, true},
          Case{"cf=#000000\nbmotif=0\n", dflt, {"cf 000000", "discard", "discard"}, false}}) {
        const TAppPaths paths = program.Paths();
        WriteFile(paths.SettingsFile(), QByteArray("[Params]\n") + c.settings);
        TViewerSettings s;
        TFakeEffects effects;
        TFakeMessages messages;
        TSettingsStore store(s, paths, effects, messages);
        store.LoadSettingsFile(paths.SettingsFile());
        store.RememberStartupPattern();
        EXPECT_EQ(s.startupPattern, c.startupPattern) << c.settings;
        EXPECT_FALSE(store.StartupOver());
        store.FinishStartup();
        EXPECT_TRUE(store.StartupOver());
        EXPECT_EQ(effects.log, c.effects) << c.settings;
        EXPECT_EQ(s.bmotif, c.bmotif) << c.settings;
    }
}

} // namespace
