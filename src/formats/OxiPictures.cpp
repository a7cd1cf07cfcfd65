// SPDX-License-Identifier: GPL-2.0-or-later
// The pictures stored inside layered image files: colour pictures (thumbnail and layer images)
// and grey pictures (layer masks), each uncompressed or as one zlib stream.
#include "formats/MyGraphic.h"

#include "core/Errors.h"
#include "core/FilterEvent.h"
#include "formats/NativeTexts.h"
#include "formats/ZlibReader.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

struct TSize {
    int32_t W = 0, H = 0;
    bool Empty() const { return W == 0 || H == 0; }
};

void CheckMode(int mode) {
    if (mode != ocNone && mode != ocZlib) throw ETaveluneError(InvalidCompressionText);
}

TSize ReadSize(TByteReader& in) {
    TSize s;
    s.W = int32_t(in.LE32());
    s.H = int32_t(in.LE32());
    CheckImageSize(s.W, s.H);
    return s;
}

// Throws unless the rest of the file can hold bytes of picture data, before anything that
// size is allocated.
void CheckStoredBytes(const TByteReader& in, uint64_t bytes, int mode) {
    const uint64_t room = mode == ocZlib ? MaxInflatedSize(in.Left()) : in.Left();
    if (bytes > room) throw ETaveluneError("picture larger than the data left in the file");
}

TBitmap NewPicture(TSize s) {
    if (s.Empty()) return {};
    QImage image(s.W, s.H, QImage::Format_BGR888);
    if (image.isNull()) throw std::bad_alloc();
    return TBitmap(std::move(image));
}

// Reads the rows of an uncompressed picture, one step of progress per row.
template <typename TRowFn>
void ReadPlainRows(TByteReader& in, int rows, size_t rowBytes, TRowFn store) {
    TProgressScope progress(rows);
    if (!progress.Started()) throw ETaveluneError("stopped");
    for (int y = 0; y < rows; ++y) {
        store(y, in.Take(rowBytes).data());
        if (!progress.Step(y + 1)) throw ETaveluneError("stopped");
    }
}

// Inflates a stream of rows of rowBytes each, handing them out in file order, and leaves the
// reader right after the stream (which must hold nothing more; an empty picture's holds
// nothing at all).
template <typename TRowFn>
void ReadZlibRows(TByteReader& in, int rows, size_t rowBytes, TRowFn store) {
    const size_t start = in.Pos();
    TZlibReader z(in.Take(in.Left()));
    // No row buffer for a picture without rows, whatever width it claims.
    std::vector<uint8_t> row(rows > 0 ? rowBytes : 0);
    for (int y = 0; y < rows; ++y) {
        z.Read(row.data(), rowBytes);
        store(y, row.data());
    }
    in.Seek(start + z.Finish());
}

void GreyToTriples(const uint8_t* grey, uint8_t* d, int width) {
    for (int x = 0; x < width; ++x, d += 3)
        d[0] = d[1] = d[2] = grey[x];
}

} // namespace

TBitmap ReadOxiColourPicture(TByteReader& in, int mode) {
    CheckMode(mode);
    const TSize s = ReadSize(in);
    if (mode == ocNone) {
        const size_t rowBytes = size_t(s.W) * 3;
        CheckStoredBytes(in, uint64_t(rowBytes) * uint64_t(s.H), mode);
        TBitmap picture = NewPicture(s);
        if (s.Empty()) return picture;
        ReadPlainRows(in, s.H, rowBytes, [&](int y, const uint8_t* src) {
            std::memcpy(picture.ScanLine(y), src, rowBytes);
        });
        return picture;
    }
    in.Skip(4);
    // Rows bottom first, padded to 4 bytes: the layout of a bottom-up device-independent
    // bitmap. Our rows are top first, so row i of the stream is picture row H - 1 - i.
    const size_t padded = (size_t(s.W) * 3 + 3) & ~size_t(3);
    CheckStoredBytes(in, uint64_t(padded) * uint64_t(s.H), mode);
    TBitmap picture = NewPicture(s);
    ReadZlibRows(in, s.Empty() ? 0 : s.H, padded, [&](int i, const uint8_t* src) {
        std::memcpy(picture.ScanLine(s.H - 1 - i), src, size_t(s.W) * 3);
    });
    return picture;
}

TBitmap ReadOxiGreyPicture(TByteReader& in, int mode) {
    CheckMode(mode);
    const TSize s = ReadSize(in);
    if (mode == ocZlib) in.Skip(4);
    const size_t rowBytes = size_t(s.W);
    CheckStoredBytes(in, uint64_t(rowBytes) * uint64_t(s.H), mode);
    TBitmap picture = NewPicture(s);
    const auto store = [&](int y, const uint8_t* src) {
        GreyToTriples(src, picture.ScanLine(y), s.W);
    };
    if (mode == ocZlib)
        ReadZlibRows(in, s.Empty() ? 0 : s.H, rowBytes, store);
    else if (!s.Empty())
        ReadPlainRows(in, s.H, rowBytes, store);
    return picture;
}
