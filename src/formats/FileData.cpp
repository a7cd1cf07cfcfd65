#include "formats/FileData.h"

#include "core/Errors.h"

#include <QFile>
#include <QSaveFile>

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

void WriteFileAtomically(const QString& fileName, const std::vector<uint8_t>& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) Fail("cannot create", fileName);
    const char* p = reinterpret_cast<const char*>(bytes.data());
    qint64 left = qint64(bytes.size());
    while (left > 0) {
        const qint64 n = file.write(p, left);
        if (n <= 0) {
            file.cancelWriting();
            Fail("cannot write", fileName);
        }
        p += n;
        left -= n;
    }
    if (!file.commit()) Fail("cannot complete", fileName);
}
