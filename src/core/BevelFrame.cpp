// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include "core/ToneTables.h"

namespace {

struct TBevelColours {
    TColor top, left, right, bottom;
};

constexpr TBevelColours kSunken{clBlack, 0x222222, 0xCCCCCC, clWhite};
constexpr TBevelColours kRaised{clWhite, 0xCCCCCC, 0x222222, clBlack};

} // namespace

void BevelFrame(TBitmap& image, const TRect& rect, int width, int strength, bool sunken) {
    if (RectEmpty(rect) || width <= 0 || strength == 0 || image.Empty()) return;
    image.To24Bit();
    const TBevelColours& c = sunken ? kSunken : kRaised;
    const TToneTables top = TToneTables::Make(c.top, strength);
    const TToneTables left = TToneTables::Make(c.left, strength);
    const TToneTables right = TToneTables::Make(c.right, strength);
    const TToneTables bottom = TToneTables::Make(c.bottom, strength);
    const int64_t W = image.Width(), H = image.Height();
    const TRect64 r = ToRect64(rect);
    // Ring k lies on rows T - k and B + k - 1 and columns L - k and R + k - 1; only the rings
    // with one of them inside the image can change a pixel.
    ForEachStepIn({{r.Top - H + 1, r.Top + 1},
                   {1 - r.Bottom, H + 1 - r.Bottom},
                   {r.Left - W + 1, r.Left + 1},
                   {1 - r.Right, W + 1 - r.Right}},
                  1, int64_t(width) + 1, [&](int64_t k) {
                      const TRect64 q{r.Left - k, r.Top - k, r.Right + k, r.Bottom + k};
                      top.Apply(image, {q.Left + 1, q.Top, q.Right, q.Top + 1});
                      left.Apply(image, {q.Left, q.Top, q.Left + 1, q.Bottom});
                      right.Apply(image, {q.Right - 1, q.Top + 1, q.Right, q.Bottom - 1});
                      bottom.Apply(image, {q.Left + 1, q.Bottom - 1, q.Right, q.Bottom});
                  });
}
