// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Derived tool-bar glyph sets: greyed glyphs for disabled buttons and glyphs with a soft drop
// shadow. A glyph list is a list of images; a glyph marked transparent is drawn without the
// pixels of its transparent colour, one with an alpha channel through its alpha.

#include "core/Bitmap.h"

#include <optional>
#include <vector>

using TGlyphList = std::vector<TBitmap>;

// Pixels close to key (tolerance 7) become colour exactly; every other pixel is turned to its
// grey g = (blue + green + red) / 3 and then toned pct percent (1..100) toward colour.
void ToneGlyph(TBitmap& image, TColor key, TColor colour, int pct);

// Draws the glyph onto the 24-bit image with its top-left corner at (x, y), clipped to the image.
void DrawGlyph(const TBitmap& glyph, TBitmap& image, int x, int y);

// Each glyph drawn on the key colour and toned toward the transparent colour; each result is
// marked transparent with the (resolved) transparent colour. Nothing when building fails.
std::optional<TGlyphList> DisabledGlyphs(const TGlyphList& glyphs, TColor transparent, int pct);
// Each glyph over its own blurred silhouette, shifted one pixel down and right, darkened pct
// percent on the transparent colour; marked transparent like the disabled set.
std::optional<TGlyphList> ShadowedGlyphs(const TGlyphList& glyphs, TColor transparent, int pct);
