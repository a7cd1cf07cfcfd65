// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/AtomicFile.h"

#include "core/Errors.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* step, const QString& fileName, int error) {
    throw ETaveluneError(std::string("cannot ") + step + " " + fileName.toStdString() + ": " +
                         std::strerror(error));
}

// The file that receives the content: the end of a chain of links, or the name itself.
QString TargetOf(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty()) return resolved;
    }
    return info.absoluteFilePath();
}

// Closes and removes the temporary file unless released after the rename.
class TTemporary {
public:
    explicit TTemporary(QByteArray path) : m_path(std::move(path)) {}
    ~TTemporary() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_path.isEmpty()) ::unlink(m_path.constData());
    }
    TTemporary(const TTemporary&) = delete;
    TTemporary& operator=(const TTemporary&) = delete;

    int& Fd() { return m_fd; }
    char* Path() { return m_path.data(); }
    int Close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }
    void Release() { m_path.clear(); }

private:
    QByteArray m_path;
    int m_fd = -1;
};

void WriteAll(int fd, QByteArrayView bytes, const QString& fileName) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("write", fileName, errno);
        }
        if (n == 0) Fail("write", fileName, ENOSPC);
        p += n;
        left -= n;
    }
}

// New files get the usual mode under the umask; an existing file keeps its own.
mode_t ModeFor(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // best effort: the rename itself has succeeded
    ::close(fd);
}

} // namespace

void WriteFileAtomically(const QString& fileName, QByteArrayView bytes) {
    const QString target = TargetOf(fileName);
    const QFileInfo info(target);
    const QByteArray targetPath = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());

    TTemporary temp(QFile::encodeName(
        QDir(info.absolutePath()).filePath(QLatin1Char('.') + info.fileName() + ".XXXXXX")));
    temp.Fd() = ::mkostemp(temp.Path(), O_CLOEXEC);
    if (temp.Fd() < 0) {
        temp.Release();
        Fail("create a temporary file for", fileName, errno);
    }
    WriteAll(temp.Fd(), bytes, fileName);
    if (::fchmod(temp.Fd(), ModeFor(targetPath)) != 0) Fail("set the mode of", fileName, errno);
    if (::fsync(temp.Fd()) != 0) Fail("sync", fileName, errno);
    if (temp.Close() != 0) Fail("close", fileName, errno);
    if (::rename(temp.Path(), targetPath.constData()) != 0) Fail("rename", fileName, errno);
    temp.Release();
    SyncFolder(folder);
}
