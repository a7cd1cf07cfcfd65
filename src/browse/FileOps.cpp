// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/FileOps.h"

#include "core/AtomicFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

inline constexpr int kTemporaryNameTries = 100;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// Closes a descriptor on every way out.
class TFd {
public:
    explicit TFd(int fd) : m_fd(fd) {}
    ~TFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return m_fd; }
    // Closes now; a close error counts (it may report a failed write).
    int Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

int CopyBytes(int in, TAtomicFile& out) {
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (const int e = out.Write(QByteArrayView(buffer.data(), n))) return e;
    }
}

TFileSystemCalls& Calls() {
    static TFileSystemCalls calls;
    return calls;
}

int SystemRenameNoReplace(const QByteArray& from, const QByteArray& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno;
#else
    (void)from;
    (void)to;
    return ENOSYS;
#endif
}

int CallRenameNoReplace(const QByteArray& from, const QByteArray& to) {
    const auto& call = Calls().RenameNoReplace;
    return call ? call(from, to) : SystemRenameNoReplace(from, to);
}

int CallLink(const QByteArray& from, const QByteArray& to) {
    const auto& call = Calls().Link;
    if (call) return call(from, to);
    return ::link(from.constData(), to.constData()) == 0 ? 0 : errno;
}

int CallStat(const QByteArray& path, struct stat& st) {
    const auto& call = Calls().Stat;
    if (call) return call(path, st);
    return ::lstat(path.constData(), &st) == 0 ? 0 : errno;
}

bool Exists(const QByteArray& path) {
    struct stat st;
    return CallStat(path, st) == 0;
}

// The answers of a file system that lacks a call altogether.
bool Unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

bool NoHardLinks(int error) {
    return error == EPERM || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

// For file systems with neither the no-replace flag nor hard links: an empty file of our own,
// made only where no file is, reserves the name, and the rename replaces that file alone. Only
// a process that put a file of its own in the placeholder's place in the moment between the
// two calls could lose it; no file that was there before is ever replaced.
int RenameOverPlaceholder(const QByteArray& from, const QByteArray& to) {
    TFd placeholder(::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (placeholder.Get() < 0) return errno;
    struct stat mine;
    const bool known = ::fstat(placeholder.Get(), &mine) == 0;
    placeholder.Close();
    if (::rename(from.constData(), to.constData()) == 0) return 0;
    const int error = errno;
    // The placeholder goes again, as long as it is still the empty file made above.
    struct stat now;
    if (known && ::lstat(to.constData(), &now) == 0 && now.st_dev == mine.st_dev &&
        now.st_ino == mine.st_ino && now.st_size == 0)
        ::unlink(to.constData());
    return error;
}

// A rename that never replaces, by the best means the file system offers.
int PlainRenameNoReplace(const QByteArray& from, const QByteArray& to) {
    int error = CallRenameNoReplace(from, to);
    if (!Unsupported(error)) return error;
    // A hard link gives the same guarantee: it never replaces.
    error = CallLink(from, to);
    if (error == 0) {
        if (::unlink(from.constData()) == 0) return 0;
        error = errno;
        ::unlink(to.constData());
        return error;
    }
    if (!NoHardLinks(error)) return error;
    return RenameOverPlaceholder(from, to);
}

// Whether the target is the source under another spelling of its name, as a file system that
// ignores letter case finds a.jpg under A.jpg. Most give both spellings one device and inode;
// some (FUSE ones among them) number each spelling apart, and there the folder's own entries
// tell: the source's spelling is among them, the target's is not.
bool SameFileUnderAnotherName(const QByteArray& from, const QByteArray& to) {
    const QFileInfo source(QFile::decodeName(from)), target(QFile::decodeName(to));
    // Only the name itself may differ: the same name under another spelling of its folder, or a
    // hard link of that name elsewhere, is no rename.
    if (source.fileName() == target.fileName()) return false;
    struct stat a, b;
    if (CallStat(from, a) != 0 || CallStat(to, b) != 0) return false;
    if (a.st_dev == b.st_dev && a.st_ino == b.st_ino) return true;
    if (source.fileName().compare(target.fileName(), Qt::CaseInsensitive) != 0) return false;
    struct stat folderA, folderB;
    if (::stat(Native(source.absolutePath()).constData(), &folderA) != 0 ||
        ::stat(Native(target.absolutePath()).constData(), &folderB) != 0 ||
        folderA.st_dev != folderB.st_dev || folderA.st_ino != folderB.st_ino)
        return false;
    const QStringList entries =
        QDir(target.absolutePath())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return entries.contains(source.fileName(), Qt::CaseSensitive) &&
           !entries.contains(target.fileName(), Qt::CaseSensitive);
}

// The source takes a free temporary name beside the target, then the target's name; when the
// second step fails it gets its own name back. File systems that ignore letter case need the
// detour: to them a.jpg and A.jpg are one name, which a rename would leave as it was. The second
// step is a no-replace rename too, so a real file of the target's name stops it.
int RenameThroughTemporary(const QByteArray& from, const QByteArray& to) {
    const QFileInfo target(QFile::decodeName(to));
    for (int n = 0; n < kTemporaryNameTries; ++n) {
        const QByteArray temporary =
            Native(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                   QStringLiteral(".tavelune-") +
                   QString::number(QRandomGenerator::global()->generate(), 36));
        int error = PlainRenameNoReplace(from, temporary);
        if (error == EEXIST) continue;
        if (error != 0) return error;
        error = PlainRenameNoReplace(temporary, to);
        // Should the way back fail too, the file keeps the temporary name: still there, whole.
        if (error != 0) PlainRenameNoReplace(temporary, from);
        return error;
    }
    return EEXIST;
}

} // namespace

TFileSystemCallsScope::TFileSystemCallsScope(TFileSystemCalls calls) : m_previous(Calls()) {
    Calls() = std::move(calls);
}

TFileSystemCallsScope::~TFileSystemCallsScope() {
    Calls() = std::move(m_previous);
}

int RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray f = Native(from), t = Native(to);
    const int error = PlainRenameNoReplace(f, t);
    if (error == EEXIST && SameFileUnderAnotherName(f, t)) return RenameThroughTemporary(f, t);
    return error;
}

int CopyNoReplace(const QString& from, const QString& to) {
    const QByteArray target = Native(to);
    TFd in(::open(Native(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) return errno;
    struct stat st;
    if (::fstat(in.Get(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (Exists(target)) return EEXIST;

    TAtomicFile out(to);
    if (const int e = CopyBytes(in.Get(), out)) return e;
    out.SetMode(st.st_mode & 07777);
    if (out.Descriptor() >= 0) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out.Descriptor(), times);
    }
    return out.Commit(RenameNoReplace);
}

int MoveNoReplace(const QString& from, const QString& to) {
    const int renamed = RenameNoReplace(from, to);
    if (renamed != EXDEV) return renamed;
    if (const int e = CopyNoReplace(from, to)) return e;
    if (::unlink(Native(from).constData()) != 0) {
        // The file stays where it was, and only there.
        const int error = errno;
        ::unlink(Native(to).constData());
        SyncFolderOf(to);
        return error;
    }
    SyncFolderOf(from);
    return 0;
}
