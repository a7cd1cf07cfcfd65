#include "formats/ExifSegments.h"

#include <QIODevice>
#include <algorithm>
#include <cstdint>

namespace {

enum : uint8_t {
    kMarkerSOI = 0xD8,
    kMarkerEOI = 0xD9,
    kMarkerSOS = 0xDA,
    kMarkerAPP1 = 0xE1,
    kMarkerAPP13 = 0xED,
    kMarkerCOM = 0xFE,
    kMarkerTEM = 0x01,
    kMarkerRST0 = 0xD0,
    kMarkerRST7 = 0xD7,
};

// The EXIF APP1 counts only among the first five segments; the fifth is looked at only when
// an APP1, COM or APP13 segment came before it.
constexpr int kLastExifSegment = 5;
// Padding 0xFF bytes allowed before a marker; more means the data is not a marker sequence.
constexpr int kMaxFillBytes = 1024;

qint64 Remaining(const QIODevice& device) {
    return device.size() - device.pos();
}

bool ReadByte(QIODevice& device, uint8_t& byte) {
    char c;
    if (!device.getChar(&c)) return false;
    byte = uint8_t(c);
    return true;
}

// The marker code after 0xFF and any fill bytes, or 0 when the next bytes are no marker.
uint8_t ReadMarker(QIODevice& device) {
    uint8_t byte = 0;
    if (!ReadByte(device, byte) || byte != 0xFF) return 0;
    for (int fill = 0; fill <= kMaxFillBytes; ++fill) {
        if (!ReadByte(device, byte)) return 0;
        if (byte != 0xFF) return byte == 0x00 ? 0 : byte;
    }
    return 0;
}

bool IsStandalone(uint8_t marker) {
    return marker == kMarkerTEM || (marker >= kMarkerRST0 && marker <= kMarkerRST7);
}

// The payload of an APP1 segment when it holds EXIF data: "Exif", two pad bytes, then the
// TIFF-structured block.
std::optional<QByteArray> ReadExifPayload(QIODevice& device, qint64 payloadSize) {
    if (payloadSize > Remaining(device)) return std::nullopt;
    const QByteArray payload = device.read(payloadSize);
    if (payload.size() != payloadSize || payloadSize < 8) return std::nullopt;
    if (!payload.startsWith("Exif")) return std::nullopt;
    const QByteArray mark = payload.mid(6, 2);
    if (mark != "II" && mark != "MM") return std::nullopt;
    return payload.mid(6);
}

std::optional<QByteArray> FindJpegBlock(QIODevice& device) {
    uint8_t soi[2] = {};
    if (!ReadByte(device, soi[0]) || !ReadByte(device, soi[1])) return std::nullopt;
    if (soi[0] != 0xFF || soi[1] != kMarkerSOI) return std::nullopt;

    bool metadataSeen = false;
    for (int segment = 1; segment <= kLastExifSegment; ++segment) {
        if (segment == kLastExifSegment && !metadataSeen) return std::nullopt;
        const uint8_t marker = ReadMarker(device);
        if (marker == 0 || marker == kMarkerSOS || marker == kMarkerEOI || marker == kMarkerSOI)
            return std::nullopt;
        if (IsStandalone(marker)) continue;

        uint8_t length[2] = {};
        if (!ReadByte(device, length[0]) || !ReadByte(device, length[1])) return std::nullopt;
        const qint64 payloadSize = ((qint64(length[0]) << 8) | length[1]) - 2;
        if (payloadSize < 0) return std::nullopt;

        // Only the first APP1 segment may hold the block.
        if (marker == kMarkerAPP1) return ReadExifPayload(device, payloadSize);
        if (marker == kMarkerCOM || marker == kMarkerAPP13) metadataSeen = true;
        if (payloadSize > Remaining(device) || !device.seek(device.pos() + payloadSize))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QByteArray> FindTiffBlock(QIODevice& device) {
    const qint64 size = std::min(kTiffExifWindow, Remaining(device));
    if (size < 2) return std::nullopt;
    const QByteArray block = device.read(size);
    if (block.size() != size) return std::nullopt;
    if (!block.startsWith("II") && !block.startsWith("MM")) return std::nullopt;
    return block;
}

} // namespace

std::optional<QByteArray> FindExifBlock(QIODevice& device, TExifContainer container) {
    if (!device.isOpen() || device.isSequential()) return std::nullopt;
    return container == TExifContainer::Jpeg ? FindJpegBlock(device) : FindTiffBlock(device);
}

QByteArray ExifBlockFromPayload(const uint8_t* data, size_t size) {
    const auto isMark = [&](size_t at) {
        if (at > size || size - at < 8) return false;
        const uint8_t* p = data + at;
        return (p[0] == 'I' && p[1] == 'I' && p[2] == 42 && p[3] == 0) ||
               (p[0] == 'M' && p[1] == 'M' && p[2] == 0 && p[3] == 42);
    };
    const auto from = [&](size_t at) {
        return QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(size - at));
    };
    if (!data) return {};
    if (isMark(0)) return from(0);
    if (size >= 6 && std::equal(data, data + 6, "Exif\0\0") && isMark(6)) return from(6);
    if (size >= 4) {
        const uint64_t offset = (uint64_t(data[0]) << 24) | (uint64_t(data[1]) << 16) |
                                (uint64_t(data[2]) << 8) | uint64_t(data[3]);
        if (offset <= size - 4 && isMark(size_t(4 + offset))) return from(size_t(4 + offset));
        // Some writers count the offset with an "Exif\0\0" prefix in front of the mark.
        if (offset <= size - 4 && isMark(size_t(4 + offset + 6)) &&
            std::equal(data + 4 + offset, data + 4 + offset + 6, "Exif\0\0"))
            return from(size_t(4 + offset + 6));
    }
    return {};
}
