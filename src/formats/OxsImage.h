// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Selection shape files opened as pictures: the shape drawn black on a white picture with a
// margin around it, its stair-step edges softened. Bad data gives an empty picture, never an
// error; the program never writes these files.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>

class TOxsImage {
public:
    // Replaces the picture by the shape read from a whole file (empty when it cannot be read
    // or would be too large to draw).
    void LoadFromBytes(TBytes data);

    TBitmap Picture;

    // Pictures above this size (margins included) are not drawn: a few bytes of a file can ask
    // for any size, and the edge softening walks every pixel.
    static constexpr int64_t MaxPixels = int64_t{1} << 26;
};
