// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/AppPaths.h"
#include "settings/ViewerSettings.h"

#include "SettingsTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(AppPaths, SettingsBesideAWritableProgram) {
    const TTempProgram program;
    const TAppPaths paths = program.Paths();
    EXPECT_EQ(paths.ProgramFile(), program.ProgramFile());
    EXPECT_EQ(paths.ProgramFolder(), program.ProgramFolder());
    EXPECT_EQ(paths.SettingsFile(), program.ProgramFolder() + "/Tavelune.ini");
    // The probe that tested the folder leaves nothing behind.
    EXPECT_TRUE(QDir(program.ProgramFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(AppPaths, SettingsInUserFolderWhenProgramFolderCannotBeWritten) {
    QTemporaryDir dir;
    const TAppPaths missing(dir.filePath("gone/tavelune"), dir.filePath("cfg"));
    EXPECT_EQ(missing.SettingsFile(), dir.filePath("cfg/Tavelune.ini"));
    // /proc refuses new files even to the administrator.
    const TAppPaths readOnly("/proc/tavelune", dir.filePath("cfg"));
    EXPECT_EQ(readOnly.SettingsFile(), dir.filePath("cfg/Tavelune.ini"));
    EXPECT_FALSE(FolderWritable("/proc"));
    EXPECT_TRUE(FolderWritable(dir.path()));
    EXPECT_FALSE(FolderWritable(dir.filePath("gone")));
}

TEST(AppPaths, RelativeProgramPathBecomesAbsolute) {
    const TAppPaths paths("bin/tavelune", "/cfg");
    EXPECT_TRUE(QDir::isAbsolutePath(paths.ProgramFile()));
    EXPECT_EQ(paths.ProgramFolder(), QDir::current().absoluteFilePath("bin"));
}

struct ThemesCase {
    const char* name;
    bool besideProgram, inFirstData, inSecondData;
    const char* expected; // "prog", "data1", "data2" or "prog-folder"
};

class ThemesFolder : public testing::TestWithParam<ThemesCase> {};

TEST_P(ThemesFolder, Rule) {
    const ThemesCase& c = GetParam();
    const TTempProgram program;
    const QString data1 = program.dir.filePath("share1"), data2 = program.dir.filePath("share2");
    if (c.besideProgram) QDir().mkpath(program.ProgramFolder() + "/Themes");
    if (c.inFirstData) QDir().mkpath(data1 + "/Themes");
    if (c.inSecondData) QDir().mkpath(data2 + "/Themes");
    QDir().mkpath(data1);
    const TAppPaths paths = program.Paths({data1, data2});
    const QString expected = QString(c.expected) == "prog"    ? program.ProgramFolder() + "/Themes"
                             : QString(c.expected) == "data1" ? data1 + "/Themes"
                             : QString(c.expected) == "data2" ? data2 + "/Themes"
                                                              : program.ProgramFolder();
    EXPECT_EQ(paths.ThemesFolder(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ThemesFolder,
                         testing::Values(ThemesCase{"beside_wins", true, true, true, "prog"},
                                         ThemesCase{"first_data", false, true, true, "data1"},
                                         ThemesCase{"second_data", false, false, true, "data2"},
                                         ThemesCase{"none", false, false, false, "prog-folder"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AppPaths, ThemesMustBeAFolder) {
    const TTempProgram program;
    WriteFile(program.ProgramFolder() + "/Themes", "a file");
    EXPECT_EQ(program.Paths().ThemesFolder(), program.ProgramFolder());
}

TEST(ViewerSettingsDefaults, TableValues) {
    const TTempProgram program;
    const TViewerSettings s = DefaultViewerSettings(program.Paths());
    EXPECT_EQ(s.defdir, program.ProgramFolder());
    EXPECT_EQ(s.cdir, program.ProgramFolder());
    EXPECT_EQ(s.unit, puCentimetre);
    EXPECT_EQ(s.cf, SystemColor(sciAppWorkSpace));
    EXPECT_EQ(s.motif, "");
    EXPECT_FALSE(s.bmotif);
    EXPECT_EQ(s.cadre, (TFrameSetting{clWhite, 15}));
    EXPECT_TRUE(s.bcadre);
    EXPECT_TRUE(s.bombre);
    EXPECT_FALSE(s.b3d);
    EXPECT_FALSE(s.brayures);
    EXPECT_EQ(s.zoom, 1);
    EXPECT_TRUE(s.breduction);
    EXPECT_TRUE(s.boptimiserz);
    EXPECT_EQ(s.vtaille, 480);
    EXPECT_FALSE(s.bva);
    EXPECT_EQ(s.delai, 3);
    EXPECT_TRUE(s.bboucler);
    EXPECT_FALSE(s.bquitter);
    EXPECT_TRUE(s.bsa);
    EXPECT_TRUE(s.bss);
    EXPECT_EQ(s.fluidite, 3);
    EXPECT_EQ(s.teinte, 0);
    EXPECT_EQ(s.reglage, 0);
    EXPECT_FALSE(s.bflou);
    EXPECT_EQ(s.region, std::nullopt);
    EXPECT_FALSE(s.pe);
    EXPECT_FALSE(s.bagrandir);
    EXPECT_EQ(s.lk, "");
    EXPECT_EQ(s.rotation, 6);
    EXPECT_FALSE(s.bcmt);
    EXPECT_EQ(s.tcmt, 10);
    EXPECT_EQ(s.ccmt, clBlack);
    EXPECT_EQ(s.pcmt, 0);
    EXPECT_EQ(s.scmt, TCommentStyles{});
    EXPECT_TRUE(s.scmtnf);
}

TEST(Fluidity, StepsAndIndices) {
    const int steps[] = {1, 3, 8, 16};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FluidityStep(i), steps[i]);
        EXPECT_EQ(FluidityIndex(steps[i]), i);
    }
    for (int other : {-1, 4, 99})
        EXPECT_EQ(FluidityStep(other), 3);
    for (int other : {0, 2, 4, 15, 17})
        EXPECT_EQ(FluidityIndex(other), -1);
}

} // namespace

namespace {

TEST(AppPaths, InstalledDataFoldersStartBesideTheProgramsTree) {
    const QStringList folders =
        InstalledDataFolders("/opt/x/bin", {"/home/u/.local/share", "/usr/share/", "/usr/share"});
    EXPECT_EQ(folders, (QStringList{"/opt/x/share/tavelune", "/home/u/.local/share/tavelune",
                                    "/usr/share/tavelune"}));
}

TEST(AppPaths, ThemesOfAnInstalledTree) {
    // bin/ and share/tavelune/Themes as the install rules lay them out; bin/ is read-only in a
    // real install, which does not matter for the themes.
    QTemporaryDir root;
    QDir().mkpath(root.filePath("bin"));
    QDir().mkpath(root.filePath("share/tavelune/Themes"));
    const TAppPaths paths(root.filePath("bin/tavelune"), root.filePath("cfg"),
                          InstalledDataFolders(root.filePath("bin"), {}));
    EXPECT_EQ(paths.ThemesFolder(), root.filePath("share/tavelune/Themes"));
}

} // namespace
