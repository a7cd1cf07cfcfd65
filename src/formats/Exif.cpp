// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/Exif.h"

#include "formats/DateDisplay.h"
#include "formats/ExifSegments.h"
#include "formats/FileData.h"
#include "formats/FileNames.h"
#include "formats/ImageFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <exception>
#include <new>

namespace {

TRawInfoTextProvider& RawInfoTextProvider() {
    static TRawInfoTextProvider provider;
    return provider;
}

// Digits only, as the fields of an EXIF date are; -1 otherwise.
int DateField(const QString& text, qsizetype from, qsizetype length) {
    const QString field = text.mid(from, length);
    if (field.isEmpty()) return -1;
    int value = 0;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

namespace {

std::optional<TExifContainer> SegmentContainer(const QString& fileName) {
    if (IsJpegName(fileName)) return TExifContainer::Jpeg;
    if (IsTiffName(fileName)) return TExifContainer::Tiff;
    return std::nullopt;
}

// The reader of the formats whose EXIF block their own library finds.
TExifReader FormatExifReader(const QString& fileName) {
    if (SegmentContainer(fileName) || IsRawName(fileName)) return nullptr;
    return ReaderClassFor(fileName).ReadExif;
}

} // namespace

TExifMetadata ReadExifMetadata(const QString& fileName) {
    const std::optional<TExifContainer> container = SegmentContainer(fileName);
    const TExifReader reader = FormatExifReader(fileName);
    if (!container && !reader) return {};

    // Only regular files: a folder or a pipe carrying an image name has nothing to read.
    if (!QFileInfo(fileName).isFile()) return {};
    if (reader) {
        const QByteArray bytes = ReadWholeFile(fileName);
        return ExifMetadataFromBytes(
            fileName, {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())});
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::optional<QByteArray> block = FindExifBlock(file, *container);
    if (!block) return {};
    return TExifMetadata(std::move(*block));
}

TExifMetadata ExifMetadataFromBytes(const QString& fileName, std::span<const uint8_t> bytes) {
    try {
        if (const std::optional<TExifContainer> container = SegmentContainer(fileName)) {
            QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                      qsizetype(bytes.size()));
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            std::optional<QByteArray> block = FindExifBlock(buffer, *container);
            // The block is copied out of the caller's bytes before they go.
            return block ? TExifMetadata(QByteArray(block->constData(), block->size()))
                         : TExifMetadata();
        }
        if (const TExifReader reader = FormatExifReader(fileName)) {
            QByteArray block = reader(bytes);
            return block.isEmpty() ? TExifMetadata() : TExifMetadata(std::move(block));
        }
    } catch (const std::exception&) {
        // A file its library cannot read has no metadata.
    }
    return {};
}

int ExifOrientation(const TExifMetadata& metadata) {
    if (!metadata.Found()) return 0;
    const std::optional<QByteArray> value = metadata.TagValue(etOrientation);
    if (!value || value->size() < 2) return 0;
    // A 16-bit value below 256: its low byte comes second in big-endian blocks.
    const int orientation = uint8_t((*value)[metadata.BigEndian() ? 1 : 0]);
    return orientation >= 1 && orientation <= 8 ? orientation : 0;
}

int ExifOrientation(const QByteArray& block) {
    if (block.isEmpty()) return 0;
    try {
        return ExifOrientation(TExifMetadata(block));
    } catch (const std::exception&) {
        return 0;
    }
}

QDateTime ExifDateTime(const QString& text) {
    const int year = DateField(text, 0, 4);
    const int month = DateField(text, 5, 2);
    const int day = DateField(text, 8, 2);
    const int hour = DateField(text, 11, 2);
    const int minute = DateField(text, 14, 2);
    const int second = DateField(text, 17, 2);
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 1 || !date.isValid() || !time.isValid())
        return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return QDateTime(date, time, Qt::UTC);
}

QString ExifInfoLines(const TExifMetadata& metadata, const QLocale& locale) {
    if (!metadata.Found()) return {};
    QStringList lines;
    const QString maker = metadata.Maker();
    const QString model = metadata.Model();
    if (!maker.isEmpty() || !model.isEmpty())
        lines << maker << model;
    else
        lines << metadata.Software();
    const QString date = metadata.DateText();
    if (!date.isEmpty()) lines << FormatDisplayDate(ExifDateTime(date), locale);
    return JoinInfoLines(lines);
}

QString CleanInfoLine(QString line) {
    if (line.startsWith(QLatin1Char('"')) && line.endsWith(QLatin1Char('"')))
        line = line.size() < 2 ? QString() : line.mid(1, line.size() - 2);
    for (QChar& c : line)
        if (c.unicode() < 32) c = QLatin1Char(' ');
    return line.trimmed();
}

QString JoinInfoLines(const QStringList& lines) {
    QStringList kept;
    for (const QString& line : lines) {
        const QString clean = CleanInfoLine(line);
        if (!clean.isEmpty()) kept << clean;
    }
    return kept.join(QLatin1Char('\r'));
}

void SetRawInfoTextProvider(TRawInfoTextProvider provider) {
    RawInfoTextProvider() = std::move(provider);
}

bool HasExifName(const QString& fileName) {
    return IsJpegName(fileName) || IsTiffName(fileName) || IsRawName(fileName) ||
           FormatExifReader(fileName) != nullptr;
}

bool OrientationFromExif(const QString& fileName) {
    return !ReaderClassFor(fileName).OrientedByReader;
}

int ReadExifOrientation(const QString& fileName) {
    try {
        if (!OrientationFromExif(fileName)) return 0;
        return ExifOrientation(ReadExifMetadata(fileName));
    } catch (const std::exception&) {
        return 0;
    }
}

QString ExifInfoText(const QString& fileName) {
    return ExifInfoText(fileName, DateDisplayLocale());
}

QString ExifInfoText(const QString& fileName, const QLocale& locale) {
    try {
        if (IsRawName(fileName)) {
            const TRawInfoTextProvider& provider = RawInfoTextProvider();
            return provider ? provider(fileName) : QString();
        }
        return ExifInfoLines(ReadExifMetadata(fileName), locale);
    } catch (const std::exception&) {
        return {};
    }
}
