// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Colour reduction for palette output: an adaptive palette from an octree of the image's colours
// (Gervautz-Purgathofer, 8 bits of precision) and the mapping of a picture to a palette with
// Floyd-Steinberg error diffusion. Shared by the palette reduction of the image core and by the
// GIF and run-length bitmap writers.

#include "core/Bitmap.h"

#include <cstdint>
#include <optional>
#include <vector>

using TPalette = std::vector<TTriple>;

// An 8-bit picture: one palette index per pixel, rows top first, Width bytes per row.
struct TIndexedImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Indices;
    TPalette Palette;

    uint8_t At(int x, int y) const { return Indices[size_t(y) * size_t(Width) + size_t(x)]; }
    const uint8_t* Row(int y) const { return Indices.data() + size_t(y) * size_t(Width); }
};

// An adaptive palette of at most maxColors entries (clamped to 1..256) for the pixels of the
// image (converted to 24 bits when it is not). Each entry is the mean of the colours its octree
// leaf gathered, so an image with at most maxColors colours gets exactly its own colours.
// Empty for an empty image.
TPalette BuildOctreePalette(const TBitmap& image, int maxColors);

// Each pixel becomes the index of the nearest palette entry (smallest squared distance in RGB,
// lowest index on ties); with dither the difference between the wanted colour and the chosen
// entry is spread to the unvisited neighbours (7/16 right, 3/16 below left, 5/16 below,
// 1/16 below right). The palette must hold 1..256 entries; it is kept in the result.
TIndexedImage MapToPalette(const TBitmap& image, const TPalette& palette, bool dither);

// BuildOctreePalette followed by MapToPalette with error diffusion.
TIndexedImage QuantizeImage(const TBitmap& image, int maxColors);

// The picture's own colours as a palette (in ascending 0xRRGGBB order) and its pixels as
// indices, when it has at most maxColors (up to 256) distinct colours; nothing otherwise.
std::optional<TIndexedImage> IndexExactColors(const TBitmap& image, int maxColors);

// The indexed picture expanded to a 24-bit image (indices past the palette read as black).
TBitmap IndexedTo24Bit(const TIndexedImage& indexed);
// The indexed picture as an 8-bit palette image.
TBitmap IndexedTo8Bit(const TIndexedImage& indexed);
