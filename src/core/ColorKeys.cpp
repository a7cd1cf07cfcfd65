// SPDX-License-Identifier: GPL-2.0-or-later
// Masks made from a colour key, colour replacement, uniformity test and inversion.
#include "core/Masks.h"

#include "core/PixelOp.h"
#include "core/ReadAs24.h"

#include <cstdlib>

namespace {

// ColorsClose against one resolved colour, on the bytes of a pixel.
class TCloseTest {
public:
    TCloseTest(TColor colour, int tolerance) : m_key(ColorToTriple(colour)), m_tol(tolerance) {}
    bool operator()(const uint8_t* p) const {
        return std::abs(p[0] - m_key.b) <= m_tol && std::abs(p[1] - m_key.g) <= m_tol &&
               std::abs(p[2] - m_key.r) <= m_tol;
    }

private:
    TTriple m_key;
    int m_tol;
};

inline void SetGrey(uint8_t* p, uint8_t v) {
    p[0] = p[1] = p[2] = v;
}

// Writes the mask from the closeness of each image pixel: close pixels get onClose, others
// onOther; a negative value leaves the mask pixel as it is.
void MarkMask(TBitmap& image, TBitmap& mask, TColor colour, const TRect& rect, int tolerance,
              int onClose, int onOther) {
    if (tolerance < 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    mask.To24Bit();
    mask.SetSize(image.Width(), image.Height());
    const TCloseTest close(colour, tolerance);
    for (int y = r->Top; y < r->Bottom; ++y) {
        // The mask row first: it may share its pixels with the image until written.
        uint8_t* m = mask.ScanLine(y) + ptrdiff_t(r->Left) * 3;
        const uint8_t* p = image.ScanLine(y) + ptrdiff_t(r->Left) * 3;
        for (int x = r->Left; x < r->Right; ++x, p += 3, m += 3) {
            const int v = close(p) ? onClose : onOther;
            if (v >= 0) SetGrey(m, uint8_t(v));
        }
    }
}

} // namespace

void MaskFromColor(TBitmap& image, TBitmap& mask, TColor colour, const TRect& rect,
                   bool markMatches, int tolerance) {
    MarkMask(image, mask, colour, rect, tolerance, markMatches ? 255 : -1, 0);
}

void MaskOfColor(TBitmap& image, TBitmap& mask, TColor colour, const TRect& rect, bool markOthers,
                 int tolerance) {
    MarkMask(image, mask, colour, rect, tolerance, 0, markOthers ? 255 : -1);
}

bool IsUniform(const TBitmap& image, int value, const TRect& rect) {
    TBitmap converted;
    const TBitmap& img = ReadAs24(image, converted);
    const TRect r = ClipToImage(rect, img);
    if (RectEmpty(r)) return true;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const uint8_t* p = img.ScanLine(y) + ptrdiff_t(r.Left) * 3;
        for (int x = r.Left; x < r.Right; ++x, p += 3)
            if (*p != value) return false;
    }
    return true;
}

void ReplaceColor(TBitmap& image, TColor colour, TColor newColour, const TRect& rect,
                  int tolerance) {
    if (tolerance < 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    const TCloseTest close(colour, tolerance);
    const TTriple n = ColorToTriple(newColour);
    ForEachRowSpan(image, *r, [&](uint8_t* p, int count) {
        for (int i = 0; i < count; ++i, p += 3) {
            if (!close(p)) continue;
            p[0] = n.b;
            p[1] = n.g;
            p[2] = n.r;
        }
    });
}

void Invert(TBitmap& image, const TRect& rect) {
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    ForEachRowSpan(image, *r, [](uint8_t* p, int count) {
        for (int i = 0; i < count * 3; ++i)
            p[i] = uint8_t(255 - p[i]);
    });
}
