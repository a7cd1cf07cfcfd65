// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// GIF over giflib: the first frame at its own size in palette form, whether more frames
// follow, and the frame's transparent colour.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TGifFrame {
    TBitmap Picture; // 8-bit palette picture, marked transparent when the frame says so
    bool Animated = false;
};

// When the transparent index's colour occurs more than once in the palette, that entry
// becomes TransparentKeyColour, which then is the transparent colour.
TGifFrame DecodeGif(TBytes data);

// One frame, not interlaced, no comment. A picture marked transparent keeps its colours (at
// most 254 after reduction) and gets its transparent colour as the frame's transparent index;
// any other picture is reduced to 256 colours with error diffusion.
std::vector<uint8_t> EncodeGif(const TBitmap& picture);

class QByteArray;
class IFrameSource;
// Every frame of an animated GIF on its logical screen: each frame's disposal method, its
// transparent index and its delay; pixels no frame has drawn are transparent.
std::unique_ptr<IFrameSource> OpenGifAnimation(QByteArray bytes);
