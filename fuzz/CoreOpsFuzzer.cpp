// SPDX-License-Identifier: GPL-2.0-or-later
// Drives the pixel operations with arbitrary sizes, rectangles and settings, to catch reads
// and writes outside the image on thin and tiny images.
#include "core/Bitmap.h"
#include "core/ColorAdjust.h"
#include "core/FlipRotate.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 12) return 0;
    const int w = 1 + data[0] % 48;
    const int h = 1 + data[1] % 48;
    const TRect rect{int8_t(data[2]), int8_t(data[3]), int8_t(data[4]), int8_t(data[5])};
    const int op = data[6] % 10;
    const int a = int8_t(data[7]);
    const int b = int8_t(data[8]);
    data += 12;
    size -= 12;

    TBitmap img;
    NewImage(img, w, h, clBlack);
    for (int y = 0; y < h && size > 0; ++y) {
        const size_t n = std::min(size, size_t(w) * 3);
        std::memcpy(img.ScanLine(y), data, n);
        data += n;
        size -= n;
    }
    switch (op) {
    case 0:
        ApplyDisplayAdjustments(img, a & 15, b & 7, (a & 16) != 0);
        break;
    case 1:
        BoxBlur(img, a % 8, b % 8, rect);
        break;
    case 2:
        Saturation(img, a * 3, rect);
        break;
    case 3:
        ShiftChannels(img, a, b, a - b, rect);
        break;
    case 4:
        GammaChannels(img, rect, (a & 15) / 4.0, 1.0, (b & 15) / 4.0);
        break;
    case 5:
        Contrast(img, a, rect);
        break;
    case 6:
        FlipHorizontal(img);
        Rotate180(img);
        break;
    case 7:
        FlipVertical(img);
        break;
    default:
        Rotate90(img, op == 8);
        break;
    }
    return 0;
}
