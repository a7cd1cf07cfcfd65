// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Layered images of the maker's editor (.oxi), read only: the image of the first layer for
// display, or the thumbnail stored near the start of the file for previews. Layers are never
// composed. All numbers are little-endian.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <QString>
#include <array>
#include <cstdint>

// How a stored picture is held: rows as they are, or one zlib stream.
enum TOxiCompression : uint8_t { ocNone = 0, ocZlib = 1 };

struct TOxiHeader {
    uint8_t Version = 0; // 1, 2 or 3
    int32_t Width = 0;   // canvas size
    int32_t Height = 0;
    double Resolution = 0; // stored as the value times 1000
    int32_t Reserved = 0;  // skipped
    QString Text;          // up to 255 characters
    int32_t Kept = 0;
};

// Size of the fixed header; the thumbnail block follows it.
inline constexpr size_t OxiHeaderSize = 294;

// Throws ETaveluneError(InvalidDataText) unless the signature and version are right.
TOxiHeader ReadOxiHeader(TByteReader& in);

// A colour picture, 24 bits per pixel. Uncompressed: width, height, rows top first without
// padding. zlib: width, height, a skipped int32, then a stream of the rows bottom first, each
// padded to 4 bytes. Throws InvalidCompressionText for any other mode.
TBitmap ReadOxiColourPicture(TByteReader& in, int mode);
// A grey picture (layer masks), held as 24 bits with the grey in all three channels. Both
// modes store width, height (zlib: and a skipped int32) and rows top first without padding.
TBitmap ReadOxiGreyPicture(TByteReader& in, int mode);

// One layer record. Only the image and its transparency matter to a viewer; the editor's
// fields are kept as read.
class TLayerItem {
public:
    void Read(TByteReader& in);

    QString Name;
    uint8_t EditorByte1 = 1;
    uint8_t EditorByte2 = 0;
    std::array<int32_t, 4> EditorValues{};
    uint8_t EditorByte3 = 0;
    TColor Colour = clWhite;
    int32_t EditorValue = 0;
    std::array<uint8_t, 8> EditorField{};
    uint8_t EditorByte4 = 0;

    bool HasImage = false;
    TBitmap Image; // empty when the layer has none
    bool Transparent = false;
    TColor TransparentColour = clWhite;

    bool HasMask = false;
    TBitmap Mask;
    bool ThirdPicture = false; // flag only; no data follows it

    std::array<uint8_t, 24> Settings{};
    std::array<uint8_t, 32> MoreSettings{};
    bool ExtraData = false; // an editor object follows, which is never read
};

class TMyImageLayeredReg {
public:
    // Display: the first layer's image with its transparency (empty when it has none).
    // Preview: the thumbnail; the layers are not read. Throws ETaveluneError on bad input.
    void Load(TBytes data, bool preview);

    TOxiHeader Header;
    TBitmap Picture;
    TLayerItem FirstLayer; // display loads only

    int FileWidth() const { return Header.Width; }
    int FileHeight() const { return Header.Height; }
};
