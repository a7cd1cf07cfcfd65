// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/FileOps.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// Removes the temporary file unless it was published.
class TTempFile {
public:
    explicit TTempFile(QByteArray path) : m_path(std::move(path)) {}
    ~TTempFile() {
        if (!m_path.isEmpty()) ::unlink(m_path.constData());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const QByteArray& Path() const { return m_path; }
    void Release() { m_path.clear(); }

private:
    QByteArray m_path;
};

int CopyBytes(int in, int out) {
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += w;
        }
    }
}

bool Exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

} // namespace

int RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray f = Native(from), t = Native(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
#endif
    // Where the flag is not supported a hard link gives the same guarantee: it never replaces.
    if (::link(f.constData(), t.constData()) != 0) return errno;
    if (::unlink(f.constData()) != 0) {
        const int error = errno;
        ::unlink(t.constData());
        return error;
    }
    return 0;
}

int CopyNoReplace(const QString& from, const QString& to) {
    const QByteArray target = Native(to);
    TFd in(::open(Native(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) return errno;
    struct stat st;
    if (::fstat(in.Get(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (Exists(target)) return EEXIST;

    const QFileInfo info(to);
    QByteArray pattern = Native(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                QStringLiteral(".tavelune-XXXXXX"));
    TFd out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (out.Get() < 0) return errno;
    TTempFile temp(pattern);
    if (const int e = CopyBytes(in.Get(), out.Get())) return e;
    ::fchmod(out.Get(), st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out.Get(), times);
    if (::fsync(out.Get()) != 0) return errno;
    if (const int e = out.Close()) return e;

    if (const int e = RenameNoReplace(QFile::decodeName(temp.Path()), to)) return e;
    temp.Release();
    SyncFolderOf(to);
    return 0;
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

void SyncFolderOf(const QString& path) {
    TFd folder(::open(Native(QFileInfo(path).absolutePath()).constData(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) ::fsync(folder.Get());
}
