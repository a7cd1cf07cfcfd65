// SPDX-License-Identifier: GPL-2.0-or-later
// Rename, copy and move that never replace a file: every outcome on a temporary folder, also
// where the file system lacks the no-replace rename or hard links, the bytes of both files
// afterwards, a move between two file systems, and renames that change only the letter case,
// acted out through the system-call seam and on a real FAT volume.
#include "browse/FileOps.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

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

// What the file system offers below the operations: everything, no no-replace flag on rename
// (the hard-link way), or neither that flag nor hard links (some FUSE file systems).
enum class TFs { Full, NoRenameFlag, NoHardLinks };

int Unsupported(const QByteArray&, const QByteArray&) {
    return EINVAL;
}

int NoLinks(const QByteArray&, const QByteArray&) {
    return EPERM;
}

TFileSystemCalls CallsOf(TFs fs) {
    TFileSystemCalls calls;
    if (fs != TFs::Full) calls.RenameNoReplace = Unsupported;
    if (fs == TFs::NoHardLinks) calls.Link = NoLinks;
    return calls;
}

class FileOps : public ::testing::TestWithParam<std::tuple<TOpCase, TFs>> {};

std::string OpCaseName(const ::testing::TestParamInfo<std::tuple<TOpCase, TFs>>& info) {
    static const char* const kFs[] = {"", "_noRenameFlag", "_noHardLinks"};
    return std::string(std::get<0>(info.param).name) + kFs[int(std::get<1>(info.param))];
}

TEST_P(FileOps, NeverReplaceAndLeaveTheSourceUnlessMoved) {
    const TOpCase& c = std::get<0>(GetParam());
    const TFileSystemCallsScope fs(CallsOf(std::get<1>(GetParam())));
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
    ::testing::Combine(
        ::testing::Values(TOpCase{"renameDone", TOp::Rename, false, true, true, 0},
                          TOpCase{"renameOntoExisting", TOp::Rename, true, true, true, EEXIST},
                          TOpCase{"renameMissingSource", TOp::Rename, false, false, true, ENOENT},
                          TOpCase{"renameIntoMissingFolder", TOp::Rename, false, true, false,
                                  ENOENT},
                          TOpCase{"copyDone", TOp::Copy, false, true, true, 0},
                          TOpCase{"copyOntoExisting", TOp::Copy, true, true, true, EEXIST},
                          TOpCase{"copyMissingSource", TOp::Copy, false, false, true, ENOENT},
                          TOpCase{"copyIntoMissingFolder", TOp::Copy, false, true, false, ENOENT},
                          TOpCase{"moveDone", TOp::Move, false, true, true, 0},
                          TOpCase{"moveOntoExisting", TOp::Move, true, true, true, EEXIST},
                          TOpCase{"moveMissingSource", TOp::Move, false, false, true, ENOENT},
                          TOpCase{"moveIntoMissingFolder", TOp::Move, false, true, false, ENOENT}),
        ::testing::Values(TFs::Full, TFs::NoRenameFlag, TFs::NoHardLinks)),
    OpCaseName);

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

// --- Names that differ only in letter case ---

// The entry of the path's folder that the path names when letter case is ignored, as vfat and
// exfat look names up; the path itself when there is none.
QByteArray FindIgnoringCase(const QByteArray& path) {
    const QFileInfo info(QFile::decodeName(path));
    const QStringList entries =
        QDir(info.absolutePath())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return QFile::encodeName(info.absolutePath() + u'/' + e);
    return path;
}

// A folder of this machine acted out as one of a file system that ignores letter case: the
// no-replace rename and the status calls find names by any spelling. spellingsApart gives each
// spelling its own inode number, as some FUSE file systems do.
TFileSystemCalls CaseBlindCalls(bool spellingsApart) {
    TFileSystemCalls calls;
    calls.Stat = [spellingsApart](const QByteArray& path, struct stat& st) {
        if (::lstat(FindIgnoringCase(path).constData(), &st) != 0) return errno;
        if (spellingsApart) st.st_ino ^= ino_t(qHash(path)) | 1u;
        return 0;
    };
    calls.RenameNoReplace = [](const QByteArray& from, const QByteArray& to) {
        struct stat st;
        if (::lstat(FindIgnoringCase(to).constData(), &st) == 0) return EEXIST;
        return ::renameat2(AT_FDCWD, FindIgnoringCase(from).constData(), AT_FDCWD, to.constData(),
                           RENAME_NOREPLACE) == 0
                   ? 0
                   : errno;
    };
    return calls;
}

struct TCaseCase {
    const char* name;
    bool spellingsApart;
    const char* to;
    int expected;
    QStringList after;
};

class CaseBlindRename : public ::testing::TestWithParam<TCaseCase> {};

// a.jpg and b.jpg in a folder that ignores letter case; a.jpg is renamed.
TEST_P(CaseBlindRename, SameFileUnderAnotherSpellingIsRenamedOthersAreNot) {
    const TCaseCase& c = GetParam();
    const TFileSystemCallsScope fs(CaseBlindCalls(c.spellingsApart));
    QTemporaryDir root;
    WriteFileBytes(root.filePath("a.jpg"), kSource);
    WriteFileBytes(root.filePath("b.jpg"), kOther);
    EXPECT_EQ(RenameNoReplace(root.filePath("a.jpg"), root.filePath(c.to)), c.expected);
    EXPECT_EQ(Names(root.path()), c.after);
    EXPECT_EQ(ReadFileBytes(FindIgnoringCase(QFile::encodeName(root.filePath("b.jpg")))), kOther);
    EXPECT_EQ(ReadFileBytes(root.filePath(c.after[0])), kSource);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseBlindRename,
    ::testing::Values(
        TCaseCase{"letterCaseOnly", false, "A.jpg", 0, {"A.jpg", "b.jpg"}},
        TCaseCase{"letterCaseOnlySpellingsApart", true, "A.jpg", 0, {"A.jpg", "b.jpg"}},
        TCaseCase{"wholeNameInOtherCase", false, "A.JPG", 0, {"A.JPG", "b.jpg"}},
        TCaseCase{"anotherFile", false, "B.jpg", EEXIST, {"a.jpg", "b.jpg"}},
        TCaseCase{"anotherFileSpellingsApart", true, "B.jpg", EEXIST, {"a.jpg", "b.jpg"}},
        TCaseCase{"sameSpelling", false, "a.jpg", EEXIST, {"a.jpg", "b.jpg"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Where letter case counts, a.jpg and A.jpg are two names even for one file (hard links): the
// rename fails and both names stay, with nothing left behind.
TEST(FileOps, TwoSpellingsOfOneFileWhereCaseCountsStayTwo) {
    QTemporaryDir root;
    const QString lower = root.filePath("a.jpg"), upper = root.filePath("A.jpg");
    WriteFileBytes(lower, kSource);
    ASSERT_EQ(::link(QFile::encodeName(lower).constData(), QFile::encodeName(upper).constData()),
              0);
    EXPECT_EQ(RenameNoReplace(lower, upper), EEXIST);
    EXPECT_EQ(Names(root.path()), (QStringList{"A.jpg", "a.jpg"}));
    EXPECT_EQ(ReadFileBytes(lower), kSource);

    const QString other = root.filePath("B.jpg");
    WriteFileBytes(other, kOther);
    WriteFileBytes(root.filePath("b.jpg"), kSource);
    EXPECT_EQ(RenameNoReplace(root.filePath("b.jpg"), other), EEXIST);
    EXPECT_EQ(ReadFileBytes(other), kOther);
    EXPECT_EQ(Names(root.path()), (QStringList{"A.jpg", "B.jpg", "a.jpg", "b.jpg"}));
}

// A small FAT volume of the test's own: the kernel's vfat on a loop device where the test may
// mount one, else the FUSE driver fusefat (which has neither the no-replace flag nor hard
// links). Not mounted where neither works: the tests then skip.
class TFatVolume {
public:
    TFatVolume() {
        m_mountPoint = m_root.filePath("mnt");
        QDir().mkpath(m_mountPoint);
        const QString image = m_root.filePath("fat.img");
        if (!Run("mkfs.vfat", {"-C", image, "4096"})) {
            m_why = "mkfs.vfat (dosfstools) is missing";
            return;
        }
        if (Run("mount", {"-t", "vfat", "-o", "loop", image, m_mountPoint}) && OwnDevice()) {
            m_unmount = {"umount", {m_mountPoint}};
        } else if (Run("fusefat", {"-o", "rw+", image, m_mountPoint}) && OwnDevice()) {
            m_unmount = {"fusermount", {"-u", m_mountPoint}};
        } else {
            m_why = "no FAT file system can be mounted here";
        }
    }
    ~TFatVolume() {
        if (m_unmount.first.isEmpty()) return;
        if (!Run(m_unmount.first, m_unmount.second)) Run("umount", {"-l", m_mountPoint});
    }
    TFatVolume(const TFatVolume&) = delete;
    TFatVolume& operator=(const TFatVolume&) = delete;

    bool Mounted() const { return !m_unmount.first.isEmpty(); }
    const char* Why() const { return m_why; }
    QString Path(const QString& name) const { return m_mountPoint + u'/' + name; }
    const QString& Folder() const { return m_mountPoint; }

private:
    static bool Run(const QString& program, const QStringList& arguments) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(program, arguments);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }
    bool OwnDevice() const {
        struct stat a, b;
        return ::stat(QFile::encodeName(m_root.path()).constData(), &a) == 0 &&
               ::stat(QFile::encodeName(m_mountPoint).constData(), &b) == 0 && a.st_dev != b.st_dev;
    }

    QTemporaryDir m_root;
    QString m_mountPoint;
    std::pair<QString, QStringList> m_unmount;
    const char* m_why = "";
};

TEST(FileOpsOnFat, LetterCaseOnlyRenameChangesTheNameAndReplacesNothing) {
    TFatVolume fat;
    if (!fat.Mounted()) GTEST_SKIP() << fat.Why();
    WriteFileBytes(fat.Path("a.jpg"), kSource);
    WriteFileBytes(fat.Path("b.jpg"), kOther);

    EXPECT_EQ(RenameNoReplace(fat.Path("a.jpg"), fat.Path("A.jpg")), 0);
    EXPECT_EQ(Names(fat.Folder()), (QStringList{"A.jpg", "b.jpg"}));
    EXPECT_EQ(ReadFileBytes(fat.Path("A.jpg")), kSource);

    // Another file under another spelling of its name is still another file.
    EXPECT_EQ(RenameNoReplace(fat.Path("A.jpg"), fat.Path("B.jpg")), EEXIST);
    EXPECT_EQ(Names(fat.Folder()), (QStringList{"A.jpg", "b.jpg"}));
    EXPECT_EQ(ReadFileBytes(fat.Path("b.jpg")), kOther);
    EXPECT_EQ(ReadFileBytes(fat.Path("A.jpg")), kSource);
}

TEST(FileOpsOnFat, RenameMoveAndCopyWorkAndReplaceNothing) {
    TFatVolume fat;
    if (!fat.Mounted()) GTEST_SKIP() << fat.Why();
    QDir(fat.Folder()).mkpath("sub");
    WriteFileBytes(fat.Path("a.jpg"), kSource);
    WriteFileBytes(fat.Path("b.jpg"), kOther);

    EXPECT_EQ(RenameNoReplace(fat.Path("a.jpg"), fat.Path("c.jpg")), 0);
    EXPECT_EQ(RenameNoReplace(fat.Path("c.jpg"), fat.Path("b.jpg")), EEXIST);
    EXPECT_EQ(CopyNoReplace(fat.Path("c.jpg"), fat.Path("sub/c.jpg")), 0);
    EXPECT_EQ(CopyNoReplace(fat.Path("b.jpg"), fat.Path("sub/c.jpg")), EEXIST);
    EXPECT_EQ(MoveNoReplace(fat.Path("b.jpg"), fat.Path("sub/C.JPG")), EEXIST);
    EXPECT_EQ(MoveNoReplace(fat.Path("b.jpg"), fat.Path("sub/b.jpg")), 0);

    EXPECT_EQ(Names(fat.Folder()), QStringList{"c.jpg"});
    EXPECT_EQ(Names(fat.Path("sub")), (QStringList{"b.jpg", "c.jpg"}));
    EXPECT_EQ(ReadFileBytes(fat.Path("c.jpg")), kSource);
    EXPECT_EQ(ReadFileBytes(fat.Path("sub/c.jpg")), kSource);
    EXPECT_EQ(ReadFileBytes(fat.Path("sub/b.jpg")), kOther);
}

} // namespace
