// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ScanMan.h"

#include <algorithm>
#include <cstring>

TScanLinesManager::TScanLinesManager(TBitmap& image, const TRect& rect)
    : m_rect(IntersectWithImage(rect, image)) {
    if (Empty()) return;
    m_rows.reserve(size_t(m_rect.Bottom - m_rect.Top));
    for (int y = m_rect.Top; y < m_rect.Bottom; ++y)
        m_rows.push_back(image.ScanLine(y));
    m_savedBytes = size_t(m_rect.Right) * 3;
}

void TScanLinesManager::SaveRows(const uint8_t* row, int n) {
    m_saved.assign(size_t(std::max(n, 0)), std::vector<uint8_t>(m_savedBytes));
    for (size_t i = 1; i < m_saved.size(); ++i)
        std::memcpy(m_saved[i].data(), row, m_savedBytes);
    m_first = 0;
}

void TScanLinesManager::PushRow(const uint8_t* row) {
    if (m_saved.empty()) return;
    std::memcpy(m_saved[m_first].data(), row, m_savedBytes);
    m_first = (m_first + 1) % m_saved.size();
}

const uint8_t* TScanLinesManager::SavedRow(int k) const {
    return m_saved[(m_first + size_t(k)) % m_saved.size()].data();
}

TTriple TScanLinesManagerEx::ReadPixel(int x, int y) const {
    if (ClampEdges) {
        x = std::clamp(x, Left(), Right() - 1);
        y = std::clamp(y, Top(), Bottom() - 1);
    } else if (x < Left() || x >= Right() || y < Top() || y >= Bottom()) {
        return EdgeColor;
    }
    return GetPixel(x, y);
}

TDiBitmap::TDiBitmap(TBitmap& image, const TRect& rect) : m_clip(IntersectWithImage(rect, image)) {
    if (image.Empty()) return;
    m_row0 = image.ScanLine(0);
    m_stride = image.Stride(); // from the row length, so a one-row image works too
}

void TDiBitmap::PutPixel(int x, int y, uint32_t value) const {
    if (!Inside(x, y)) return;
    uint8_t* p = At(x, y);
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
}

void TDiBitmap::XorPixel(int x, int y, uint32_t value) const {
    if (!Inside(x, y)) return;
    uint8_t* p = At(x, y);
    p[0] ^= uint8_t(value);
    p[1] ^= uint8_t(value >> 8);
    p[2] ^= uint8_t(value >> 16);
}
