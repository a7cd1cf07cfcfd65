// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/ExifMetadata.h"

#include <QStringDecoder>
#include <array>

namespace {

constexpr qsizetype kEntrySize = 12;

// Bytes per component of the TIFF field types 1..13 (13 = IFD offset); 0 = unknown type.
constexpr std::array<uint8_t, 14> kTypeSizes = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeIfd = 13;

QString DecodeText(const QByteArray& bytes) {
    // Cameras write ASCII; a few programs write UTF-8; anything else is taken byte for char.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

TExifMetadata::TExifMetadata(QByteArray block) : m_block(std::move(block)) {
    if (m_block.size() < 8) return;
    if (m_block.startsWith("MM"))
        m_bigEndian = true;
    else if (!m_block.startsWith("II"))
        return;

    bool readable = ReadDirectory(U32(4));
    const auto pointer = m_tags.find(etExifIfdPointer);
    if (readable && pointer != m_tags.end()) {
        const TSpan span = pointer->second;
        if ((span.type == kTypeLong || span.type == kTypeIfd) && span.size >= 4)
            readable = ReadDirectory(U32(span.offset));
    }
    if (!readable) {
        m_tags.clear();
        return;
    }
    m_found = true;
}

uint16_t TExifMetadata::U16(qsizetype at) const {
    const auto b = [&](qsizetype i) { return uint16_t(uint8_t(m_block[at + i])); };
    return m_bigEndian ? uint16_t(b(0) << 8 | b(1)) : uint16_t(b(1) << 8 | b(0));
}

uint32_t TExifMetadata::U32(qsizetype at) const {
    const auto b = [&](qsizetype i) { return uint32_t(uint8_t(m_block[at + i])); };
    return m_bigEndian ? b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3)
                       : b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0);
}

// Every size is checked against the block in 64-bit arithmetic before anything is read.
bool TExifMetadata::ReadDirectory(uint32_t offset) {
    const int64_t blockSize = m_block.size();
    if (int64_t(offset) + 2 > blockSize) return false;
    const uint16_t count = U16(offset);
    const int64_t entries = int64_t(offset) + 2;
    if (entries + int64_t(count) * kEntrySize > blockSize) return false;

    for (uint16_t i = 0; i < count; ++i) {
        const qsizetype entry = qsizetype(entries + int64_t(i) * kEntrySize);
        const uint16_t tag = U16(entry);
        const uint16_t type = U16(entry + 2);
        if (type >= kTypeSizes.size() || kTypeSizes[type] == 0) continue;
        const int64_t size = int64_t(U32(entry + 4)) * kTypeSizes[type];
        const int64_t valueOffset = size <= 4 ? entry + 8 : int64_t(U32(entry + 8));
        if (valueOffset + size > blockSize) continue;
        m_tags[tag] = TSpan{type, qsizetype(valueOffset), qsizetype(size)};
    }
    return true;
}

std::optional<QByteArray> TExifMetadata::TagValue(uint16_t tag) const {
    const auto it = m_tags.find(tag);
    if (it == m_tags.end()) return std::nullopt;
    return m_block.mid(it->second.offset, it->second.size);
}

QString TExifMetadata::Text(uint16_t tag, int maxChars) const {
    const std::optional<QByteArray> value = TagValue(tag);
    if (!value) return {};
    const qsizetype end = value->indexOf('\0');
    const QString text = DecodeText(end < 0 ? *value : value->left(end));
    return maxChars > 0 ? text.left(maxChars) : text;
}

QString TExifMetadata::Maker() const {
    return Text(etMake, kExifMakerChars);
}

QString TExifMetadata::Model() const {
    return Text(etModel, kExifModelChars);
}

QString TExifMetadata::Software() const {
    return Text(etSoftware, 0);
}

QString TExifMetadata::DateText() const {
    return Text(m_tags.count(etDateTimeOriginal) ? etDateTimeOriginal : etDateTime, kExifDateChars);
}
