// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Changing the size of images: the nearest-pixel and bicubic stretches, the separable filtered
// resampler with integer weights, and the small fitted previews of the file dialogs and the
// sequence manager. Every image is converted to 24 bits on the way in.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <array>
#include <cstdint>
#include <vector>

enum class TResizeMethod {
    Plain,    // nearest pixel
    Filtered, // Resample with Lanczos-3 or B-spline
};

// Resizes image in place from a copy of itself; nothing happens when the image is empty.
void ResizeImage(int W, int H, bool optimise, TBitmap& image);
// Fills destination with source resized to W x H. Zero (or negative) sizes clear destination.
// The filtered method falls back to the plain one for 1-pixel sizes on either side.
void ResizeInto(int W, int H, TResizeMethod method, TBitmap& destination, TBitmap& source);

// Both stretches map destination pixel (x, y) to the source position
// ((x - dstRect.Left) / xs + srcRect.Left, (y - dstRect.Top) / ys + srcRect.Top), top-left
// aligned, xs and ys being the destination-to-source size ratios. Only destination pixels inside
// clip (and inside dstRect and the image) are written. A dstRect with Left > Right or
// Top > Bottom counts as empty. Equal sizes copy the pixels unchanged.
void StretchNearest(TBitmap& source, const TRect& srcRect, TBitmap& destination, const TRect& clip,
                    const TRect& dstRect);
void StretchBicubic(TBitmap& source, const TRect& srcRect, TBitmap& destination, const TRect& clip,
                    const TRect& dstRect);

// The filters of the resampler: value at x (single precision) and support radius.
struct TResampleFilter {
    const char* Name;
    float (*Fn)(float x);
    float Radius;
};

enum TResampleFilterIndex {
    rfBox = 0,
    rfTriangle = 1,
    rfHermite = 2,
    rfBell = 3,
    rfBSpline = 4,
    rfLanczos3 = 5,
    rfMitchell = 6,
};

extern const std::array<TResampleFilter, 7> ResampleFilters;

// One source pixel's share of a destination pixel, weight in 1/256 units.
struct TContributor {
    int32_t Weight = 0;
    int32_t Pixel = 0; // source index
    friend bool operator==(const TContributor&, const TContributor&) = default;
};
using TContributors = std::vector<TContributor>;
// The contributors of one destination column or row; only non-zero weights are kept.
struct TContributorEntry {
    TContributors p;
    int n() const { return int(p.size()); }
};
using TContributorList = std::vector<TContributorEntry>;

// The contributor lists of one axis, dstSize entries over srcSize source pixels. radius <= 0
// selects the filter's own radius; radii beyond it change nothing and are reduced to it. Source
// indices are mirrored at the edges (-1 reads 1, srcSize reads srcSize - 1); an index still
// outside after one mirror is clamped to the nearest edge pixel.
TContributorList BuildContributors(int dstSize, int srcSize, int filterIndex, float radius = 0);

// One channel of a destination pixel: sum(weight x value) / sum(weight), truncated toward zero;
// divided by 256 instead when the weights sum to 0 (an empty list gives 0); limited to 0..255.
// values is indexed by the contributors' source indices.
int Contribute(const TContributorEntry& entry, const int32_t* values);

// Destination becomes source resampled to W x H with ResampleFilters[filterIndex]. Nothing
// happens when any size is 0 or the filter index is unknown. Works for 1-pixel sizes too.
void Resample(int W, int H, int filterIndex, TBitmap& destination, TBitmap& source,
              float radius = 0);

// Draws image, fitted and never enlarged, on a card of colour card inside picture, with a
// drop shadow of the given size on a surround-coloured ground and margin pixels of card
// around the image. drawn receives the rectangle the image occupies.
void FittedPreview(TBitmap& image, TBitmap& picture, TColor card, TRect& drawn, TColor surround,
                   int shadow, int margin);
