// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/FolderScan.h"
#include "browse/ImageSequence.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder tree made of relative paths: names ending in "/" are folders, "a -> b" a link.
class FolderTree {
public:
    explicit FolderTree(std::initializer_list<const char*> items) {
        for (const char* item : items)
            Add(QString::fromUtf8(item));
    }

    QString Root() const { return m_dir.path(); }
    QString Path(const QString& rel) const { return m_dir.path() + u'/' + rel; }
    // Expected full paths: the root as given to the scan, then the relative path.
    QStringList Paths(const QStringList& rels) const {
        QStringList out;
        for (const QString& r : rels)
            out.push_back(Path(r));
        return out;
    }

private:
    void Add(const QString& item) {
        const qsizetype arrow = item.indexOf(QLatin1String(" -> "));
        if (arrow >= 0) {
            const QByteArray link = QFile::encodeName(Path(item.left(arrow)));
            const QByteArray target = QFile::encodeName(item.mid(arrow + 4));
            ASSERT_EQ(symlink(target.constData(), link.constData()), 0) << item.toStdString();
            return;
        }
        if (item.startsWith(QLatin1String("fifo:"))) {
            ASSERT_EQ(mkfifo(QFile::encodeName(Path(item.mid(5))).constData(), 0600), 0);
            return;
        }
        if (item.endsWith(u'/')) {
            ASSERT_TRUE(QDir().mkpath(Path(item)));
            return;
        }
        QDir().mkpath(QFileInfo(Path(item)).path());
        QFile f(Path(item));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    QTemporaryDir m_dir;
};

TEST(ListFolder, MatchingFilesInNameOrderWithoutHiddenFilesOrFolders) {
    const FolderTree tree{"B.jpg", "a.JPG", "c.txt",  ".d.jpg", "e.jpg/", "sub/f.jpg",
                          "g.png", "h.tif", "i.tiff", "noext",  "j."};
    EXPECT_EQ(ListFolder(tree.Root(), "*.jpg;*.png;*.tif"),
              (QStringList{"a.JPG", "B.jpg", "g.png", "h.tif"}));
}

struct MaskCase {
    const char* mask;
    QStringList expected;
};

class ListFolderMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(ListFolderMaskTest, OnlyTheMasksExtensionsMatch) {
    const FolderTree tree{"a.jpg", "b.JPEG", "c.tif", "d.TIFF", "e.png", "f.txt", "g.tar.gz"};
    EXPECT_EQ(ListFolder(tree.Root(), QString::fromLatin1(GetParam().mask)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListFolderMaskTest,
    ::testing::Values(MaskCase{"*.tif", {"c.tif"}}, // no alias match of the longer extension
                      MaskCase{"*.TIFF", {"d.TIFF"}},
                      MaskCase{" *.jpg ; *.jpeg ", {"a.jpg", "b.JPEG"}},
                      MaskCase{"*.jpg;*.jpg", {"a.jpg"}}, MaskCase{"", {}}, MaskCase{"*.*", {}},
                      // Extensions no reader knows are not listed even when the mask names them.
                      MaskCase{"*.txt;*.png", {"e.png"}},
                      MaskCase{"*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.tga;*.bmp;*.gif;*.oxi",
                               {"a.jpg", "b.JPEG", "c.tif", "d.TIFF", "e.png"}}));

TEST(ListFolder, MissingFolderGivesNothing) {
    const FolderTree tree{"a.jpg"};
    EXPECT_TRUE(ListFolder(tree.Path("nothing"), "*.jpg").isEmpty());
    EXPECT_TRUE(ListFolder(QString(), "*.jpg").isEmpty());
}

TEST(ListFolder, InjectedExtensionFilterDecides) {
    const FolderTree tree{"a.jpg", "b.txt", "c.png"};
    EXPECT_EQ(ListFolder(tree.Root(), "*.jpg;*.txt;*.png", ExtensionListFilter({".TXT", "png"})),
              (QStringList{"b.txt", "c.png"}));
    EXPECT_EQ(ListFolder(tree.Root(), "*.jpg;*.txt", nullptr), (QStringList{"a.jpg", "b.txt"}));
}

TEST(ListFolder, NamesDifferingOnlyInCaseKeepAFixedOrder) {
    const FolderTree tree{"b.jpg", "a.jpg", "A.jpg", "_.jpg", "Z.jpg"};
    EXPECT_EQ(ListFolder(tree.Root(), "*.jpg"),
              (QStringList{"_.jpg", "A.jpg", "a.jpg", "b.jpg", "Z.jpg"}));
}

TEST(ListFolder, LinksToFilesCountButBrokenLinksAndPipesDoNot) {
    const FolderTree tree{"real.jpg", "link.jpg -> real.jpg", "broken.jpg -> gone.jpg",
                          "fifo:pipe.jpg"};
    EXPECT_EQ(ListFolder(tree.Root(), "*.jpg"), (QStringList{"link.jpg", "real.jpg"}));
}

TEST(ScanFolder, SortsByTheWholePathAndSkipsDotFolders) {
    const FolderTree tree{"x.jpg",
                          "sub/y.jpg",
                          "sub/a.tiff",
                          ".cache/z.jpg",
                          ".hidden.jpg",
                          "sub/.h2.png",
                          "sub/deeper/.git/k.png",
                          "sub/deeper/m.gif",
                          "n.txt"};
    EXPECT_EQ(ScanFolder(tree.Root(), "*.jpg;*.tiff;*.png;*.gif", true),
              tree.Paths({".hidden.jpg", "sub/.h2.png", "sub/a.tiff", "sub/deeper/m.gif",
                          "sub/y.jpg", "x.jpg"}));
}

TEST(ScanFolder, WithoutSubfoldersOnlyTheFolderItself) {
    const FolderTree tree{"x.jpg", "sub/y.jpg", ".h.jpg"};
    EXPECT_EQ(ScanFolder(tree.Root(), "*.jpg", false), tree.Paths({".h.jpg", "x.jpg"}));
}

TEST(ScanFolder, FolderWithTrailingSeparatorGivesSinglSeparators) {
    const FolderTree tree{"x.jpg", "sub/y.jpg"};
    EXPECT_EQ(ScanFolder(tree.Root() + u'/', "*.jpg", true), tree.Paths({"sub/y.jpg", "x.jpg"}));
}

TEST(ScanFolder, ExtensionMustEqualThePatternsExtension) {
    const FolderTree tree{"photo.tiff", "photo.tif", "PHOTO2.TIF", "sub/q.tiff"};
    EXPECT_EQ(ScanFolder(tree.Root(), "*.tif", true), tree.Paths({"photo.tif", "PHOTO2.TIF"}));
}

TEST(ScanFolder, EndsWhenFolderLinksLoop) {
    const FolderTree tree{"a.jpg",         "sub/b.jpg",      "sub/up -> ..",
                          "sub/self -> .", "sub/deep/c.jpg", "sub/deep/top -> ../..",
                          "other -> sub"};
    const QStringList got = ScanFolder(tree.Root(), "*.jpg", true);
    // Each real folder is read once; "other" and "sub" are the same folder, read under the name
    // that comes first.
    EXPECT_EQ(got, tree.Paths({"a.jpg", "other/b.jpg", "other/deep/c.jpg"}));
}

TEST(ScanFolder, LinkToAFolderOutsideTheTreeIsFollowed) {
    const FolderTree outside{"o.png"};
    const FolderTree tree{"a.png"};
    ASSERT_EQ(symlink(QFile::encodeName(outside.Root()).constData(),
                      QFile::encodeName(tree.Path("ext")).constData()),
              0);
    EXPECT_EQ(ScanFolder(tree.Root(), "*.png", true), tree.Paths({"a.png", "ext/o.png"}));
}

TEST(ScanFolder, MissingFolderGivesNothing) {
    const FolderTree tree{};
    EXPECT_TRUE(ScanFolder(tree.Path("none"), "*.jpg", true).isEmpty());
}

TEST(FillFromFolder, OpeningAFileListsItsFolderAndSelectsIt) {
    const FolderTree tree{"B.jpg", "a.JPG", "c.txt", ".d.jpg"};
    TImageSequence list;
    list.AddImage("old.jpg"); // a replacing fill forgets the old list and its mark
    list.FillFromFolder(tree.Root(), true, false);
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.Current(), -1);
    EXPECT_TRUE(list.SelectPath(tree.Path("a.JPG")));
    QStringList paths;
    for (const TSequenceEntry& e : list.Entries()) {
        paths.push_back(e.Path);
        EXPECT_TRUE(e.Comment.isEmpty());
    }
    EXPECT_EQ(paths, tree.Paths({"a.JPG", "B.jpg"}));
    EXPECT_EQ(list.Current(), 0);
    EXPECT_EQ(list.Folder(), tree.Root());
}

TEST(FillFromFolder, AddingAllAppendsSubfoldersAndMarksTheList) {
    const FolderTree tree{"x.jpg", "sub/y.jpg", "sub/a.tiff"};
    TImageSequence list;
    list.FillFromFolder(tree.Root(), true, false);
    list.AddImage("/elsewhere/first.jpg");
    list.SetModified(false);
    list.SetCurrent(0);
    list.FillFromFolder(QString(), false, true); // the folder of the last fill
    QStringList paths;
    for (const TSequenceEntry& e : list.Entries())
        paths.push_back(e.Path);
    EXPECT_EQ(paths, QStringList{tree.Path("x.jpg")} + QStringList{"/elsewhere/first.jpg"} +
                         tree.Paths({"sub/a.tiff", "sub/y.jpg", "x.jpg"}));
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(list.Current(), 0);
}

TEST(FillFromFolder, FolderMaskGovernsTheListing) {
    const FolderTree tree{"a.jpg", "b.png", "c.pcx"};
    TImageSequence list;
    list.SetFolderMask("*.pcx; *.png");
    list.FillFromFolder(tree.Root(), true, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Entries()[0].Path, tree.Path("b.png"));
    EXPECT_EQ(list.Entries()[1].Path, tree.Path("c.pcx"));
}

TEST(FillFromFolder, NothingAppendedLeavesTheMark) {
    const FolderTree tree{"c.txt"};
    TImageSequence list;
    list.AddImage("a.jpg");
    list.SetModified(false);
    list.FillFromFolder(tree.Root(), false, true);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(list.Modified());
}

} // namespace
