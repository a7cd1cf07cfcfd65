// "Save": the question, and a settings file that holds exactly what the dialog shows while
// every other line of it is kept.
#include "ParamsFormFixture.h"

#include <QFile>

namespace {

const QByteArray kHandWritten = "; my settings\r\n"
                                "[Other]\r\n"
                                "zoom=5\r\n"
                                "\r\n"
                                "[params]\r\n"
                                "defdir=/photos\r\n"
                                "Zoom = 2\r\n"
                                "motif=/p/pattern.png\r\n"
                                "lk=/linked/\r\n"
                                "custom=kept\r\n";

TEST_F(ParamsFormTest, SaveAsksFirst) {
    form.FormShow();
    dialogs.MessageAnswers = {mrNo};
    EXPECT_FALSE(form.BSauverClick());
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text,
              QString::fromUtf8("Voulez-vous réellement enregistrer les paramètres ?"));
    EXPECT_EQ(dialogs.Messages[0].Kind, mkConfirmation);
    EXPECT_EQ(dialogs.Messages[0].Buttons, unsigned(mbYesNo));
    EXPECT_FALSE(QFile::exists(SettingsFile())); // "No" writes nothing
}

TEST_F(ParamsFormTest, SaveWritesTheShownValuesAndKeepsTheOtherLines) {
    WriteFile(SettingsFile(), kHandWritten);
    MakeDistinct(s);
    const QStringList record = Fields(s);
    form.FormShow();
    // Values shown but not applied.
    form.CBZoom->setCurrentIndex(6);
    form.CBFlou->setChecked(false);
    form.SEDelaiDiaporama->setText("");
    form.SEEpaisseurCadre->SetValue(3);
    form.CBGras->setChecked(false);
    form.CBItalique->setChecked(true);
    form.RGRotation->SetItemIndex(5);
    form.CBFluidite->setCurrentIndex(0);
    dialogs.MessageAnswers = {mrYes};
    ASSERT_TRUE(form.BSauverClick());

    EXPECT_EQ(Fields(s), record); // the record is not changed
    EXPECT_TRUE(form.isVisible() || form.result() == 0);
    const QByteArray expected = "; my settings\r\n"
                                "[Other]\r\n"
                                "zoom=5\r\n"
                                "\r\n"
                                "[params]\r\n"
                                "defdir=/photos\r\n"
                                "Zoom = 6\r\n"
                                "motif=/p/pattern.png\r\n"
                                "lk=/linked/\r\n"
                                "custom=kept\r\n"
                                "cf=#123456\r\n"
                                "bcadre=0\r\n"
                                "bombre=0\r\n"
                                "b3d=1\r\n"
                                "breduction=0\r\n"
                                "brayures=1\r\n"
                                "bmotif=1\r\n"
                                "bboucler=0\r\n"
                                "delai=\r\n"
                                "teinte=4\r\n"
                                "reglage=2\r\n"
                                "bflou=0\r\n"
                                "bsa=0\r\n"
                                "bss=0\r\n"
                                "fluidite=0\r\n"
                                "cadre=#ABCDEF,3\r\n"
                                "bva=1\r\n"
                                "vtaille=1234\r\n"
                                "pe=0\r\n"
                                "rotation=5\r\n"
                                "bquitter=1\r\n"
                                "bcmt=1\r\n"
                                "tcmt=17\r\n"
                                "ccmt=#FEDCBA\r\n"
                                "pcmt=1\r\n"
                                "scmt=iu\r\n"
                                "scmtnf=0\r\n"
                                "boptimiserz=0\r\n"
                                "bagrandir=0\r\n"
                                "bcouleurs=0\r\n";
    EXPECT_EQ(ReadFile(SettingsFile()), expected);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ParamsFormTest, SavedFileReadsBackAsTheShownValues) {
    MakeDistinct(s);
    form.FormShow();
    dialogs.MessageAnswers = {mrYes};
    ASSERT_TRUE(form.BSauverClick());
    // Read by a fresh record: it takes what the dialog showed.
    TViewerSettings fresh = DefaultViewerSettings(paths);
    TFakeEffects otherEffects;
    TSettingsStore reader(fresh, paths, otherEffects, messages);
    reader.LoadSettingsFile(SettingsFile());
    QStringList got = Fields(fresh), want = Fields(s);
    // Keys the dialog does not write, and the pattern decision, stay out of the comparison.
    for (QStringList* l : {&got, &want}) {
        l->removeIf([](const QString& f) {
            return f.startsWith("motif=") || f.startsWith("bmotif=") || f.startsWith("defdir=") ||
                   f.startsWith("lk=") || f.startsWith("unit=") || f.startsWith("cf=");
        });
    }
    EXPECT_EQ(got, want);
    EXPECT_EQ(fresh.cf, s.cf);
}

struct TWindowCase {
    bool fullScreen, maximised;
    const char* pe;
    const char* bagrandir;
};

class SavedWindowState : public ParamsFormTest, public testing::WithParamInterface<TWindowCase> {};

TEST_P(SavedWindowState, FromTheMainWindow) {
    const TWindowCase c = GetParam();
    effects.fullScreen = c.fullScreen;
    maximised = c.maximised;
    form.FormShow();
    dialogs.MessageAnswers = {mrYes};
    ASSERT_TRUE(form.BSauverClick());
    EXPECT_EQ(Saved("pe"), QString(c.pe));
    EXPECT_EQ(Saved("bagrandir"), QString(c.bagrandir));
}

INSTANTIATE_TEST_SUITE_P(States, SavedWindowState,
                         testing::Values(TWindowCase{false, false, "0", "0"},
                                         TWindowCase{false, true, "0", "1"},
                                         TWindowCase{true, true, "1", "0"},
                                         TWindowCase{true, false, "1", "0"}));

TEST_F(ParamsFormTest, SaveFailureIsReportedAndLeavesTheFile) {
    WriteFile(SettingsFile(), kHandWritten);
    form.FormShow();
    dialogs.MessageAnswers = {mrYes};
    bool written = true;
    {
        // The new file is longer than the old one: the disk is full before it is complete.
        TFileSizeLimit full(rlim_t(kHandWritten.size()) + 16);
        written = form.BSauverClick();
    }
    EXPECT_FALSE(written);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith(QString::fromUtf8("Impossible d'écrire dans ")));
    EXPECT_EQ(ReadFile(SettingsFile()), kHandWritten);
    EXPECT_EQ(QDir(program.ProgramFolder()).entryList(QDir::Files), QStringList{"Tavelune.ini"});
}

} // namespace
