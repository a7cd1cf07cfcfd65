// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Windows metafiles: WMF files go through libwmf and EMF files through libemf2svg (in the
// helper program of formats/EmfHelper.h), both into SVG, which QtSvg draws at the size the
// file's header gives onto a transparent picture. The dispatcher then puts the picture on the
// transparency key colour.

#include "core/Bitmap.h"
#include "emf/EmfRecords.h" // IsEmfData
#include "formats/ByteIO.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>

// Largest side a metafile is drawn at; larger pictures are drawn scaled down to fit.
inline constexpr int kMaxMetafileSide = 8192;

// A metafile turned into SVG, with where the drawing goes on the picture.
struct TMetafileSvg {
    QByteArray Svg;
    QSize Size;    // the picture's size as the header gives it, in pixels
    QRectF Target; // where the SVG document is drawn, in the picture's pixels
};

bool IsWmfData(TBytes data);

// Each checks the header and every record bound before the library sees the bytes, and throws
// ETaveluneError on a damaged file (EmfToSvg also when the helper program fails).
TMetafileSvg WmfToSvg(TBytes data);
TMetafileSvg EmfToSvg(TBytes data);

// A 32-bit picture: the drawing's colours where it draws, alpha 0 everywhere else (no partial
// alpha, so the key colour never bleeds into edges).
TBitmap RenderMetafileSvg(const TMetafileSvg& metafile);

// WMF or EMF by content.
TMetafileSvg MetafileToSvg(TBytes data);
TBitmap DecodeMetafile(TBytes data);
