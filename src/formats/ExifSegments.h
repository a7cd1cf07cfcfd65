#pragma once
// Finds the TIFF-structured EXIF block of a JPEG or TIFF file.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>

class QIODevice;

enum class TExifContainer { Jpeg, Tiff };

// Upper bound of what a TIFF file lends to its metadata: the 8-byte header and what follows.
inline constexpr qint64 kTiffExifWindow = 8 + 256000;

// The block from its byte-order mark ("II" or "MM") on, offsets inside it counting from that
// mark; nothing when the file holds no block the viewer reads. The device must be open and
// positioned at the start of the file. Reads and allocates only what the device holds.
std::optional<QByteArray> FindExifBlock(QIODevice& device, TExifContainer container);

// The block from its byte-order mark on, out of an EXIF payload as the newer containers store
// it: as is, after an "Exif\0\0" prefix (WebP, JPEG XL writers), or after the 4-byte offset to
// the mark that HEIF and AVIF put first. Empty when no block is found.
QByteArray ExifBlockFromPayload(const uint8_t* data, size_t size);
