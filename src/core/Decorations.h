// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Decorations drawn around and over the displayed image: tones and scan lines, solid frames,
// drop shadows, 3D bevels and the tiled background. None of them keeps state, and every write
// is clipped to the picture or surface drawn on. Operations on a TBitmap convert it to 24 bits
// when they touch it.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <cstdint>
#include <functional>

class QPainter;

// Moves every pixel of rect toward colour by pct percent, limited to -100..100 (100 paints the
// colour, negative values push away from it): clamp(i + ((k - i) * pct) / 100) per channel.
void Tone(TBitmap& image, TColor colour, int pct, const TRect& rect = WholeImageRect);

// Tones bands of lineHeight rows toward colour with strength, the first band gap rows below the
// top of the clipped rect and the next ones every gap + lineHeight rows.
void ScanLines(TBitmap& image, int lineHeight, int gap, const TRect& rect, int strength,
               TColor colour);

// A solid band of the given width along the inside of rect.
void FrameBand(TBitmap& surface, const TRect& rect, TColor colour, int width);
void FrameBand(QPainter& surface, const TRect& rect, TColor colour, int width);

// One-pixel outline along the inside of rect, first colour at the top and left, second colour
// at the right and bottom (with the top-right and bottom-left corners); rect then shrinks by 1.
void Outline3D(TBitmap& surface, TRect& rect, TColor first, TColor second);
void Outline3D(QPainter& surface, TRect& rect, TColor first, TColor second);

// Sunken (dark top and left) or raised rings of width pixels just outside rect, toned with
// strength toward the edge colours.
void BevelFrame(TBitmap& image, const TRect& rect, int width, int strength, bool sunken);

// Every pixel (x, y) of rect receives the pattern pixel ((x - X) mod W, (y - Y) mod H).
void TilePattern(const TBitmap& pattern, TBitmap& image, int X, int Y,
                 const TRect& rect = WholeImageRect);

// The noise of the shadows: uniform integers 0..6, seeded once per shadow.
class TShadowNoise {
public:
    explicit TShadowNoise(uint64_t seed) : m_state(seed) {}
    static TShadowNoise FromClock();

    int Next() {
        // The top 32 bits of a splitmix64 step; the last incomplete block of 7 is rejected so
        // that every value is equally likely.
        for (;;) {
            const uint32_t v = uint32_t(NextWord() >> 32);
            if (v < kAccepted) return int(v % 7);
        }
    }

private:
    static constexpr uint32_t kAccepted = 4294967292u; // 7 * 613566756
    uint64_t NextWord() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t m_state;
};

// Darkens each byte e of pixels x1..x2-1 in rows y1..y2-1 to clamp(n + (e - (e * pct) / 100) - 3),
// n drawn from noise for every byte. The range is limited to the image.
void Darken(TBitmap& image, int x1, int y1, int pct, int y2, int x2, TShadowNoise& noise);

// A shadow offset by size down and right of rect, darkening what lies there with strength
// (1..100): hard bands, or soft rings that fade at their starts and round the far corner. Needs
// room inside the image to the right of and below rect. The noise is seeded from the clock.
void DropShadow(TBitmap& image, const TRect& rect, int size, bool soft, int strength);
void DropShadow(TBitmap& image, const TRect& rect, int size, bool soft, int strength,
                TShadowNoise& noise);

// The same shadow painted in solid colours: each part gets MixColors(colour, black, pct). With
// corners, the squares beside the shadow's two starts are painted in colour.
void DropShadowOnCanvas(QPainter& surface, const TRect& rect, int size, bool corners, bool soft,
                        TColor colour, int strength);
void DropShadowOnCanvas(TBitmap& surface, const TRect& rect, int size, bool corners, bool soft,
                        TColor colour, int strength);

// The parts of a shadow, each a rectangle clipped to bounds (never empty) and its strength in
// percent. Both shadows above are drawn from these.
using TShadeFn = std::function<void(const TRect& part, int pct)>;
void ShadowShades(const TRect& rect, int size, bool soft, int strength, const TRect& bounds,
                  const TShadeFn& shade);
