#pragma once
// GIF over giflib: the first frame at its own size in palette form, whether more frames
// follow, and the frame's transparent colour.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

struct TGifFrame {
    TBitmap Picture; // 8-bit palette picture, marked transparent when the frame says so
    bool Animated = false;
};

// When the transparent index's colour occurs more than once in the palette, that entry
// becomes TransparentKeyColour, which then is the transparent colour.
TGifFrame DecodeGif(TBytes data);
