// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Masks, compositing and colour keys: copying and blending rectangles between images, masks made
// from colour keys, colour replacement, colour reduction for palette output and mask-edge
// smoothing. Every image is worked on in its 24-bit form.
//
// A mask is a 24-bit image laid over a source pixel for pixel; only its first (blue) byte is
// read. For MaskedBlend and PaintThroughMask 0 is opaque, 255 fully transparent.
//
// Placement of a source rectangle s at (x, y) in a destination clipped to d: s is clipped to the
// source (and to the mask, when there is one), d to the destination; the covered area is
// d ∩ (x, y, x + width of s, y + height of s); destination pixel (px, py) takes source and mask
// pixel (px - x + s.Left, py - y + s.Top). Nothing happens when s or the area is empty.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <cstdint>

// A colour unlikely in pictures: the substitute background of glyphs and the transparent colour
// of GIF output for pictures that have none.
inline constexpr TColor KeyColor = 0xDCEDCE;

// Compositing.
void CopyPixels(const TBitmap& source, const TRect& sourceRect, TBitmap& destination,
                const TRect& destClip, int x, int y);
void CopyImage(const TBitmap& source, TBitmap& destination);
// opacity >= 100 copies, <= 0 does nothing; otherwise d + ((s - d) * opacity) / 100 per channel.
void BlendPixels(const TBitmap& source, const TRect& sourceRect, TBitmap& destination, int opacity,
                 const TRect& destClip, int x, int y);
// Without a mask (null or empty) this is BlendPixels. Otherwise nothing happens when
// opacity < 1; with p = min(opacity, 100) and mask value m, w = ((255 - m) * p) / 100 and each
// channel d becomes d + ((s - d) * w) / 255.
void MaskedBlend(const TBitmap& source, const TRect& sourceRect, TBitmap& destination,
                 const TBitmap* mask, int opacity, const TRect& destClip, int x, int y);
// MaskedBlend with the colour in place of every source pixel; the mask is the source.
void PaintThroughMask(const TBitmap& mask, const TRect& maskRect, TBitmap& destination, int opacity,
                      TColor colour, const TRect& destClip, int x, int y);
// Destination pixels whose mask value m has low <= m <= high become the colour.
void PaintWhereInRange(const TBitmap& mask, const TRect& maskRect, TBitmap& destination, int high,
                       int low, TColor colour, const TRect& destClip, int x, int y);

// Masks and colour keys. The rectangle is clipped to the image; nothing happens when nothing of
// it is left or the tolerance is negative. "Close" is ColorsClose with the tolerance.
//
// The mask takes the image's size (new pixels get its fill colour); inside rect a pixel not close
// to the colour makes its mask pixel black, a close one white when markMatches (else the mask
// pixel is left). image and mask may be the same image.
void MaskFromColor(TBitmap& image, TBitmap& mask, TColor colour, const TRect& rect,
                   bool markMatches, int tolerance);
// The same with the roles exchanged: close -> black; not close -> white when markOthers.
void MaskOfColor(TBitmap& image, TBitmap& mask, TColor colour, const TRect& rect, bool markOthers,
                 int tolerance);
// True when the first byte of every pixel of rect equals value (also for an empty rect).
bool IsUniform(const TBitmap& image, int value, const TRect& rect);
void ReplaceColor(TBitmap& image, TColor colour, TColor newColour, const TRect& rect,
                  int tolerance);
// Every byte b of the rectangle becomes 255 - b.
void Invert(TBitmap& image, const TRect& rect);

// Distinct colours of a 24-bit image; 0 for any other pixel format.
int CountColors(const TBitmap& image);
// CountColors(image) > n, counting no further than needed to know.
bool HasMoreColorsThan(const TBitmap& image, int n);

// Leaves an image of at most 254 colours as it is; otherwise reduces it to an adaptive palette
// of at most 254 colours with error diffusion and keeps it 24-bit, so that two palette entries
// stay free for a transparent colour.
void ReduceForPalette(TBitmap& image);

// Softens the stair steps of a black (0) shape on a light background with grey ramps, judging
// pixels by their first byte; runs of maxRun pixels or more stay sharp (negative: no limit).
void SmoothMaskEdges(TBitmap& mask, const TRect& rect, int maxRun);

// A new opaque 24-bit image of the picture's size filled with the background colour, the picture
// drawn onto it through the mask at full strength (mask 255 shows the background), or copied
// when there is no mask.
TBitmap FlattenOnColor(const TBitmap& picture, const TBitmap* mask, TColor background);

// A white mask the picture's size, black where the picture is exactly the key colour.
TBitmap KeyColorMask(const TBitmap& picture, TColor key);
// The key with its green moved by 3 (up below 128, down from 128), for visible pixels that
// would otherwise read as transparent.
TColor NudgedKeyColor(TColor key);
// The copy a GIF writer receives for a transparent picture: reduced for a palette, no visible
// pixel left on the key colour, the key painted where the mask is 128 or less, and marked
// transparent with the key. The mask is black where the picture is transparent.
TBitmap PrepareTransparentGif(const TBitmap& picture, TColor key, const TBitmap& mask);
