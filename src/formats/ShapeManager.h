// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Selection shapes saved by the maker's editor (.oxs): a predefined figure, a polygon or a
// region of pixel runs, read from the text or the binary encoding and drawn on a picture.
//
// Text encoding, lines ended by CR, LF, CR LF or LF CR: an optional header line "Ostrevalden
// Selection" followed by an encoding line (any text but "Binary" means this one); a count N;
// for N in -10..-1 the figure of kind -N - 1 with a width line and a height line; for N >= 0,
// N lines "x;y" forming a polygon. Binary encoding, after the header and "Binary": an int32
// count, then per point three int32 holding x + 33, flags + 77 and y + 33 (a run region).

#include "core/Bitmap.h"
#include "core/Rect.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

enum TShapeKind : int {
    skRectangle = 0,
    skEllipse = 1,
    skRoundRect = 2,
    skLine = 3,
    skDiagonalBand = 4,
    skTriangleUp = 5,
    skTriangleRight = 6,
    skTriangleDown = 7,
    skTriangleLeft = 8,
    skDiamond = 9,
    skPolygon = 10,
    skRunRegion = 12,
};

// Flags of a run-region point: the sides of the pixel that lie on the region's edge. The left
// side marks the first pixel of a run, the right side its last.
enum TShapeFlag : uint8_t {
    sfLeftEdge = 1,
    sfTopEdge = 2,
    sfRightEdge = 4,
    sfBottomEdge = 8,
};

struct TShapePoint {
    int32_t X = 0, Y = 0;
    friend bool operator==(const TShapePoint&, const TShapePoint&) = default;
};

// Where a shape is drawn, and with which colours: the pen outlines, the brush fills.
struct TShapeCanvas {
    TBitmap& Image; // 24-bit
    TColor Pen = clBlack;
    TColor Brush = clBlack;
};

class TShapeManager {
public:
    // Reads a shape from a whole file. On failure the shape is cleared, InvalidDataText is
    // shown in the message box when ShowMessages is set, and the result is false.
    bool ReadShape(TBytes data);
    void Clear();

    bool ShowMessages = true;

    int Kind() const { return m_kind; }
    // Figures: the width and height read; polygons and run regions: their bounding box + 1.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Polygons and run regions, moved so that their bounding box starts at (0, 0).
    const std::vector<TShapePoint>& Points() const { return m_points; }
    // Run regions only: one flag byte per point.
    const std::vector<uint8_t>& Flags() const { return m_flags; }

    // Draws the shape as the given kind in rect (Right and Bottom exclusive). Polygons and run
    // regions use the rectangle's corner; polygons are scaled when its size differs from
    // theirs. Kinds without a figure draw nothing.
    void Draw(TShapeCanvas& canvas, const TRect& rect, int kind) const;

    // Larger shapes are refused as bad data: no editor selection comes near, and it keeps every
    // coordinate sum far inside 32 bits.
    static constexpr int MaxSide = 65535;

private:
    bool ReadText(TBytes data, size_t from);
    bool ReadBinary(TBytes data, size_t from);
    // Moves the points to (0, 0) and takes their size; false when it is too large.
    bool Normalise(std::vector<int64_t>& xs, std::vector<int64_t>& ys);

    void DrawFigure(TShapeCanvas& canvas, const TRect& rect, int kind) const;
    void DrawPolygon(TShapeCanvas& canvas, const TRect& rect) const;
    void DrawRunRegion(TShapeCanvas& canvas, const TRect& rect) const;

    int m_kind = skRectangle;
    int m_width = 0;
    int m_height = 0;
    std::vector<TShapePoint> m_points;
    std::vector<uint8_t> m_flags;
};
