// SPDX-License-Identifier: GPL-2.0-or-later
// Rename, move, copy and delete of the shown image's file on a temporary folder: the questions,
// the list and the view afterwards, and that no existing file is ever replaced.
#include "MainFormFixture.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>
#include <sys/stat.h>

namespace {

using enum TCommand;

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FileCommandsTest : public MainFormTest {
protected:
    // Three images a.png, b.png, c.png; the one at openIndex is shown.
    TMainForm& StartOnSeries(int openIndex = 0, int count = 3) {
        WriteSettings({"bsa=0"});
        m_images = WriteSeries(Img(""), count);
        for (const QString& p : m_images)
            m_before << Bytes(p);
        return Start({m_images[openIndex]});
    }
    QString Other(const QString& name = {}) {
        QDir(m_root.path()).mkpath("other");
        return Path("other/" + name);
    }
    QStringList Texts() const {
        QStringList texts;
        for (const TRecordedMessage& m : m_dialogs.Messages)
            texts << m.Text;
        return texts;
    }
    QStringList ListNames() const {
        QStringList names;
        for (const TSequenceEntry& e : m_form->Sequence().Entries())
            names << QFileInfo(e.Path).fileName();
        return names;
    }

    QStringList m_images;
    QList<QByteArray> m_before;
};

struct TRenameCase {
    const char* name;
    std::optional<QString> input; // nullopt: the input box is cancelled
    int answer;                   // to the confirmation
    QString expectedFile;         // the shown file's name afterwards
    QString expectedMessage;      // the last message, or empty
};

const QString kRenameQuestion = QStringLiteral("Rename image \"%1\"\rto \"%2\" ?");

class Rename : public FileCommandsTest, public ::testing::WithParamInterface<TRenameCase> {};

TEST_P(Rename, ByTheNameTypedKeepingTheExtension) {
    const TRenameCase& c = GetParam();
    StartOnSeries(0);
    m_dialogs.InputAnswers.push_back(c.input);
    m_dialogs.MessageAnswers.push_back(c.answer);
    m_form->RunCommand(RenameImage);

    ASSERT_EQ(m_dialogs.Inputs.size(), 1u);
    EXPECT_EQ(m_dialogs.Inputs[0].Heading, "Rename image");
    EXPECT_EQ(m_dialogs.Inputs[0].Prompt, "Input a new name (extension is preserved) :");
    EXPECT_EQ(m_dialogs.Inputs[0].Text, "a");
    EXPECT_EQ(QFileInfo(m_form->CurrentFile()).fileName(), c.expectedFile);
    EXPECT_EQ(Bytes(Img(c.expectedFile)), m_before[0]);
    EXPECT_EQ(ListNames()[0], c.expectedFile);
    EXPECT_EQ(Bytes(Img("b.png")), m_before[1]) << "an existing file was replaced";
    EXPECT_EQ(m_form->StatusText(3), QDir::toNativeSeparators(Img(c.expectedFile)));
    QString expected = c.expectedMessage;
    if (expected.startsWith("<question "))
        expected = kRenameQuestion.arg(Img("a.png"), Img(expected.mid(10).chopped(1) + ".png"));
    EXPECT_EQ(Texts().isEmpty() ? QString() : Texts().back(), expected);
    if (c.expectedFile != "a.png") {
        EXPECT_FALSE(QFileInfo::exists(Img("a.png")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rename,
    ::testing::Values(TRenameCase{"newName", QString("x"), mrYes, "x.png", "<question x>"},
                      TRenameCase{"letterCaseOnly", QString("A"), mrYes, "A.png", "<question A>"},
                      TRenameCase{"sameName", QString("a"), mrYes, "a.png",
                                  "The name or the path are identical !"},
                      TRenameCase{"existingTarget", QString("b"), mrYes, "a.png",
                                  "Can not rename this image !"},
                      TRenameCase{"inputCancelled", std::nullopt, mrYes, "a.png", ""},
                      TRenameCase{"answeredNo", QString("x"), mrNo, "a.png", "<question x>"},
                      TRenameCase{"boxClosed", QString("x"), mrCancel, "a.png", "<question x>"}),
    [](const auto& info) { return std::string(info.param.name); });

// The question's text for the cases above, checked apart so the table stays readable.
TEST_F(FileCommandsTest, RenameAsksWithBothFullPaths) {
    StartOnSeries(0);
    m_dialogs.InputAnswers.push_back(QString("x"));
    m_dialogs.MessageAnswers.push_back(mrNo);
    m_form->RunCommand(RenameImage);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, kRenameQuestion.arg(Img("a.png"), Img("x.png")));
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkConfirmation);
    EXPECT_EQ(m_dialogs.Messages[0].Buttons, unsigned(mbYesNo));
}

TEST_F(FileCommandsTest, RenameKeepsTheCommentAndTheListMark) {
    StartOnSeries(1);
    m_form->Sequence().SetCurrentComment("kept");
    m_form->Sequence().SetModified(false);
    m_dialogs.InputAnswers.push_back(QString("renamed"));
    m_form->RunCommand(RenameImage);
    EXPECT_EQ(m_form->Sequence().Entries()[1].Path, Img("renamed.png"));
    EXPECT_EQ(m_form->Sequence().Entries()[1].Comment, "kept");
    EXPECT_FALSE(m_form->Sequence().Modified());
}

TEST_F(FileCommandsTest, MoveShowsTheNextImageAndRemembersTheFolder) {
    StartOnSeries(1);
    m_files->folderAnswers.push_back(Other());
    m_form->RunCommand(MoveImage);
    ASSERT_EQ(m_files->folderStarts.size(), 1u);
    EXPECT_EQ(m_files->folderStarts[0], Img("").chopped(1)) << "the default folder";
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text,
              QString("Move image \"%1\"\rto \"%2\" ?").arg(Img("b.png"), Other("b.png")));
    EXPECT_FALSE(QFileInfo::exists(Img("b.png")));
    EXPECT_EQ(Bytes(Other("b.png")), m_before[1]);
    EXPECT_EQ(ListNames(), (QStringList{"a.png", "c.png"}));
    EXPECT_EQ(m_form->CurrentFile(), Img("c.png"));
    EXPECT_EQ(CurrentWidth(), 60);
    EXPECT_TRUE(SettingsText().contains("cdir=" + Other())) << SettingsText().toStdString();

    // The next choice starts in the folder remembered.
    m_files->folderAnswers.push_back(QString());
    m_form->RunCommand(MoveImage);
    ASSERT_EQ(m_files->folderStarts.size(), 2u);
    EXPECT_EQ(QDir::cleanPath(m_files->folderStarts[1]), QDir::cleanPath(Other()));
}

TEST_F(FileCommandsTest, MoveOntoAnExistingFileChangesNothing) {
    StartOnSeries(0);
    QFile f(Other("a.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("already here");
    f.close();
    m_files->folderAnswers.push_back(Other());
    m_form->RunCommand(MoveImage);
    EXPECT_EQ(Texts().back(), "Can not move this image !");
    EXPECT_EQ(Bytes(Other("a.png")), "already here");
    EXPECT_EQ(Bytes(Img("a.png")), m_before[0]);
    EXPECT_EQ(ListNames(), (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(m_form->CurrentFile(), Img("a.png"));
}

struct TFolderCase {
    const char* name;
    bool sameFolder; // the folder chosen is the image's own
    int answer;      // to the confirmation
    bool moved;
    const char* lastText; // "" none; "?" the question
};

class MoveAnswers : public FileCommandsTest, public ::testing::WithParamInterface<TFolderCase> {};

TEST_P(MoveAnswers, OnlyYesMovesTheFile) {
    const TFolderCase& c = GetParam();
    StartOnSeries(0);
    m_files->folderAnswers.push_back(c.sameFolder ? Img("") : Other());
    m_dialogs.MessageAnswers.push_back(c.answer);
    m_form->RunCommand(MoveImage);
    EXPECT_EQ(QFileInfo::exists(Img("a.png")), !c.moved);
    EXPECT_EQ(QFileInfo::exists(Other("a.png")), c.moved);
    const QString expected =
        QString(c.lastText) == "?"
            ? QString("Move image \"%1\"\rto \"%2\" ?").arg(Img("a.png"), Other("a.png"))
            : QString(c.lastText);
    EXPECT_EQ(Texts().isEmpty() ? QString() : Texts().back(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MoveAnswers,
                         ::testing::Values(TFolderCase{"yes", false, mrYes, true, "?"},
                                           TFolderCase{"no", false, mrNo, false, "?"},
                                           TFolderCase{"boxClosed", false, mrCancel, false, "?"},
                                           TFolderCase{"sameFolder", true, mrYes, false,
                                                       "The name or the path are identical !"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, MovingTheOnlyImageEmptiesTheView) {
    WriteSettings({"bsa=0", "cf=#123456"});
    const QString only = WriteImage(Img("only.png"), UniformImage(40, 30, Rgb(200, 0, 0)));
    Start({only});
    ASSERT_EQ(m_form->Sequence().Count(), 1);
    m_files->folderAnswers.push_back(Other());
    m_form->RunCommand(MoveImage);
    EXPECT_TRUE(QFileInfo::exists(Other("only.png")));
    EXPECT_TRUE(m_form->WorkingImage().Empty());
    EXPECT_TRUE(m_form->Sequence().Empty());
    for (int panel = 0; panel < 4; ++panel)
        EXPECT_EQ(m_form->StatusText(panel), "") << panel;
    const TRect d = m_form->DisplayArea();
    EXPECT_EQ(BufferAt((d.Left + d.Right) / 2, (d.Top + d.Bottom) / 2), Rgb(0x12, 0x34, 0x56));
    for (TCommand c : {SaveImage, RenameImage, MoveImage, CopyImage, DeleteImage, Print})
        EXPECT_FALSE(m_form->ToolAction(c)->isEnabled()) << int(c);
}

TEST_F(FileCommandsTest, MoveToAnotherFileSystem) {
    QTemporaryDir there(QStringLiteral("/dev/shm/tavelune-XXXXXX"));
    struct stat a, b;
    if (!there.isValid() || ::stat(QFile::encodeName(there.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(m_root.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    StartOnSeries(0);
    m_files->folderAnswers.push_back(there.path());
    m_form->RunCommand(MoveImage);
    EXPECT_FALSE(QFileInfo::exists(Img("a.png")));
    EXPECT_EQ(Bytes(there.filePath("a.png")), m_before[0]);
    EXPECT_EQ(m_form->CurrentFile(), Img("b.png"));
}

TEST_F(FileCommandsTest, MoveOfAnImageOutsideTheListKeepsTheList) {
    StartOnSeries(1);
    const QString outside = WriteImage(Path("linked/b.png"), UniformImage(90, 30, Rgb(0, 0, 200)));
    m_form->OpenImage(outside, false);
    ASSERT_EQ(CurrentWidth(), 90);
    m_files->folderAnswers.push_back(Other());
    m_form->RunCommand(MoveImage);
    EXPECT_TRUE(QFileInfo::exists(Other("b.png")));
    EXPECT_EQ(ListNames(), (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(m_form->CurrentFile(), Img("b.png")) << "the list's current entry is shown again";
}

struct TCopyCase {
    const char* name;
    bool targetExists;
    const char* lastText;
};

class Copy : public FileCommandsTest, public ::testing::WithParamInterface<TCopyCase> {};

TEST_P(Copy, CopiesWithoutReplacingAndLeavesTheView) {
    const TCopyCase& c = GetParam();
    StartOnSeries(0);
    if (c.targetExists) {
        QFile f(Other("a.png"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("already here");
    }
    m_files->folderAnswers.push_back(Other());
    m_form->RunCommand(CopyImage);
    EXPECT_EQ(Bytes(Img("a.png")), m_before[0]);
    EXPECT_EQ(Bytes(Other("a.png")), c.targetExists ? QByteArray("already here") : m_before[0]);
    EXPECT_EQ(Texts().back(), QString(c.lastText).arg(Img("a.png"), Other("a.png")));
    EXPECT_EQ(m_form->CurrentFile(), Img("a.png"));
    EXPECT_EQ(ListNames(), (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(QDir(Other()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.png"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Copy,
    ::testing::Values(TCopyCase{"toAFreeName", false, "Copy image \"%1\"\rto \"%2\" ?"},
                      TCopyCase{"ontoAnExistingFile", true, "Can not copy this image !"}),
    [](const auto& info) { return std::string(info.param.name); });

// Points the trash at a folder of the test for the life of the object.
class TDataHome {
public:
    explicit TDataHome(const QString& path) : m_saved(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path));
    }
    ~TDataHome() {
        if (m_saved.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_saved);
    }

private:
    QByteArray m_saved;
};

TEST_F(FileCommandsTest, DeleteSendsTheFileToTheTrash) {
    StartOnSeries(1);
    TDataHome home(Path("data"));
    m_form->RunCommand(DeleteImage);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, "Do you want to send this image to the recycle bin ?");
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkConfirmation);
    EXPECT_FALSE(QFileInfo::exists(Img("b.png")));
    EXPECT_EQ(Bytes(Path("data/Trash/files/b.png")), m_before[1]);
    const QString info = QString::fromUtf8(Bytes(Path("data/Trash/info/b.png.trashinfo")));
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=" + QUrl::toPercentEncoding(Img("b.png"), "/")))
        << info.toStdString();
    EXPECT_TRUE(info.contains("\nDeletionDate=")) << info.toStdString();
    EXPECT_EQ(ListNames(), (QStringList{"a.png", "c.png"}));
    EXPECT_EQ(m_form->CurrentFile(), Img("c.png"));
}

TEST_F(FileCommandsTest, DeleteAnsweredNoKeepsTheFile) {
    StartOnSeries(1);
    TDataHome home(Path("data"));
    m_dialogs.MessageAnswers.push_back(mrNo);
    m_form->RunCommand(DeleteImage);
    EXPECT_EQ(Bytes(Img("b.png")), m_before[1]);
    EXPECT_FALSE(QFileInfo::exists(Path("data/Trash")));
    EXPECT_EQ(m_form->CurrentFile(), Img("b.png"));
}

TEST_F(FileCommandsTest, ATrashThatCannotBeMadeIsReported) {
    StartOnSeries(1);
    QFile blocker(Path("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TDataHome home(Path("data"));
    m_form->RunCommand(DeleteImage);
    ASSERT_EQ(m_dialogs.Messages.size(), 2u);
    EXPECT_EQ(m_dialogs.Messages[1].Text, "Can not send this image to the recycle bin !");
    EXPECT_EQ(m_dialogs.Messages[1].Kind, mkWarning);
    EXPECT_EQ(Bytes(Img("b.png")), m_before[1]);
    EXPECT_EQ(ListNames(), (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(m_form->CurrentFile(), Img("b.png"));
}

} // namespace
