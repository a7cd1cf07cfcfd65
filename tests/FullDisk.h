#pragma once
// Full disks for the tests of the program's writers: a small tmpfs filled up to a given room
// where the process may mount one (as root, in a mount namespace of its own so that nothing
// leaks to the machine), otherwise a file size limit that makes writes fail the same way.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

// Keeps every file the process (and the programs it starts) writes below `bytes`, so writes
// fail as on a full disk; SIGXFSZ is ignored so that the failing write returns an error.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = m_saved;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

// A folder on a small disk of its own. Fill() leaves only `room` bytes free until Free().
class TNearlyFullDisk {
public:
    static constexpr qint64 kCapacity = 1 << 20;

    TNearlyFullDisk() {
        m_folder = m_root.filePath(QStringLiteral("disk"));
        QDir().mkpath(m_folder);
        const QByteArray options = "size=" + QByteArray::number(kCapacity) + ",mode=0755";
        m_mounted =
            PrivateMounts() && ::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs",
                                       MS_NOSUID | MS_NODEV, options.constData()) == 0;
    }
    ~TNearlyFullDisk() {
        Free();
        if (m_mounted) ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    TNearlyFullDisk(const TNearlyFullDisk&) = delete;
    TNearlyFullDisk& operator=(const TNearlyFullDisk&) = delete;

    bool Valid() const { return m_root.isValid(); }
    // True on a real full disk, false under the file size limit.
    bool IsTmpfs() const { return m_mounted; }
    QString Folder() const { return m_folder; }
    QString FilePath(const QString& name) const { return QDir(m_folder).filePath(name); }
    // The name of the file that takes up the space; not one of the writers' files.
    static QString FillerName() { return QStringLiteral(".filler"); }

    void Fill(qint64 room) {
        Free();
        if (!m_mounted) {
            m_limit = std::make_unique<TFileSizeLimit>(rlim_t(room));
            return;
        }
        const QByteArray filler = QFile::encodeName(FilePath(FillerName()));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) return;
        const std::vector<char> block(4096, 'f');
        off_t size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.data(), block.size());
            if (n <= 0) break;
            size += n;
        }
        // tmpfs hands out whole pages, so the room is a multiple of the page size.
        const bool freed = room <= 0 || ::ftruncate(fd, size > room ? size - room : 0) == 0;
        (void)freed;
        ::close(fd);
    }
    void Free() {
        m_limit.reset();
        if (m_mounted) ::unlink(QFile::encodeName(FilePath(FillerName())).constData());
    }

private:
    // Mounts made from here on stay inside this process (once a namespace of its own, always).
    static bool PrivateMounts() {
        static const bool ok = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                               ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        return ok;
    }

    QTemporaryDir m_root;
    QString m_folder;
    bool m_mounted = false;
    std::unique_ptr<TFileSizeLimit> m_limit;
};
