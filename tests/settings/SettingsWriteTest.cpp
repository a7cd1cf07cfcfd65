// Writing the settings file: "Save", the keys written at exit, and what a hand-edited file
// keeps.
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

#include "SettingsTestUtil.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

class SettingsWrite : public testing::Test {
protected:
    TTempProgram program;
    TAppPaths paths = program.Paths();
    TViewerSettings s = DefaultViewerSettings(paths);
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store{s, paths, effects, messages};
};

TEST_F(SettingsWrite, SaveWritesThirtyOneKeysInOrder) {
    s.cf = RGBColor(0x10, 0x20, 0x30);
    s.cadre = {RGBColor(0xC0, 0xC0, 0xC0), 7};
    s.scmt = {true, false, true};
    s.fluidite = 16;
    s.bcouleurs = false;
    ASSERT_TRUE(store.SaveSettingsFile(SettingsValuesOf(s, false, true)));
    EXPECT_EQ(ReadFile(paths.SettingsFile()),
              QByteArray("[Params]\ncf=#102030\nbcadre=1\nbombre=1\nb3d=0\nzoom=1\n"
                         "breduction=1\nbrayures=0\nbmotif=0\nbboucler=1\ndelai=3\nteinte=0\n"
                         "reglage=0\nbflou=0\nbsa=1\nbss=1\nfluidite=3\ncadre=#C0C0C0,7\nbva=0\n"
                         "vtaille=480\npe=0\nrotation=6\nbquitter=0\nbcmt=0\ntcmt=10\n"
                         "ccmt=#000000\npcmt=0\nscmt=bu\nscmtnf=1\nboptimiserz=1\nbagrandir=1\n"
                         "bcouleurs=0\n"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SettingsWrite, SaveWritesTheGivenTextsAsTheyAre) {
    // The dialog passes what its controls show: an emptied spin edit is an empty value.
    TSettingsValues v = SettingsValuesOf(s, false, false);
    v.delai = "";
    v.fluidite = "-1";
    ASSERT_TRUE(store.SaveSettingsFile(v));
    TIniFile file;
    ASSERT_TRUE(file.LoadFromFile(paths.SettingsFile()));
    EXPECT_EQ(file.Read("Params", "delai"), QString(""));
    EXPECT_EQ(file.Read("Params", "fluidite"), QString("-1"));
    EXPECT_EQ(s.delai, 3); // the record is not touched
}

struct WindowStateCase {
    bool fullScreen, maximised;
    const char* pe;
    const char* bagrandir;
};

class WindowStateValues : public testing::TestWithParam<WindowStateCase> {};

TEST_P(WindowStateValues, FromTheMainWindow) {
    TViewerSettings s;
    s.pe = !GetParam().fullScreen; // the record's own value does not count
    s.bagrandir = !GetParam().maximised;
    const TSettingsValues v = SettingsValuesOf(s, GetParam().fullScreen, GetParam().maximised);
    EXPECT_EQ(v.pe, GetParam().pe);
    EXPECT_EQ(v.bagrandir, GetParam().bagrandir);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowStateValues,
                         testing::Values(WindowStateCase{false, false, "0", "0"},
                                         WindowStateCase{false, true, "0", "1"},
                                         WindowStateCase{true, true, "1", "0"},
                                         WindowStateCase{true, false, "1", "0"}));

TEST(SettingsValues, DerivedTexts) {
    struct Case {
        int step;
        const char* fluidite;
    };
    for (const Case& c : {Case{1, "0"}, Case{3, "1"}, Case{8, "2"}, Case{16, "3"}, Case{5, "1"}}) {
        TViewerSettings s;
        s.fluidite = c.step;
        EXPECT_EQ(SettingsValuesOf(s, false, false).fluidite, c.fluidite) << c.step;
    }
    const TCommentStyles styles[] = {
        {false, false, false}, {true, true, true}, {false, true, false}, {true, false, true}};
    const char* texts[] = {"", "biu", "i", "bu"};
    for (int i = 0; i < 4; ++i) {
        TViewerSettings s;
        s.scmt = styles[i];
        EXPECT_EQ(SettingsValuesOf(s, false, false).scmt, texts[i]);
    }
}

TEST_F(SettingsWrite, SystemColourIsWrittenAsItsValue) {
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Active, QPalette::Mid, QColor(0x11, 0x22, 0x33));
    QApplication::setPalette(p);
    ASSERT_EQ(s.cf, SystemColor(sciAppWorkSpace));
    const TSettingsValues v = SettingsValuesOf(s, false, false);
    QApplication::setPalette(saved);
    EXPECT_EQ(v.cf, "#112233");
}

TEST_F(SettingsWrite, WhatIsSavedReadsBack) {
    s.cf = RGBColor(1, 2, 3);
    s.cadre = {RGBColor(200, 100, 50), 33};
    s.bcadre = false;
    s.bombre = false;
    s.b3d = true;
    s.brayures = true;
    s.zoom = 7;
    s.breduction = false;
    s.boptimiserz = false;
    s.vtaille = 1234;
    s.bva = true;
    s.delai = 9;
    s.bboucler = false;
    s.bquitter = true;
    s.bsa = false;
    s.bss = false;
    s.fluidite = 8;
    s.teinte = 4;
    s.reglage = 2;
    s.bflou = true;
    s.rotation = 3;
    s.bcmt = true;
    s.tcmt = 17;
    s.ccmt = RGBColor(9, 8, 7);
    s.pcmt = 1;
    s.scmt = {true, true, false};
    s.scmtnf = false;
    ASSERT_TRUE(store.SaveSettingsFile(SettingsValuesOf(s, false, false)));

    TViewerSettings back = DefaultViewerSettings(paths);
    TFakeEffects backEffects;
    TSettingsStore reader(back, paths, backEffects, messages);
    reader.LoadSettingsFile(paths.SettingsFile());
    s.patternSwitchedOff = true; // cf is in the file and no pattern is
    EXPECT_EQ(Describe(back), Describe(s));
    EXPECT_EQ(backEffects.log, (QStringList{"step 8", "cf 030201", "discard"}));
}

TEST_F(SettingsWrite, HandEditedFileKeepsEveryLine) {
    const QByteArray before = "; Tavelune settings, edited by hand\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "cf=#123456\r\n"
                              "\r\n"
                              "[PARAMS]\r\n"
                              "  ZOOM = 2\r\n"
                              "; zoom=4 was too much\r\n"
                              "Motif=\"pat tern.png\"\r\n"
                              "region=10,10,500,400\r\n"
                              "lk=/data/Big\r\n"
                              "cdir=/chosen\r\n"
                              "\r\n"
                              "[Last]\r\n"
                              "x=y";
    WriteFile(paths.SettingsFile(), before);
    ASSERT_TRUE(store.SaveSettingsFile(SettingsValuesOf(s, false, false)));
    s.defdir = "/photos/new";
    s.unit = puInch;
    store.SaveExitSettings();

    const QByteArray after = ReadFile(paths.SettingsFile());
    const QList<QByteArray> lines = after.split('\n');
    // Every line of the old file is still there, in its order, with its own ending; only
    // the value of ZOOM changed.
    QList<QByteArray> expectedOld = before.split('\n');
    expectedOld[6] = "  ZOOM = 1\r";
    qsizetype at = 0;
    for (const QByteArray& old : expectedOld) {
        while (at < lines.size() && lines[at] != old)
            ++at;
        EXPECT_LT(at, lines.size()) << "lost line: " << old.toStdString();
    }
    // New keys sit in the section, before its trailing blank line, with the file's endings.
    EXPECT_TRUE(after.contains("cdir=/chosen\r\ncf=#"));
    EXPECT_TRUE(after.contains("bagrandir=0\r\nbcouleurs=1\r\ndefdir=/photos/new\r\nunit=1\r\n\r\n"
                               "[Last]\r\nx=y"));
    EXPECT_FALSE(after.contains("zoom=1")) << "zoom written twice";
    TIniFile file;
    ASSERT_TRUE(file.LoadFromFile(paths.SettingsFile()));
    EXPECT_EQ(file.Read("Other", "cf"), QString("#123456"));
    EXPECT_EQ(file.Read("Params", "motif"), QString("pat tern.png"));
    EXPECT_EQ(file.Read("Params", "zoom"), QString("1"));
}

TEST_F(SettingsWrite, FailedSaveLeavesOldFileAndTellsTheUser) {
    const QByteArray old = "[Params]\nzoom=4\n";
    WriteFile(paths.SettingsFile(), old);
    {
        const TFileSizeLimit full(32);
        EXPECT_FALSE(store.SaveSettingsFile(SettingsValuesOf(s, false, false)));
    }
    EXPECT_EQ(ReadFile(paths.SettingsFile()), old);
    EXPECT_EQ(messages.shown,
              QStringList{QString::fromUtf8("Impossible d'écrire dans ") + paths.SettingsFile()});
    EXPECT_EQ(QDir(program.ProgramFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Tavelune.ini"});
}

TEST(SettingsSave, UnreachableFileIsReportedWithItsPath) {
    QTemporaryDir dir;
    // The user configuration folder is a plain file, and the program folder does not exist.
    WriteFile(dir.filePath("config"), "not a folder");
    const TAppPaths paths(dir.filePath("missing/tavelune"), dir.filePath("config"));
    TViewerSettings s;
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    EXPECT_FALSE(store.SaveSettingsFile(SettingsValuesOf(s, false, false)));
    EXPECT_EQ(messages.shown, QStringList{QString::fromUtf8("Impossible d'écrire dans ") +
                                          dir.filePath("config/Tavelune.ini")});
    store.SaveExitSettings(); // silent
    store.WriteChosenFolder("/x");
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(ReadFile(dir.filePath("config")), QByteArray("not a folder"));
}

TEST_F(SettingsWrite, UnreadableSettingsFileIsNotOverwritten) {
    // A folder where the file should be: nothing can be read, so nothing is replaced.
    QDir().mkpath(paths.SettingsFile());
    EXPECT_FALSE(store.SaveSettingsFile(SettingsValuesOf(s, false, false)));
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(QFileInfo(paths.SettingsFile()).isDir());
}

TEST_F(SettingsWrite, ExitSettingsCreateTheFile) {
    s.defdir = "/photos/2024";
    store.SaveExitSettings();
    EXPECT_EQ(ReadFile(paths.SettingsFile()),
              QByteArray("[Params]\ndefdir=/photos/2024\nunit=0\n"));
    s.unit = puInch;
    store.SaveExitSettings();
    EXPECT_EQ(ReadFile(paths.SettingsFile()),
              QByteArray("[Params]\ndefdir=/photos/2024\nunit=1\n"));
}

TEST_F(SettingsWrite, ExitSettingsFailSilentlyAndKeepTheFile) {
    const QByteArray old = "[Params]\ndefdir=/old\n";
    WriteFile(paths.SettingsFile(), old);
    s.defdir = "/" + QString(100, u'n');
    {
        const TFileSizeLimit full(32);
        store.SaveExitSettings();
    }
    EXPECT_EQ(ReadFile(paths.SettingsFile()), old);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SettingsWrite, FolderWithLineBreakIsNotStored) {
    s.defdir = "/photos\n[Params]\nzoom=8";
    s.unit = puInch;
    store.SaveExitSettings();
    EXPECT_EQ(ReadFile(paths.SettingsFile()), QByteArray("[Params]\nunit=1\n"));
}

TEST_F(SettingsWrite, ChosenFolderReadAndWritten) {
    EXPECT_EQ(store.ReadChosenFolder(), program.ProgramFolder()); // the default folder
    store.WriteChosenFolder("/picked/here");
    EXPECT_EQ(ReadFile(paths.SettingsFile()), QByteArray("[Params]\ncdir=/picked/here\n"));
    TViewerSettings other = DefaultViewerSettings(paths);
    TSettingsStore again(other, paths, effects, messages);
    EXPECT_EQ(again.ReadChosenFolder(), "/picked/here");
    // Reading the settings file leaves it to the dialog.
    TViewerSettings loaded = DefaultViewerSettings(paths);
    TSettingsStore reader(loaded, paths, effects, messages);
    reader.LoadSettingsFile(paths.SettingsFile());
    EXPECT_EQ(loaded.cdir, program.ProgramFolder());
}

} // namespace
