// SPDX-License-Identifier: GPL-2.0-or-later
// The desktop trash: the file and its record land in a trash made on demand, names never
// collide, files of another file system are carried over, and a trash that cannot be made
// leaves the file where it was.
#include "browse/Trash.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

const QDateTime kWhen(QDate(2026, 3, 7), QTime(9, 5, 2));

TEST(Trash, RecordText) {
    EXPECT_EQ(TrashInfoText("/home/u/My photos/été #1.jpg", kWhen),
              QByteArray("[Trash Info]\nPath=/home/u/My%20photos/%C3%A9t%C3%A9%20%231.jpg\n"
                         "DeletionDate=2026-03-07T09:05:02\n"));
}

TEST(Trash, MadeWhenMissingAndTheFileIsRecoverable) {
    QTemporaryDir root;
    const QString file = root.filePath("img/a b.jpg");
    QDir(root.path()).mkpath("img");
    WriteFileBytes(file, "picture");
    const QString trash = root.filePath("data/Trash");

    const TTrashResult r = MoveToTrash(file, trash, kWhen);
    ASSERT_EQ(r.Error, 0);
    EXPECT_EQ(r.FilePath, trash + "/files/a b.jpg");
    EXPECT_EQ(r.InfoPath, trash + "/info/a b.jpg.trashinfo");
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(ReadFileBytes(r.FilePath), "picture");
    EXPECT_EQ(ReadFileBytes(r.InfoPath), TrashInfoText(QFileInfo(file).absoluteFilePath(), kWhen));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(trash).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(QDir(trash + "/info").entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary record stays behind";
}

TEST(Trash, NamesTakenGetANumber) {
    QTemporaryDir root;
    const QString trash = root.filePath("Trash");
    QStringList names;
    for (const char* content : {"one", "two", "three"}) {
        WriteFileBytes(root.filePath("a.png"), content);
        const TTrashResult r = MoveToTrash(root.filePath("a.png"), trash, kWhen);
        ASSERT_EQ(r.Error, 0);
        names << QFileInfo(r.FilePath).fileName();
        EXPECT_EQ(ReadFileBytes(r.FilePath), content);
    }
    EXPECT_EQ(names, (QStringList{"a.png", "a 2.png", "a 3.png"}));
    // A record without its file still reserves the name.
    WriteFileBytes(trash + "/info/b.png.trashinfo", "[Trash Info]\n");
    WriteFileBytes(root.filePath("b.png"), "b");
    EXPECT_EQ(QFileInfo(MoveToTrash(root.filePath("b.png"), trash, kWhen).FilePath).fileName(),
              "b 2.png");
}

struct TFailCase {
    const char* name;
    const char* blocker; // a plain file standing where the trash needs a folder
};

class TrashFailures : public ::testing::TestWithParam<TFailCase> {};

TEST_P(TrashFailures, LeaveTheFileWhereItWas) {
    QTemporaryDir root;
    const QString file = root.filePath("a.png");
    WriteFileBytes(file, "picture");
    QDir(root.path()).mkpath("data/Trash");
    WriteFileBytes(root.filePath(GetParam().blocker), "in the way");
    const TTrashResult r = MoveToTrash(file, root.filePath("data/Trash"), kWhen);
    EXPECT_NE(r.Error, 0);
    EXPECT_EQ(ReadFileBytes(file), "picture");
    EXPECT_TRUE(r.FilePath.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Blocked, TrashFailures,
                         ::testing::Values(TFailCase{"filesIsAFile", "data/Trash/files"},
                                           TFailCase{"infoIsAFile", "data/Trash/info"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Trash, TrashUnderAFileFails) {
    QTemporaryDir root;
    WriteFileBytes(root.filePath("data"), "not a folder");
    WriteFileBytes(root.filePath("a.png"), "picture");
    EXPECT_EQ(MoveToTrash(root.filePath("a.png"), root.filePath("data/Trash"), kWhen).Error,
              ENOTDIR);
    EXPECT_EQ(ReadFileBytes(root.filePath("a.png")), "picture");
}

TEST(Trash, MissingFileFails) {
    QTemporaryDir root;
    EXPECT_EQ(MoveToTrash(root.filePath("none.png"), root.filePath("Trash"), kWhen).Error, ENOENT);
    EXPECT_FALSE(QFileInfo::exists(root.filePath("Trash/info")));
}

TEST(Trash, FileOfAnotherFileSystemIsCarriedOver) {
    if (!QFileInfo(QStringLiteral("/dev/shm")).isDir()) GTEST_SKIP() << "no /dev/shm";
    QTemporaryDir there(QStringLiteral("/dev/shm/tavelune-XXXXXX"));
    QTemporaryDir root;
    struct stat a, b;
    if (!there.isValid() || ::stat(QFile::encodeName(there.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(root.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const QString file = there.filePath("a.png");
    WriteFileBytes(file, "picture");
    const TTrashResult r = MoveToTrash(file, root.filePath("Trash"), kWhen);
    ASSERT_EQ(r.Error, 0);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(ReadFileBytes(r.FilePath), "picture");
}

TEST(Trash, HomeTrashFollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/somewhere/data");
    EXPECT_EQ(HomeTrashFolder(), "/somewhere/data/Trash");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(HomeTrashFolder(), QDir::homePath() + "/.local/share/Trash");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HomeTrashFolder(), QDir::homePath() + "/.local/share/Trash");
    if (!saved.isNull()) qputenv("XDG_DATA_HOME", saved);
}

} // namespace
