// SPDX-License-Identifier: GPL-2.0-or-later
// The sequence manager's file side: the file pane and its types, Add, Add all, double-clicks,
// dropped files, the preview, and sequence files.
#include "SequenceFormFixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTreeWidgetItem>
#include <QUrl>

namespace {

TEST_F(SequenceFormTest, FilePaneListsTheFolderImagesOfTheChosenType) {
    WriteSeries(2);
    WriteImage(Img("c.jpeg"), UniformImage(8, 8, Grey(9)));
    WriteText(Img("d.pcx"), "listed by name only");
    WriteImage(Img(".hidden.png"), UniformImage(8, 8, Grey(9)));
    WriteText(Img("notes.txt"), "text");
    QDir().mkpath(Img("sub.png"));
    TSequenceForm& form = Open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Images sequence"));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "a fixed size";
    EXPECT_GE(form.width(), 571);
    EXPECT_GE(form.height(), 411);
    EXPECT_EQ(form.PreviewPicture().Width(), 92);
    EXPECT_EQ(form.PreviewPicture().Height(), 67);
    EXPECT_EQ(form.CmbTypes->itemText(0), QStringLiteral("Common images"));
    EXPECT_EQ(form.CmbTypes->itemText(1), QStringLiteral("All images"));
    EXPECT_EQ(form.CmbTypes->currentIndex(), 0);
    for (int i = 0; i < form.CmbTypes->count(); ++i)
        EXPECT_NE(form.FileTypeMask(i), QStringLiteral("*.*")) << i;
    EXPECT_EQ(FilePane(), (QStringList{"a.png", "b.png", "c.jpeg"}));

    struct TTypeCase {
        const char* type;
        QStringList listed;
    };
    const TTypeCase cases[] = {
        {"All images", {"a.png", "b.png", "c.jpeg", "d.pcx"}},
        {"JPEG", {"c.jpeg"}},
        {"Paintbrush", {"d.pcx"}},
        {"GIF", {}},
        {"Common images", {"a.png", "b.png", "c.jpeg"}},
    };
    for (const TTypeCase& c : cases) {
        const int index = FileTypeIndex(c.type);
        ASSERT_GE(index, 0) << c.type;
        form.CmbTypes->setCurrentIndex(index);
        EXPECT_EQ(FilePane(), c.listed) << c.type;
        EXPECT_EQ(m_sequence.FolderMask(), form.FileTypeMask(index)) << c.type;
        EXPECT_FALSE(m_sequence.FolderMask().contains(u' ')) << c.type;
    }
    form.CmbTypes->setCurrentIndex(FileTypeIndex("JPEG"));
    EXPECT_EQ(m_sequence.FolderMask(), QStringLiteral("*.jfif;*.jpe;*.jpeg;*.jpg"));
}

TEST_F(SequenceFormTest, AddAppendsAndMovesOnToTheNextFile) {
    WriteSeries(3);
    SetEntries({{"z.png", "kept"}});
    TSequenceForm& form = Open();
    form.SelectFile(0);
    ASSERT_TRUE(form.BAjouter->isEnabled());
    const struct {
        QStringList names;
        QString selectedAfter;
        TTriple preview; // the colour of the file previewed
    } steps[] = {
        {{"z.png", "a.png"}, "b.png", Rgb(200, 10, 0)},
        {{"z.png", "a.png", "b.png"}, "c.png", Rgb(200, 20, 0)},
        {{"z.png", "a.png", "b.png", "c.png"}, "c.png", Rgb(200, 20, 0)},
        {{"z.png", "a.png", "b.png", "c.png", "c.png"}, "c.png", Rgb(200, 20, 0)},
    };
    for (const auto& step : steps) {
        QTest::mouseClick(form.BAjouter, Qt::LeftButton);
        EXPECT_EQ(Names(), step.names);
        EXPECT_EQ(form.SelectedFile(), Img(step.selectedAfter));
        EXPECT_EQ(PreviewCentre(), step.preview);
    }
    EXPECT_EQ(Comments(), (QStringList{"kept", "", "", "", ""}));
    EXPECT_EQ(ListPane().size(), 5);
    EXPECT_EQ(form.LNombre->text(), QStringLiteral("5 files"));
    EXPECT_TRUE(m_sequence.Modified());
    EXPECT_EQ(form.SelectedEntry(), -1) << "adding does not select in the list";
}

struct TDoubleClickCase {
    const char* name;
    int row;
    int selectedAfter;
};

void PrintTo(const TDoubleClickCase& c, std::ostream* os) {
    *os << c.name;
}

class ManagerDoubleClicks : public SequenceFormTest,
                            public ::testing::WithParamInterface<TDoubleClickCase> {};

TEST_P(ManagerDoubleClicks, AddTheFileAndMoveOnUnlessLast) {
    const TDoubleClickCase& c = GetParam();
    const QStringList files = WriteSeries(3);
    TSequenceForm& form = Open();
    QListWidget* pane = form.LBFichiers;
    const QPoint at = pane->visualItemRect(pane->item(c.row)).center();
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(m_sequence.Count(), 1);
    EXPECT_EQ(m_sequence.Entries()[0].Path, files[c.row]);
    EXPECT_EQ(form.SelectedFile(), files[c.selectedAfter]);
}

INSTANTIATE_TEST_SUITE_P(Rows, ManagerDoubleClicks,
                         ::testing::Values(TDoubleClickCase{"first", 0, 1},
                                           TDoubleClickCase{"middle", 1, 2},
                                           TDoubleClickCase{"last", 2, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceFormTest, AddAllAppendsTheFolderAndItsSubfoldersByPath) {
    WriteImage(Img("x.png"), UniformImage(8, 8, Grey(1)));
    WriteImage(Img("sub/y.png"), UniformImage(8, 8, Grey(2)));
    WriteImage(Img("sub/a.tif"), UniformImage(8, 8, Grey(3)));
    WriteImage(Img(".cache/h.png"), UniformImage(8, 8, Grey(4)));
    WriteText(Img("sub/n.txt"), "n");
    SetEntries({{"first.png", "note"}});
    TSequenceForm& form = Open();
    QTest::mouseClick(form.BAjouterTout, Qt::LeftButton);
    EXPECT_EQ(Names(), (QStringList{"first.png", "sub/a.tif", "sub/y.png", "x.png"}));
    EXPECT_EQ(Comments(), (QStringList{"note", "", "", ""}));
    EXPECT_EQ(ListPane().size(), 4);
    EXPECT_EQ(form.LNombre->text(), QStringLiteral("4 files"));
    EXPECT_TRUE(m_sequence.Modified());
    EXPECT_TRUE(form.BAjouterTout->isEnabled());
}

TEST_F(SequenceFormTest, FolderChangesListTheNewFolderAndBecomeTheListsFolder) {
    WriteImage(Img("top.png"), UniformImage(8, 8, Grey(1)));
    WriteImage(Img("inner/deep.png"), UniformImage(8, 8, Grey(2)));
    TSequenceForm& form = Open();
    form.SelectFile(0);
    ASSERT_FALSE(PreviewCleared());
    form.ChangeFolder(Img("inner"));
    EXPECT_EQ(FilePane(), QStringList{"deep.png"});
    EXPECT_EQ(m_sequence.Folder(), Img("inner"));
    EXPECT_FALSE(form.BAjouter->isEnabled());
    EXPECT_TRUE(PreviewCleared());
    QTest::mouseClick(form.BAjouterTout, Qt::LeftButton);
    EXPECT_EQ(Names(), QStringList{"inner/deep.png"});

    // The folder pane shows the folder; the drive box its volume.
    EXPECT_EQ(QDir::cleanPath(form.TVDossiers->CurrentFolder()), QDir::cleanPath(Img("inner")));
    EXPECT_GE(form.CmbLecteur->currentIndex(), 0);
    EXPECT_TRUE(Img("inner").startsWith(form.TVDossiers->Root()));
}

TEST_F(SequenceFormTest, DriveRootsHoldTheRootAndEveryFolderHasItsDrive) {
    const QStringList roots = DriveRoots();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots.count(roots.front()), 1);
    EXPECT_EQ(DriveOf(Img(""), {"/"}), QStringLiteral("/"));
    EXPECT_EQ(DriveOf("/media/usb/photos", {"/", "/media/usb", "/media"}),
              QStringLiteral("/media/usb"));
    EXPECT_EQ(DriveOf("/media/usbkey", {"/", "/media/usb"}), QStringLiteral("/"));
    EXPECT_FALSE(DriveOf(Img(""), roots).isEmpty());
    for (const QString& root : roots)
        EXPECT_TRUE(QFileInfo(root).isDir()) << root.toStdString();
}

TEST_F(SequenceFormTest, FolderPaneChoicesReachTheFilePane) {
    WriteImage(Img("top.png"), UniformImage(8, 8, Grey(1)));
    WriteImage(Img("inner/deep.png"), UniformImage(8, 8, Grey(2)));
    QDir().mkpath(Img(".hidden"));
    TSequenceForm& form = Open();
    TFolderTree* tree = form.TVDossiers;
    QTreeWidgetItem* folder = tree->currentItem();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(QDir::cleanPath(tree->CurrentFolder()), QDir::cleanPath(Img("")));
    folder->setExpanded(true);
    QStringList children;
    for (int i = 0; i < folder->childCount(); ++i)
        children << folder->child(i)->text(0);
    EXPECT_EQ(children, QStringList{"inner"}) << "hidden folders are not listed";

    tree->setCurrentItem(folder->child(0)); // as a click
    EXPECT_EQ(FilePane(), QStringList{"deep.png"});
    EXPECT_EQ(QDir::cleanPath(m_sequence.Folder()), QDir::cleanPath(Img("inner")));
    tree->setCurrentItem(folder);
    EXPECT_EQ(FilePane(), QStringList{"top.png"});

    // The drive box: choosing a drive shows its root.
    const QStringList roots = DriveRoots();
    const int other = form.CmbLecteur->currentIndex() == 0 ? 1 : 0;
    if (roots.size() > 1) {
        form.CmbLecteur->setCurrentIndex(other);
        EXPECT_EQ(tree->Root(), roots[other]);
        EXPECT_EQ(m_sequence.Folder(), roots[other]);
    }
}

TEST_F(SequenceFormTest, ShowingReadsTheListsFolderAgain) {
    WriteSeries(1);
    TSequenceForm& form = Open();
    EXPECT_EQ(FilePane(), QStringList{"a.png"});
    form.SelectFile(0);
    form.reject();
    WriteImage(Img("other/new.png"), UniformImage(8, 8, Grey(1)));
    m_sequence.FillFromFolder(Img("other"), true, false); // as opening an image does
    Open();
    EXPECT_EQ(FilePane(), QStringList{"new.png"});
    EXPECT_EQ(form.SelectedFile(), QString());
    EXPECT_FALSE(form.BAjouter->isEnabled());
    EXPECT_TRUE(PreviewCleared());
}

struct TDropCase {
    const char* name;
    const char* file;
    const char* type;
    bool accepted;
};

void PrintTo(const TDropCase& c, std::ostream* os) {
    *os << c.name;
}

class ManagerDrops : public SequenceFormTest, public ::testing::WithParamInterface<TDropCase> {};

TEST_P(ManagerDrops, TakeOnlyFilesOfTheChosenType) {
    const TDropCase& c = GetParam();
    SetEntries({{"z.png", ""}});
    TSequenceForm& form = Open();
    form.CmbTypes->setCurrentIndex(FileTypeIndex(c.type));
    const QString dropped = Path(QStringLiteral("elsewhere/") + c.file);
    WriteText(dropped, "whatever");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dropped), QUrl::fromLocalFile(Img("z.png"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    if (c.accepted) {
        EXPECT_TRUE(m_dialogs.Messages.empty());
        ASSERT_EQ(m_sequence.Count(), 2) << "only the first dropped file";
        EXPECT_EQ(m_sequence.Entries()[1].Path, dropped);
        EXPECT_TRUE(m_sequence.Modified());
        EXPECT_EQ(form.LNombre->text(), QStringLiteral("2 files"));
    } else {
        ASSERT_EQ(m_dialogs.Messages.size(), 1u);
        EXPECT_EQ(m_dialogs.Messages[0].Text, QStringLiteral("Invalid image file format !"));
        EXPECT_EQ(m_dialogs.Messages[0].Kind, mkInformation);
        EXPECT_EQ(m_dialogs.Messages[0].Buttons, unsigned(mbOk));
        EXPECT_EQ(m_sequence.Count(), 1);
        EXPECT_FALSE(m_sequence.Modified());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ManagerDrops,
    ::testing::Values(TDropCase{"upperCaseJpg", "PHOTO.JPG", "Common images", true},
                      TDropCase{"text", "notes.txt", "Common images", false},
                      TDropCase{"noExtension", "README", "Common images", false},
                      TDropCase{"partOfAnExtension", "photo.jp", "Common images", false},
                      TDropCase{"trailingDot", "photo.", "Common images", false},
                      TDropCase{"otherFormat", "scan.pcx", "Common images", false},
                      TDropCase{"allImages", "scan.pcx", "All images", true},
                      TDropCase{"longJpegMask", "x.jpeg", "JPEG", true},
                      TDropCase{"pngUnderJpeg", "x.png", "JPEG", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceFormTest, DroppedFileMovesTheFilePaneOnLikeAdd) {
    const QStringList files = WriteSeries(2);
    TSequenceForm& form = Open();
    form.SelectFile(0);
    form.DropFiles({files[1]});
    EXPECT_EQ(Names(), QStringList{"b.png"});
    EXPECT_EQ(form.SelectedFile(), files[1]);
}

TEST_F(SequenceFormTest, PreviewShowsTheFileOrEntryFittedOnACard) {
    WriteImage(Img("red.png"), UniformImage(200, 100, Rgb(250, 0, 0)));
    WriteImage(Img("tiny.png"), UniformImage(10, 10, Rgb(0, 0, 250)));
    WriteText(Img("broken.png"), "not a png");
    SetEntries({{"tiny.png", ""}, {"broken.png", ""}});
    TSequenceForm& form = Open();
    EXPECT_TRUE(PreviewCleared());

    form.SelectFile(int(FilePane().indexOf("red.png")));
    EXPECT_EQ(PreviewCentre(), Rgb(250, 0, 0));
    // The card: white inside the shadow and the outline, the dialog's colour at the corner.
    EXPECT_EQ(PixelAt(form.PreviewPicture(), 2, 2), Grey(255));
    EXPECT_EQ(PixelAt(form.PreviewPicture(), kSequencePreviewWidth - 1, 0), DialogColour());

    form.SelectEntry(0);
    EXPECT_EQ(PreviewCentre(), Rgb(0, 0, 250));
    EXPECT_EQ(
        PixelAt(form.PreviewPicture(), kSequencePreviewWidth / 2 - 10, kSequencePreviewHeight / 2),
        Grey(255))
        << "a small image is never enlarged";

    form.SelectEntry(1);
    EXPECT_TRUE(PreviewCleared());
    EXPECT_TRUE(m_dialogs.Messages.empty()) << "a preview that fails says nothing";

    form.SelectEntry(0);
    QTest::mouseClick(form.CBApercu, Qt::LeftButton);
    EXPECT_FALSE(form.CBApercu->isChecked());
    EXPECT_TRUE(PreviewCleared());
    form.SelectFile(int(FilePane().indexOf("red.png")));
    EXPECT_TRUE(PreviewCleared()) << "no preview while unchecked";
    Focus(form.LBImages);
    form.SelectEntry(0);
    QTest::mouseClick(form.CBApercu, Qt::LeftButton);
    EXPECT_EQ(PreviewCentre(), Rgb(0, 0, 250)) << "checking shows the list's entry first";
    form.SelectEntry(-1);
    form.SelectFile(int(FilePane().indexOf("red.png")));
    QTest::mouseClick(form.CBApercu, Qt::LeftButton);
    QTest::mouseClick(form.CBApercu, Qt::LeftButton);
    EXPECT_EQ(PreviewCentre(), Rgb(250, 0, 0)) << "else the file pane's file";

    QTest::mouseClick(form.BSupprimerTout, Qt::LeftButton);
    EXPECT_EQ(PreviewCentre(), Rgb(250, 0, 0)) << "after Remove all: the file pane's file";
}

TEST_F(SequenceFormTest, RemovePreviewsTheEntryThatTakesItsPlace) {
    WriteImage(Img("red.png"), UniformImage(20, 20, Rgb(250, 0, 0)));
    WriteImage(Img("blue.png"), UniformImage(20, 20, Rgb(0, 0, 250)));
    SetEntries({{"red.png", ""}, {"blue.png", ""}}, 0);
    TSequenceForm& form = Open();
    EXPECT_TRUE(PreviewCleared());
    QTest::mouseClick(form.BSupprimer, Qt::LeftButton);
    EXPECT_EQ(form.SelectedEntry(), 0);
    EXPECT_EQ(PreviewCentre(), Rgb(0, 0, 250));
    QTest::mouseClick(form.BSupprimer, Qt::LeftButton);
    EXPECT_TRUE(PreviewCleared());
}

TEST_F(SequenceFormTest, SavedSequenceLoadsBackWithItsComments) {
    SetEntries({{"a.jpg", "sunset"}, {"b.png", ""}, {"c.png", "x;y"}}, 1);
    TSequenceForm& form = Open();
    const QString file = Path("seq/list.stl");
    QDir().mkpath(Path("seq"));
    m_files->saveAnswers.push_back(file);
    QTest::mouseClick(form.BSauver, Qt::LeftButton);
    ASSERT_EQ(m_files->saves.size(), 1u);
    EXPECT_EQ(m_files->saves[0].Title, QStringLiteral("Save sequence"));
    EXPECT_EQ(m_files->saves[0].Filter, QStringLiteral("Sequence file (*.stl)|*.stl"));
    EXPECT_EQ(m_files->saves[0].DefaultExtension, QStringLiteral("stl"));
    EXPECT_EQ(m_files->saves[0].FileName, QString());
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(),
              (Img("a.jpg") + ";sunset\r\n" + Img("b.png") + ";\r\n" + Img("c.png") + ";x;y\r\n")
                  .toLocal8Bit());
    EXPECT_EQ(m_sequence.FileName(), file);
    EXPECT_FALSE(m_sequence.Modified());
    EXPECT_EQ(QDir(Path("seq")).entryList(QDir::Files), QStringList{"list.stl"})
        << "no temporary file left";

    QTest::mouseClick(form.BSupprimerTout, Qt::LeftButton);
    form.SelectFile(-1);
    m_files->openAnswers.push_back(file);
    QTest::mouseClick(form.BCharger, Qt::LeftButton);
    ASSERT_EQ(m_files->opens.size(), 1u);
    EXPECT_EQ(m_files->opens[0].Title, QStringLiteral("Load sequence"));
    EXPECT_EQ(m_files->opens[0].Filter, QStringLiteral("Sequence files (*.stl)|*.stl"));
    EXPECT_EQ(m_files->opens[0].Folder, Path("seq"));
    EXPECT_EQ(Names(), (QStringList{"a.jpg", "b.png", "c.png"}));
    EXPECT_EQ(Comments(), (QStringList{"sunset", "", "x;y"}));
    EXPECT_EQ(ListPane().size(), 3);
    EXPECT_EQ(form.LNombre->text(), QStringLiteral("3 files"));
    EXPECT_EQ(form.SelectedEntry(), -1);
    EXPECT_FALSE(m_sequence.Modified());
    EXPECT_TRUE(m_dialogs.Messages.empty());

    // The next save proposes the last file.
    m_files->saveAnswers.push_back(QString());
    QTest::mouseClick(form.BSauver, Qt::LeftButton);
    ASSERT_EQ(m_files->saves.size(), 2u);
    EXPECT_EQ(m_files->saves[1].FileName, file);
}

TEST_F(SequenceFormTest, SequenceFileFailuresAreReportedAndChangeNothing) {
    SetEntries({{"a.png", "one"}}, 0);
    TSequenceForm& form = Open();
    m_files->openAnswers.push_back(Path("missing.stl"));
    QTest::mouseClick(form.BCharger, Qt::LeftButton);
    m_files->saveAnswers.push_back(Path("no/such/folder/x.stl"));
    QTest::keyClicks(form.EdiCommentaire, QStringLiteral("!"));
    QTest::mouseClick(form.BSauver, Qt::LeftButton);
    ASSERT_EQ(m_dialogs.Messages.size(), 2u);
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkError);
    EXPECT_EQ(m_dialogs.Messages[1].Kind, mkError);
    EXPECT_EQ(Names(), QStringList{"a.png"});
    EXPECT_EQ(Comments(), QStringList{"one!"});
    EXPECT_EQ(m_sequence.FileName(), QString());
    EXPECT_TRUE(m_sequence.Modified());
    EXPECT_FALSE(QFileInfo::exists(Path("no")));
}

} // namespace
