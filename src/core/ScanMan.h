// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Row access for pixel operations: a row table taken once per operation, a ring of saved rows
// for operations that read rows they have already overwritten, and clipped pixel writers.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <cstdint>
#include <vector>

class TScanLinesManager {
public:
    // The image must already be 24-bit; rect is intersected with the image bounds unsorted.
    TScanLinesManager(TBitmap& image, const TRect& rect);
    TScanLinesManager(const TScanLinesManager&) = delete;
    TScanLinesManager& operator=(const TScanLinesManager&) = delete;

    const TRect& Bounds() const { return m_rect; }
    int Left() const { return m_rect.Left; }
    int Top() const { return m_rect.Top; }
    int Right() const { return m_rect.Right; }   // exclusive
    int Bottom() const { return m_rect.Bottom; } // exclusive
    bool Empty() const { return RectEmpty(m_rect); }

    uint8_t* Row(int y) const { return m_rows[size_t(y - m_rect.Top)]; }

    // n buffers of Right x 3 bytes; all but the first receive a copy of row.
    void SaveRows(const uint8_t* row, int n);
    // Recycles the oldest buffer as the newest and copies row into it.
    void PushRow(const uint8_t* row);
    const uint8_t* SavedRow(int k) const;
    size_t SavedRowBytes() const { return m_savedBytes; }

private:
    TRect m_rect;
    std::vector<uint8_t*> m_rows;
    size_t m_savedBytes = 0;
    std::vector<std::vector<uint8_t>> m_saved;
    size_t m_first = 0; // ring start: SavedRow(0)
};

class TScanLinesManagerEx : public TScanLinesManager {
public:
    TScanLinesManagerEx(TBitmap& image, const TRect& rect) : TScanLinesManager(image, rect) {}

    TTriple EdgeColor{255, 255, 255};
    bool ClampEdges = false;

    // No bounds check: callers pass points inside the rectangle.
    TTriple GetPixel(int x, int y) const {
        const uint8_t* p = Row(y) + 3 * x;
        return TTriple{p[0], p[1], p[2]};
    }
    void SetPixel(int x, int y, TTriple t) const {
        uint8_t* p = Row(y) + 3 * x;
        p[0] = t.b;
        p[1] = t.g;
        p[2] = t.r;
    }
    // Outside the rectangle: the clamped edge pixel, or EdgeColor.
    TTriple ReadPixel(int x, int y) const;
    // Bicubic sample (cubic convolution, a = -1) at a real position, reading through
    // ReadPixel; integer positions give the pixel itself.
    TTriple SampleBicubic(double y, double x) const;
};

// Clipped pixel writer over a 24-bit image; values are pixel values (blue in the low byte).
class TDiBitmap {
public:
    TDiBitmap(TBitmap& image, const TRect& rect);

    void PutPixel(int x, int y, uint32_t value) const;
    void XorPixel(int x, int y, uint32_t value) const;
    const TRect& Clip() const { return m_clip; }

private:
    bool Inside(int x, int y) const {
        return x >= m_clip.Left && x < m_clip.Right && y >= m_clip.Top && y < m_clip.Bottom;
    }
    uint8_t* At(int x, int y) const { return m_row0 + ptrdiff_t(y) * m_stride + ptrdiff_t(x) * 3; }

    uint8_t* m_row0 = nullptr;
    ptrdiff_t m_stride = 0;
    TRect m_clip;
};
