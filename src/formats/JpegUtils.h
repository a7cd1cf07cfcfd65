// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// JPEG over libjpeg (6b interface of libjpeg-turbo): full and reduced-scale decoding straight
// into blue-green-red rows, and baseline or progressive JFIF encoding.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"
#include "formats/Graphic.h"

#include <cstdint>
#include <vector>

// The box a preview must fill; the decoding scale is chosen from it.
inline constexpr int PreviewBoxSize = 150;

struct TJpegSize {
    int Width = 0;
    int Height = 0;
};

// The size in the baseline start-of-frame (FF C0) found by walking the segments from the
// start; 0 x 0 when the walk fails or meets no such frame (progressive files, for one).
TJpegSize JpegStoredSize(TBytes data);
// 1, 2, 4 or 8: the reduction a preview of a picture of this stored size is decoded at.
int JpegPreviewDenominator(int width, int height);

// Decodes at 1/scaleDenom of the stored size (1, 2, 4 or 8) into a 24-bit picture; stored,
// when given, receives the size stored in the file. A CMYK file also hands its ink samples to
// cmyk when one is given. damaged, when given, tells whether libjpeg had to go on past data cut
// short or broken (the missing part then shows grey).
TBitmap DecodeJpeg(TBytes data, int scaleDenom = 1, TJpegSize* stored = nullptr,
                   TCmykSamples* cmyk = nullptr, bool* damaged = nullptr);
// Encodes the picture (made 24-bit first) as a three-component JFIF file.
std::vector<uint8_t> EncodeJpeg(const TBitmap& picture, int quality, bool progressive);
