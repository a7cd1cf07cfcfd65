#pragma once
// SVG and SVGZ through QtSvg: drawn at the document's size at 96 dpi (a default box when it
// names no usable size) onto a transparent picture, never fetching anything the document
// points to outside itself. Compressed documents are inflated up to a fixed bound.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <QByteArray>
#include <QSizeF>

// The side of the picture drawn for a document without a usable size.
inline constexpr int kSvgDefaultSide = 512;
// Largest side a document is drawn at; larger ones are drawn scaled down to fit.
inline constexpr int kMaxSvgSide = 8192;
// Largest inflated SVGZ document.
inline constexpr qsizetype kMaxSvgBytes = qsizetype(64) << 20;

struct TSvgDocument {
    QByteArray Xml; // references outside the document removed
    QSizeF Size;    // at 96 dpi; empty when the document names no usable size
    bool HasViewBox = false;
};

// Inflates gzip data (SVGZ) and keeps only the references inside the document (fragments and
// data: addresses). Throws ETaveluneError for data that is not an SVG document.
TSvgDocument ReadSvgDocument(TBytes data);

// A 24-bit picture, or 32-bit with the document's transparency.
TBitmap DecodeSvg(TBytes data);
