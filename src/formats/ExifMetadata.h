// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The tags of an EXIF block that the viewer uses, read from its first image directory and its
// EXIF sub-directory.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>

enum TExifTag : uint16_t {
    etMake = 271,
    etModel = 272,
    etOrientation = 274,
    etSoftware = 305,
    etDateTime = 306,
    etExifIfdPointer = 34665,
    etDateTimeOriginal = 36867,
};

// Longest texts kept of the camera maker, the camera model and the date.
inline constexpr int kExifMakerChars = 32;
inline constexpr int kExifModelChars = 40;
inline constexpr int kExifDateChars = 20;

class TExifMetadata {
public:
    // No block found.
    TExifMetadata() = default;
    // Reads a block that starts with its byte-order mark. A block whose directories cannot be
    // read counts as no block at all.
    explicit TExifMetadata(QByteArray block);

    bool Found() const { return m_found; }
    // "MM" blocks; "II" blocks are little-endian.
    bool BigEndian() const { return m_bigEndian; }

    // The value bytes as stored in the file, or nothing when the tag is absent. A tag present
    // in both directories gives the EXIF sub-directory's value, which is read last.
    std::optional<QByteArray> TagValue(uint16_t tag) const;

    QString Maker() const;
    QString Model() const;
    QString Software() const;
    // DateTimeOriginal when present, else DateTime.
    QString DateText() const;

private:
    struct TSpan {
        uint16_t type;
        qsizetype offset;
        qsizetype size;
    };

    bool ReadDirectory(uint32_t offset);
    uint16_t U16(qsizetype at) const;
    uint32_t U32(qsizetype at) const;
    QString Text(uint16_t tag, int maxChars) const;

    QByteArray m_block;
    bool m_found = false;
    bool m_bigEndian = false;
    std::map<uint16_t, TSpan> m_tags;
};
