// The one writer of the program's files: what it does to the target, its mode, its links, and
// what a failure at each step leaves behind.
#include "core/AtomicFile.h"
#include "FullDisk.h"
#include "TestFiles.h"
#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString PathOf(const QString& name) const { return dir.filePath(name); }
    // Every entry of the folder, hidden ones included, sorted.
    QStringList Entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    static unsigned ModeOf(const QString& path) {
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    }
    QTemporaryDir dir;
};

// Sets the process's umask for one test.
class TUmask {
public:
    explicit TUmask(mode_t mask) : m_old(::umask(mask)) {}
    ~TUmask() { ::umask(m_old); }

private:
    mode_t m_old;
};

TEST_F(AtomicFileTest, NewFileGetsContentAndTheUmaskMode) {
    const TUmask mask(027);
    const QString path = PathOf("new.bin");
    WriteFileAtomically(path, QByteArray("abc"));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("abc"));
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(Entries(), QStringList{"new.bin"});
}

TEST_F(AtomicFileTest, ReplacedFileKeepsItsModeAndLosesItsOldLength) {
    const QString path = PathOf("old.bin");
    WriteFileBytes(path, QByteArray(5000, 'o'));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0604), 0);
    WriteFileAtomically(path, QByteArray("new"));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("new"));
    EXPECT_EQ(ModeOf(path), 0604u);
    EXPECT_EQ(Entries(), QStringList{"old.bin"});
}

TEST_F(AtomicFileTest, EmptyContentMakesAnEmptyFile) {
    const QString path = PathOf("empty");
    WriteFileBytes(path, "x");
    WriteFileAtomically(path, QByteArrayView());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

// A link keeps pointing where it did; the file at its end (made when missing) gets the bytes.
TEST_F(AtomicFileTest, LinksAreFollowedToTheFileTheyNameEvenWhenItIsMissing) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    WriteFileBytes(PathOf("real/a.txt"), "old");
    ASSERT_EQ(::symlink("real/a.txt", QFile::encodeName(PathOf("mid")).constData()), 0);
    ASSERT_EQ(::symlink("mid", QFile::encodeName(PathOf("link")).constData()), 0);
    ASSERT_EQ(::symlink("real/b.txt", QFile::encodeName(PathOf("dangling")).constData()), 0);

    WriteFileAtomically(PathOf("link"), QByteArray("through two links"));
    WriteFileAtomically(PathOf("dangling"), QByteArray("made"));

    EXPECT_TRUE(QFileInfo(PathOf("link")).isSymLink());
    EXPECT_TRUE(QFileInfo(PathOf("dangling")).isSymLink());
    EXPECT_EQ(ReadFileBytes(PathOf("real/a.txt")), QByteArray("through two links"));
    EXPECT_EQ(ReadFileBytes(PathOf("real/b.txt")), QByteArray("made"));
    EXPECT_EQ(QDir(PathOf("real")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"a.txt", "b.txt"}));
}

TEST_F(AtomicFileTest, ALoopOfLinksFails) {
    ASSERT_EQ(::symlink("b", QFile::encodeName(PathOf("a")).constData()), 0);
    ASSERT_EQ(::symlink("a", QFile::encodeName(PathOf("b")).constData()), 0);
    EXPECT_THROW(WriteFileAtomically(PathOf("a"), QByteArray("x")), ETaveluneError);
    EXPECT_EQ(Entries(), (QStringList{"a", "b"}));
}

// What the user protected stays protected, although the folder would allow a rename over it.
// Checked as an unprivileged user, who may write the folder but not the file.
TEST_F(AtomicFileTest, AReadOnlyFileIsNotReplaced) {
    const QString path = PathOf("locked.txt");
    WriteFileBytes(path, "keep");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(2);
            try {
                WriteFileAtomically(path, QByteArray("lost"));
            } catch (const ETaveluneError&) {
                _exit(0);
            }
            _exit(1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFileBytes(path), QByteArray("keep"));
    EXPECT_EQ(Entries(), QStringList{"locked.txt"});
}

TEST_F(AtomicFileTest, AFolderIsNotReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_THROW(WriteFileAtomically(PathOf("folder"), QByteArray("x")), ETaveluneError);
    EXPECT_TRUE(QFileInfo(PathOf("folder")).isDir());
    EXPECT_EQ(Entries(), QStringList{"folder"});
}

// The temporary name adds characters; a name at the file system's limit still works.
TEST_F(AtomicFileTest, ANameOfTheLongestLengthCanBeWritten) {
    const QString name = QString(250, u'n') + QStringLiteral(".txt");
    WriteFileAtomically(PathOf(name), QByteArray("long"));
    EXPECT_EQ(ReadFileBytes(PathOf(name)), QByteArray("long"));
    EXPECT_EQ(Entries(), QStringList{name});
}

TEST_F(AtomicFileTest, AMissingFolderFailsNamingTheStep) {
    try {
        WriteFileAtomically(PathOf("none/a.txt"), QByteArray("x"));
        FAIL() << "no error";
    } catch (const ETaveluneError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("cannot create a temporary file for ", 0), 0u)
            << e.what();
    }
}

// A write that the disk refuses half-way: the message names the step, the old file and the
// folder stay exactly as they were.
TEST_F(AtomicFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const QString path = PathOf("keep.dat");
    const QByteArray old(3000, 'k');
    WriteFileBytes(path, old);
    {
        const TFileSizeLimit full(4096);
        try {
            WriteFileAtomically(path, QByteArray(20000, 'n'));
            FAIL() << "no error";
        } catch (const ETaveluneError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("cannot write ", 0), 0u) << e.what();
        }
    }
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(Entries(), QStringList{"keep.dat"});
}

int Refuse(const QString&, const QString&) {
    return EEXIST;
}

int LinkThenUnlink(const QString& temporary, const QString& target) {
    if (::link(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()))
        return errno;
    return ::unlink(QFile::encodeName(temporary).constData()) == 0 ? 0 : errno;
}

// The pieces: a streamed write through a publish step of the caller's choice.
TEST_F(AtomicFileTest, PiecesWriteInPartsAndPublishAsTheCallerChooses) {
    const QString path = PathOf("parts.txt");
    {
        TAtomicFile file(path);
        EXPECT_EQ(file.Write(QByteArray("one ")), 0);
        EXPECT_EQ(file.Write(QByteArray("two")), 0);
        EXPECT_EQ(file.SetMode(0600), 0);
        EXPECT_EQ(file.Commit(LinkThenUnlink), 0);
        EXPECT_EQ(file.Error(), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), QByteArray("one two"));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(Entries(), QStringList{"parts.txt"});
}

TEST_F(AtomicFileTest, ARefusedPublishLeavesTheTargetAndNoTemporaryFile) {
    const QString path = PathOf("taken.txt");
    WriteFileBytes(path, "first");
    {
        TAtomicFile file(path);
        file.Write(QByteArray("second"));
        EXPECT_EQ(file.Commit(Refuse), EEXIST);
        EXPECT_STREQ(file.FailedStep(), "rename");
    }
    EXPECT_EQ(ReadFileBytes(path), QByteArray("first"));
    EXPECT_EQ(Entries(), QStringList{"taken.txt"});
}

// The first failure sticks: later steps do nothing and report it, and nothing is published.
TEST_F(AtomicFileTest, TheFirstFailureIsKeptUntilCommit) {
    const QString path = PathOf("never.txt");
    {
        TAtomicFile file(path);
        {
            const TFileSizeLimit full(10);
            EXPECT_EQ(file.Write(QByteArray(100, 'x')), EFBIG);
        }
        EXPECT_EQ(file.Descriptor(), -1);
        EXPECT_EQ(file.Write(QByteArray("y")), EFBIG);
        EXPECT_EQ(file.SetMode(0644), EFBIG);
        EXPECT_EQ(file.Commit(), EFBIG);
        EXPECT_STREQ(file.FailedStep(), "write");
        EXPECT_EQ(Entries(), QStringList());
    }
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
