#include "core/AtomicFile.h"

#include "core/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Some file systems (FAT through FUSE among them) keep no modes or cannot sync: their answer
// says the call is not offered, which is no failure of the write itself.
bool NotOffered(int error) {
    return error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP || error == EINVAL;
}

// Room for the dot, the separator and the six random characters within a 255-byte name.
inline constexpr qsizetype kMaxStem = 240;
inline constexpr int kNameTries = 100;
// As many links as the kernel follows before it gives up with ELOOP.
inline constexpr int kMaxLinks = 40;

[[noreturn]] void Fail(const char* step, const QString& fileName, int error) {
    throw ETaveluneError(std::string("cannot ") + step + " " + fileName.toStdString() + ": " +
                         std::strerror(error));
}

QByteArray RandomSuffix() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(6, '\0');
    for (char& c : suffix)
        c = kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))];
    return suffix;
}

// The file that receives the content: the end of a chain of links (which may not exist yet),
// or the name itself. Empty for a chain that never ends.
QString TargetOf(const QString& fileName) {
    QString path = QFileInfo(fileName).absoluteFilePath();
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        const QFileInfo info(path);
        if (!info.isSymLink()) return path;
        path = info.symLinkTarget();
        if (path.isEmpty()) return {};
    }
    return {};
}

// Best effort: only a privileged process may give a file back to its owner.
void KeepOwner(int fd, const struct stat& old) {
    if (fd < 0 || (old.st_uid == ::geteuid() && old.st_gid == ::getegid())) return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) return;
}

int Rename(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
               ? 0
               : errno;
}

} // namespace

TAtomicFile::TAtomicFile(const QString& fileName)
    : m_target(QFileInfo(fileName).absoluteFilePath()) {
    const QFileInfo info(m_target);
    const QByteArray prefix = QFile::encodeName(info.absolutePath()) + "/." +
                              QFile::encodeName(info.fileName()).left(kMaxStem) + '.';
    for (int i = 0; i < kNameTries; ++i) {
        QByteArray path = prefix + RandomSuffix();
        // Created like any new file, so the umask decides its mode; nobody else's name is taken.
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_temporary = std::move(path);
            return;
        }
        if (errno != EEXIST) break;
    }
    Fail("create a temporary file for", errno);
}

TAtomicFile::~TAtomicFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_temporary.isEmpty()) ::unlink(m_temporary.constData());
}

int TAtomicFile::Fail(const char* step, int error) {
    if (m_error == 0) {
        m_error = error != 0 ? error : EIO;
        m_step = step;
    }
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
    if (!m_temporary.isEmpty()) ::unlink(std::exchange(m_temporary, {}).constData());
    return m_error;
}

int TAtomicFile::Write(QByteArrayView bytes) {
    if (m_error != 0) return m_error;
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail("write", errno);
        if (n == 0) return Fail("write", ENOSPC);
        p += n;
        left -= n;
    }
    return 0;
}

int TAtomicFile::SetMode(unsigned mode) {
    if (m_error != 0) return m_error;
    if (::fchmod(m_fd, mode_t(mode)) == 0 || NotOffered(errno)) return 0;
    return Fail("set the mode of", errno);
}

int TAtomicFile::Commit(TPublish publish) {
    if (m_error != 0) return m_error;
    // A full disk or a lost connection may only show here: both are checked.
    if (::fsync(m_fd) != 0 && !NotOffered(errno)) return Fail("sync", errno);
    if (::close(std::exchange(m_fd, -1)) != 0) return Fail("close", errno);
    const QString temporary = QFile::decodeName(m_temporary);
    const int published = publish ? publish(temporary, m_target) : Rename(temporary, m_target);
    if (published != 0) return Fail("rename", published);
    m_temporary.clear();
    SyncFolderOf(m_target);
    return 0;
}

void WriteFileAtomically(const QString& fileName, QByteArrayView bytes) {
    const QString target = TargetOf(fileName);
    if (target.isEmpty()) Fail("follow the links of", fileName, ELOOP);
    const QByteArray native = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::stat(native.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) Fail("replace", fileName, EISDIR);
    // A file the user has made read-only stays as it is, although its folder would allow the
    // rename.
    if (exists && ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)
        Fail("replace", fileName, errno);

    TAtomicFile file(target);
    file.Write(bytes);
    if (exists) {
        KeepOwner(file.Descriptor(), old);
        file.SetMode(old.st_mode & 07777);
    }
    if (file.Commit() != 0) Fail(file.FailedStep(), fileName, file.Error());
}

void SyncFolderOf(const QString& path) {
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
