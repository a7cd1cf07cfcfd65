// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the EXIF reader as a JPEG and as a TIFF file, the way the file
// entries read them, and builds the orientation and the information text from what it finds.
#include "formats/Exif.h"
#include "formats/ExifSegments.h"

#include <QBuffer>
#include <QLocale>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const TExifContainer container : {TExifContainer::Jpeg, TExifContainer::Tiff}) {
        QBuffer buffer;
        buffer.setData(bytes);
        if (!buffer.open(QIODevice::ReadOnly)) return 0;
        const std::optional<QByteArray> block = FindExifBlock(buffer, container);
        if (!block) continue;
        const TExifMetadata metadata(*block);
        volatile int orientation = ExifOrientation(metadata);
        (void)orientation;
        const QString text = ExifInfoLines(metadata, locale);
        volatile qsizetype length = text.size();
        (void)length;
    }
    return 0;
}
