// SPDX-License-Identifier: GPL-2.0-or-later
// Reduction to 254 colours for palette output, and the preparation of transparent GIF output
// around it: two palette entries stay free so the transparent colour never shares an entry
// with a visible colour.
#include "core/Masks.h"
#include "core/Quantize.h"

namespace {

constexpr int kReducedColors = 254;

} // namespace

void ReduceForPalette(TBitmap& image) {
    if (image.Empty()) return;
    image.To24Bit();
    if (!HasMoreColorsThan(image, kReducedColors)) return;
    TPalette palette = BuildOctreePalette(image, kReducedColors);
    // Entries 254 and 255 repeat entry 0; nothing visible ever needs them.
    palette.resize(256, palette.front());
    const TIndexedImage reduced = MapToPalette(image, palette, true);
    // Written back into the image itself, which keeps its transparency and fill colour.
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* index = reduced.Row(y);
        uint8_t* p = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            const TTriple& t = palette[index[x]];
            p[0] = t.b;
            p[1] = t.g;
            p[2] = t.r;
        }
    }
}

TBitmap KeyColorMask(const TBitmap& picture, TColor key) {
    TBitmap source = picture;
    TBitmap mask;
    NewImage(mask, picture.Width(), picture.Height(), clWhite);
    MaskOfColor(source, mask, key, WholeImageRect, false, 0);
    return mask;
}

TColor NudgedKeyColor(TColor key) {
    const TColor t = ResolveColor(key);
    const int g = GreenOf(t);
    return RGBColor(RedOf(t), g < 128 ? g + 3 : g - 3, BlueOf(t));
}

TBitmap PrepareTransparentGif(const TBitmap& picture, TColor key, const TBitmap& mask) {
    const TColor t = ResolveColor(key);
    TBitmap copy = picture;
    ReduceForPalette(copy);
    ReplaceColor(copy, t, NudgedKeyColor(t), WholeImageRect, 0);
    PaintWhereInRange(mask, WholeImageRect, copy, 128, 0, t, WholeImageRect, 0, 0);
    copy.SetTransparent(true);
    copy.SetTransparentColor(t);
    return copy;
}
