#pragma once
// Colour management over Little CMS 2: a picture whose file carries an ICC profile is turned
// into sRGB, the colours the program works in and writes (saved files carry no profile, which
// means sRGB). Readers only hand over the profile bytes; the dispatcher calls ConvertToSrgb once
// per load. Safe to call from several decoding threads at once.

#include "formats/Graphic.h"

#include <QByteArray>
#include <QString>

// Larger profiles are not read; those of real devices stay far below.
inline constexpr qsizetype kMaxIccProfileSize = 16 * 1024 * 1024;

// Converts the graphic's picture from its embedded profile into sRGB (perceptual intent with
// black-point compensation): the CMYK samples when the reader kept them, otherwise the pixels or
// the palette of the picture itself. A profile that lcms2 cannot open, or whose colour space does
// not fit the picture, leaves the picture as stored. The CMYK samples are released either way.
void ConvertToSrgb(TGraphic& graphic);

// The description a profile gives of itself (English when it has several), empty when it gives
// none or the bytes are no profile.
QString IccProfileDescription(const QByteArray& profile);
