// SPDX-License-Identifier: GPL-2.0-or-later
// Rename, copy and move that never replace a file: every outcome on a temporary folder, the
// bytes of both files afterwards, and a move between two file systems.
#include "viewer/FileOps.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

const QByteArray kSource = QByteArray("source bytes \0\1\2", 16).repeated(5000);
const QByteArray kOther = "the file that was there first";

enum class TOp { Rename, Copy, Move };

struct TOpCase {
    const char* name;
    TOp op;
    bool targetExists;
    bool sourceExists;
    bool targetFolderExists;
    int expected;
};

class FileOps : public ::testing::TestWithParam<TOpCase> {};

TEST_P(FileOps, NeverReplaceAndLeaveTheSourceUnlessMoved) {
    const TOpCase& c = GetParam();
    QTemporaryDir root;
    QDir(root.path()).mkpath("a");
    if (c.targetFolderExists) QDir(root.path()).mkpath("b");
    const QString from = root.filePath("a/photo.jpg");
    const QString to = root.filePath("b/photo.jpg");
    if (c.sourceExists) WriteFileBytes(from, kSource);
    if (c.targetExists) WriteFileBytes(to, kOther);
    if (c.sourceExists) {
        ASSERT_EQ(::chmod(QFile::encodeName(from).constData(), 0640), 0);
    }

    const std::function<int(const QString&, const QString&)> ops[] = {RenameNoReplace,
                                                                      CopyNoReplace, MoveNoReplace};
    EXPECT_EQ(ops[int(c.op)](from, to), c.expected);

    const bool done = c.expected == 0;
    const bool sourceStays = c.sourceExists && (!done || c.op == TOp::Copy);
    EXPECT_EQ(QFileInfo::exists(from), sourceStays);
    if (sourceStays) {
        EXPECT_EQ(ReadFileBytes(from), kSource);
    }
    if (c.targetExists) {
        EXPECT_EQ(ReadFileBytes(to), kOther) << "an existing file was replaced";
    }
    if (done) {
        EXPECT_EQ(ReadFileBytes(to), kSource);
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(to).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
    }
    if (c.targetFolderExists) {
        const QStringList expected =
            (done || c.targetExists) ? QStringList{"photo.jpg"} : QStringList{};
        EXPECT_EQ(Names(root.filePath("b")), expected) << "no temporary file stays behind";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FileOps,
    ::testing::Values(TOpCase{"renameDone", TOp::Rename, false, true, true, 0},
                      TOpCase{"renameOntoExisting", TOp::Rename, true, true, true, EEXIST},
                      TOpCase{"renameMissingSource", TOp::Rename, false, false, true, ENOENT},
                      TOpCase{"renameIntoMissingFolder", TOp::Rename, false, true, false, ENOENT},
                      TOpCase{"copyDone", TOp::Copy, false, true, true, 0},
                      TOpCase{"copyOntoExisting", TOp::Copy, true, true, true, EEXIST},
                      TOpCase{"copyMissingSource", TOp::Copy, false, false, true, ENOENT},
                      TOpCase{"copyIntoMissingFolder", TOp::Copy, false, true, false, ENOENT},
                      TOpCase{"moveDone", TOp::Move, false, true, true, 0},
                      TOpCase{"moveOntoExisting", TOp::Move, true, true, true, EEXIST},
                      TOpCase{"moveMissingSource", TOp::Move, false, false, true, ENOENT},
                      TOpCase{"moveIntoMissingFolder", TOp::Move, false, true, false, ENOENT}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileOps, RenameOntoItselfFails) {
    QTemporaryDir root;
    const QString path = root.filePath("a.png");
    WriteFileBytes(path, kSource);
    EXPECT_EQ(RenameNoReplace(path, path), EEXIST);
    EXPECT_EQ(ReadFileBytes(path), kSource);
}

TEST(FileOps, CopyKeepsTheModificationTime) {
    QTemporaryDir root;
    const QString from = root.filePath("a.png"), to = root.filePath("b.png");
    WriteFileBytes(from, kSource);
    QFile f(from);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime past = QDateTime::fromSecsSinceEpoch(1000000000);
    ASSERT_TRUE(f.setFileTime(past, QFileDevice::FileModificationTime));
    f.close();
    ASSERT_EQ(CopyNoReplace(from, to), 0);
    EXPECT_EQ(QFileInfo(to).lastModified(), past);
}

TEST(FileOps, CopyRefusesAFolder) {
    QTemporaryDir root;
    QDir(root.path()).mkpath("d");
    EXPECT_EQ(CopyNoReplace(root.filePath("d"), root.filePath("e")), EINVAL);
    EXPECT_FALSE(QFileInfo::exists(root.filePath("e")));
}

// /dev/shm is a memory file system on most Linux machines, apart from the temporary folder.
struct TTwoDevices {
    QTemporaryDir here;
    std::unique_ptr<QTemporaryDir> there;
    bool Available() {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isDir()) return false;
        there = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tavelune-XXXXXX"));
        if (!there->isValid()) return false;
        struct stat a, b;
        return ::stat(QFile::encodeName(here.path()).constData(), &a) == 0 &&
               ::stat(QFile::encodeName(there->path()).constData(), &b) == 0 &&
               a.st_dev != b.st_dev;
    }
};

TEST(FileOps, MoveAcrossFileSystemsCopiesThenRemoves) {
    TTwoDevices devices;
    if (!devices.Available()) GTEST_SKIP() << "no second file system";
    const QString from = devices.here.filePath("photo.jpg");
    const QString to = devices.there->filePath("photo.jpg");
    WriteFileBytes(from, kSource);
    ASSERT_EQ(RenameNoReplace(from, to), EXDEV);
    EXPECT_EQ(MoveNoReplace(from, to), 0);
    EXPECT_FALSE(QFileInfo::exists(from));
    EXPECT_EQ(ReadFileBytes(to), kSource);
    EXPECT_EQ(Names(devices.there->path()), QStringList{"photo.jpg"});
}

TEST(FileOps, MoveAcrossFileSystemsOntoAnExistingFileChangesNothing) {
    TTwoDevices devices;
    if (!devices.Available()) GTEST_SKIP() << "no second file system";
    const QString from = devices.here.filePath("photo.jpg");
    const QString to = devices.there->filePath("photo.jpg");
    WriteFileBytes(from, kSource);
    WriteFileBytes(to, kOther);
    EXPECT_EQ(MoveNoReplace(from, to), EEXIST);
    EXPECT_EQ(ReadFileBytes(from), kSource);
    EXPECT_EQ(ReadFileBytes(to), kOther);
    EXPECT_EQ(Names(devices.there->path()), QStringList{"photo.jpg"});
}

} // namespace
