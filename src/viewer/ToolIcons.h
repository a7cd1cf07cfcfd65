// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The images of the tool buttons: one set of 19 x 19 drawings in a common style, and the greyed
// form shown by disabled buttons, derived from the same drawing.

#include "browse/MainCommands.h"

#include <QIcon>
#include <QImage>

inline constexpr int kToolGlyphSize = 19;

// The drawing of a glyph at scale times 19 x 19 pixels (transparent background).
QImage DrawToolGlyph(TToolGlyph glyph, int scale = 1);
// The greyed form: each pixel's grey value, lightened toward white, at half opacity.
QImage GreyedGlyph(const QImage& image);
// Normal and disabled images at one and two device pixels per pixel.
QIcon ToolIcon(TToolGlyph glyph);
