// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/Trash.h"

#include "browse/FileOps.h"

#include "core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

inline constexpr int kMaxNameTries = 10000;

bool Exists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Makes a folder that the trash needs; only its owner may look inside.
int MakeFolder(const QString& path) {
    if (QFileInfo(path).isDir()) return 0;
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST)
        return QFileInfo(path).isDir() ? 0 : ENOTDIR;
    return errno;
}

int MakeTrashFolders(const QString& trash) {
    const QString parent = QFileInfo(trash).absolutePath();
    if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent)) return ENOTDIR;
    if (const int e = MakeFolder(trash)) return e;
    if (const int e = MakeFolder(trash + QStringLiteral("/files"))) return e;
    return MakeFolder(trash + QStringLiteral("/info"));
}

QString NameForTry(const QFileInfo& file, int n) {
    if (n == 1) return file.fileName();
    const QString suffix = file.suffix();
    const QString base = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    QString name = base + QStringLiteral(" %1").arg(n);
    if (!suffix.isEmpty()) name += u'.' + suffix;
    return name;
}

// Writes the record through a temporary file of the info folder, then gives it its name without
// replacing anything: the record reserves the name in the trash.
int PublishInfo(const QByteArray& text, const QString& infoPath) {
    TAtomicFile file(infoPath);
    file.Write(text);
    return file.Commit(RenameNoReplace);
}

} // namespace

QString HomeTrashFolder() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/Trash"));
}

QByteArray TrashInfoText(const QString& originalPath, const QDateTime& deleted) {
    QByteArray text("[Trash Info]\nPath=");
    text += QUrl::toPercentEncoding(originalPath, "/");
    text += "\nDeletionDate=";
    text += deleted.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
    text += '\n';
    return text;
}

TTrashResult MoveToTrash(const QString& path, const QString& trashFolder,
                         const QDateTime& deleted) {
    TTrashResult result;
    const QFileInfo file(QFileInfo(path).absoluteFilePath());
    if (!Exists(file.absoluteFilePath())) {
        result.Error = ENOENT;
        return result;
    }
    if (file.isDir()) {
        result.Error = EISDIR;
        return result;
    }
    const QString trash = QDir::cleanPath(trashFolder);
    if ((result.Error = MakeTrashFolders(trash))) return result;

    const QString files = trash + QStringLiteral("/files");
    const QString info = trash + QStringLiteral("/info");
    const QByteArray text = TrashInfoText(file.absoluteFilePath(), deleted);
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const QString name = NameForTry(file, n);
        const QString target = files + u'/' + name;
        const QString record = info + u'/' + name + QStringLiteral(".trashinfo");
        if (Exists(target)) continue;
        const int published = PublishInfo(text, record);
        if (published == EEXIST) continue;
        if (published != 0) {
            result.Error = published;
            return result;
        }
        const int moved = MoveNoReplace(file.absoluteFilePath(), target);
        if (moved == EEXIST) {
            ::unlink(QFile::encodeName(record).constData());
            continue;
        }
        if (moved != 0) {
            ::unlink(QFile::encodeName(record).constData());
            result.Error = moved;
            return result;
        }
        // Where did the file go? It must be in the trash and nowhere else.
        if (!Exists(target) || Exists(file.absoluteFilePath())) {
            result.Error = EIO;
            return result;
        }
        result.FilePath = target;
        result.InfoPath = record;
        return result;
    }
    result.Error = EEXIST;
    return result;
}
