// SPDX-License-Identifier: GPL-2.0-or-later
// Drives the stretches, the filtered resampler and the fitted preview with arbitrary sizes,
// rectangles, filters and radii, to catch reads and writes outside the images and hangs on
// thin, tiny and extreme sizes.
#include "core/Bitmap.h"
#include "core/StretchEx.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 16) return 0;
    const int w = 1 + data[0] % 64;
    const int h = 1 + data[1] % 64;
    const int W = data[2] % 80; // 0 is a valid request
    const int H = data[3] % 80;
    const int op = data[4] % 6;
    const int filter = data[5] % 9; // 7 and 8 are unknown indices
    const float radius = float(int8_t(data[6])) / 16.0f;
    const TRect srcRect{int8_t(data[7]), int8_t(data[8]), int8_t(data[9]), int8_t(data[10])};
    const TRect dstRect{int8_t(data[11]), int8_t(data[12]), int8_t(data[13]), int8_t(data[14])};
    const int extra = data[15];
    data += 16;
    size -= 16;

    TBitmap img;
    NewImage(img, w, h, clBlack);
    for (int y = 0; y < h && size > 0; ++y) {
        const size_t n = std::min(size, size_t(w) * 3);
        std::memcpy(img.ScanLine(y), data, n);
        data += n;
        size -= n;
    }
    TBitmap out;
    NewImage(out, 1 + W, 1 + H, clWhite);
    const TRect clip{dstRect.Left + extra % 7, dstRect.Top, dstRect.Right, dstRect.Bottom + 3};
    switch (op) {
    case 0:
        Resample(W, H, filter, out, img, radius);
        break;
    case 1:
        ResizeInto(W, H, (extra & 1) ? TResizeMethod::Filtered : TResizeMethod::Plain, out, img);
        break;
    case 2:
        StretchNearest(img, srcRect, out, clip, dstRect);
        break;
    case 3:
        StretchBicubic(img, srcRect, out, clip, dstRect);
        break;
    case 4: {
        TRect drawn;
        FittedPreview(img, out, clWhite, drawn, 0x336699, extra % 9, (extra / 9) % 5);
        break;
    }
    default:
        ResizeImage(W, H, (extra & 1) != 0, img);
        break;
    }
    return 0;
}
