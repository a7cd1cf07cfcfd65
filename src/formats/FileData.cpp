// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/FileData.h"

#include "core/Errors.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

[[noreturn]] void Fail(const char* what, const QString& fileName) {
    throw ETaveluneError(std::string(what) + ": " + fileName.toStdString());
}

// Files beyond this are not images this program can hold.
constexpr qint64 kMaxFileBytes = qint64(4) << 30;

} // namespace

TFileStamp FileStampOf(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!info.exists()) return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QByteArray ReadWholeFile(const QString& fileName, TFileStamp* stamp) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) Fail("cannot open", fileName);
    const qint64 size = file.size();
    // Taken from the open file, so a file replaced meanwhile cannot lend its stamp.
    if (stamp)
        *stamp = {size, file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch()};
    if (size > kMaxFileBytes) Fail("file too large", fileName);
    // A buffer of the file's size: readAll grows its buffer by half as much again, and the
    // bytes of a large picture stay in memory while it decodes.
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(bytes.data() + got, size - got);
        if (n < 0) Fail("cannot read", fileName);
        if (n == 0) break;
        got += n;
    }
    bytes.truncate(got);                      // the file shrank meanwhile
    if (got == size) bytes += file.readAll(); // or grew
    if (file.error() != QFileDevice::NoError) Fail("cannot read", fileName);
    return bytes;
}
