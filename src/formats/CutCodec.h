// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Dr. Halo CUT: one byte per pixel, each line a record of its length and run-length packets.
// The colours live in a separate Dr. Halo palette file (.PAL) of the same name beside the
// picture; without a usable one the indices show as grey levels.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <QString>
#include <QVector>
#include <optional>

// palette: the bytes of the palette file, empty when there is none.
TBitmap DecodeCut(TBytes data, TBytes palette = {});

// The colours of a Dr. Halo palette file, or nothing when the bytes are not one.
std::optional<QVector<QRgb>> DecodeHaloPalette(TBytes data);

// The palette file that goes with a CUT file, or empty when there is none.
QString CutPaletteName(const QString& cutName);
