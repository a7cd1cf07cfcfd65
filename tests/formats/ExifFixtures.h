// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Builds EXIF blocks, JPEG files and TIFF files byte by byte for the EXIF tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <vector>

namespace exiffix {

// One directory entry: the count is written as given, so it may claim more than the bytes.
struct TTag {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    QByteArray bytes; // the value as stored, already in the block's byte order
};

inline QByteArray U16(bool big, uint16_t v) {
    QByteArray b(2, '\0');
    b[big ? 0 : 1] = char(v >> 8);
    b[big ? 1 : 0] = char(v & 0xFF);
    return b;
}

inline QByteArray U32(bool big, uint32_t v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[big ? 3 - i : i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

inline TTag Ascii(uint16_t tag, const QByteArray& text) {
    return {tag, 2, uint32_t(text.size() + 1), text + '\0'};
}

inline TTag Short(bool big, uint16_t tag, uint16_t v) {
    return {tag, 3, 1, U16(big, v)};
}

inline TTag Long(bool big, uint16_t tag, uint32_t v) {
    return {tag, 4, 1, U32(big, v)};
}

inline uint32_t OutOfLineSize(const TTag& t) {
    return t.bytes.size() <= 4 ? 0 : uint32_t(t.bytes.size() + (t.bytes.size() & 1));
}

inline uint32_t DirectorySize(const std::vector<TTag>& tags) {
    uint32_t size = 2 + 12 * uint32_t(tags.size()) + 4;
    for (const TTag& t : tags)
        size += OutOfLineSize(t);
    return size;
}

inline void AppendDirectory(QByteArray& out, bool big, const std::vector<TTag>& tags) {
    uint32_t values = uint32_t(out.size()) + 2 + 12 * uint32_t(tags.size()) + 4;
    out += U16(big, uint16_t(tags.size()));
    for (const TTag& t : tags) {
        out += U16(big, t.tag) + U16(big, t.type) + U32(big, t.count);
        if (t.bytes.size() <= 4) {
            out += t.bytes + QByteArray(4 - t.bytes.size(), '\0');
        } else {
            out += U32(big, values);
            values += OutOfLineSize(t);
        }
    }
    out += U32(big, 0);
    for (const TTag& t : tags)
        if (t.bytes.size() > 4) out += t.bytes + QByteArray(t.bytes.size() & 1, '\0');
}

// "II" or "MM" block: header, `gap` zero bytes, the first directory with its values, then the
// EXIF sub-directory (with a pointer to it added to the first) when exif tags are given.
inline QByteArray Block(bool big, std::vector<TTag> ifd0, const std::vector<TTag>& exif = {},
                        uint32_t gap = 0) {
    const uint32_t ifd0At = 8 + gap;
    if (!exif.empty()) {
        ifd0.push_back(Long(big, 34665, 0));
        ifd0.back() = Long(big, 34665, ifd0At + DirectorySize(ifd0));
    }
    QByteArray out = big ? QByteArray("MM") : QByteArray("II");
    out += U16(big, 42) + U32(big, ifd0At) + QByteArray(qsizetype(gap), '\0');
    AppendDirectory(out, big, ifd0);
    if (!exif.empty()) AppendDirectory(out, big, exif);
    return out;
}

struct TSegment {
    uint8_t marker;
    QByteArray payload;
};

inline TSegment App0() {
    return {0xE0, QByteArray("JFIF\0\1\1\0\0\1\0\1\0\0", 14)};
}

inline TSegment App(uint8_t n) {
    return {uint8_t(0xE0 + n), QByteArray("data")};
}

inline TSegment Com() {
    return {0xFE, QByteArray("a comment")};
}

inline TSegment App13() {
    return {0xED, QByteArray("Photoshop 3.0\0", 14)};
}

inline TSegment Dqt() {
    return {0xDB, QByteArray(65, '\1')};
}

inline TSegment Xmp() {
    return {0xE1, QByteArray("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 41)};
}

inline TSegment ExifApp1(const QByteArray& block) {
    return {0xE1, QByteArray("Exif\0\0", 6) + block};
}

inline bool HasNoLength(uint8_t marker) {
    return marker == 0xD8 || marker == 0xD9 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Start of image, the segments, a start of scan with a few entropy-coded bytes, end of image.
inline QByteArray Jpeg(const std::vector<TSegment>& segments) {
    QByteArray out("\xFF\xD8", 2);
    for (const TSegment& s : segments) {
        out += char(0xFF);
        out += char(s.marker);
        if (HasNoLength(s.marker)) continue;
        out += U16(true, uint16_t(s.payload.size() + 2)) + s.payload;
    }
    out += QByteArray("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x12\x34\xFF\xD9", 14);
    return out;
}

inline QString WriteFile(const QDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
    return path;
}

} // namespace exiffix
