// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/FileData.h"

#include "core/Errors.h"

#include <QFile>

namespace {

[[noreturn]] void Fail(const char* what, const QString& fileName) {
    throw ETaveluneError(std::string(what) + ": " + fileName.toStdString());
}

// Files beyond this are not images this program can hold.
constexpr qint64 kMaxFileBytes = qint64(4) << 30;

} // namespace

QByteArray ReadWholeFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) Fail("cannot open", fileName);
    const qint64 size = file.size();
    if (size > kMaxFileBytes) Fail("file too large", fileName);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) Fail("cannot read", fileName);
    return bytes;
}
