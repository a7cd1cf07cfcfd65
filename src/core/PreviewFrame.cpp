#include "core/PreviewFrame.h"

// TODO: once core/Decorations.h is on this branch, PreviewDropShadow becomes
// DropShadow(picture, rect, size, true, 70) and PreviewOutline3D becomes Outline3D; until then
// the preview is drawn without its shadow.
void PreviewDropShadow(TBitmap&, const TRect&, int) {}

void PaintPreviewRect(TBitmap& picture, const TRect& r, TColor colour) {
    const TRect c = ClipToImage(r, picture);
    if (RectEmpty(c)) return;
    const TTriple t = ColorToTriple(colour);
    for (int y = c.Top; y < c.Bottom; ++y) {
        uint8_t* p = picture.ScanLine(y) + size_t(c.Left) * 3;
        for (int x = c.Left; x < c.Right; ++x, p += 3) {
            p[0] = t.b;
            p[1] = t.g;
            p[2] = t.r;
        }
    }
}

void PreviewOutline3D(TBitmap& picture, TRect& rect, TColor first, TColor second) {
    const TRect r = rect;
    rect = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    if (RectEmpty(r)) return;
    PaintPreviewRect(picture, {r.Left, r.Top, r.Right - 1, r.Top + 1}, first);
    PaintPreviewRect(picture, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, first);
    PaintPreviewRect(picture, {r.Right - 1, r.Top, r.Right, r.Bottom}, second);
    PaintPreviewRect(picture, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, second);
}
