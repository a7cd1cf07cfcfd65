// SPDX-License-Identifier: GPL-2.0-or-later
// Reading selection shapes, in the text and the binary encoding.
#include "formats/ShapeManager.h"

#include "formats/NativeTexts.h"
#include "formats/UserSeam.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kHeader = "Ostrevalden Selection";
constexpr std::string_view kBinary = "Binary";
constexpr int kMinCount = -10;
constexpr int64_t kXBias = 33, kFlagBias = 77, kYBias = 33;

// Lines ended by CR, by LF, or by one of each in either order.
class TLineReader {
public:
    TLineReader(TBytes data, size_t from) : m_data(data), m_pos(from) {}

    std::optional<std::string_view> Next() {
        if (m_pos >= m_data.size()) return std::nullopt;
        const size_t start = m_pos;
        while (m_pos < m_data.size() && !IsEnd(m_data[m_pos]))
            ++m_pos;
        const std::string_view line(reinterpret_cast<const char*>(m_data.data()) + start,
                                    m_pos - start);
        if (m_pos < m_data.size()) {
            const uint8_t end = m_data[m_pos++];
            if (m_pos < m_data.size() && IsEnd(m_data[m_pos]) && m_data[m_pos] != end) ++m_pos;
        }
        return line;
    }
    size_t Pos() const { return m_pos; }

private:
    static bool IsEnd(uint8_t c) { return c == '\r' || c == '\n'; }
    TBytes m_data;
    size_t m_pos;
};

// A decimal integer that fits 32 bits, blanks allowed around it.
std::optional<int32_t> ParseInt(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    int64_t v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return int32_t(v);
}

std::optional<int32_t> NextInt(TLineReader& lines) {
    const auto line = lines.Next();
    return line ? ParseInt(*line) : std::nullopt;
}

} // namespace

void TShapeManager::Clear() {
    m_kind = skRectangle;
    m_width = m_height = 0;
    m_points.clear();
    m_flags.clear();
}

bool TShapeManager::ReadShape(TBytes data) {
    Clear();
    TLineReader lines(data, 0);
    bool ok = false;
    const auto first = lines.Next();
    if (first && *first == kHeader) {
        const auto encoding = lines.Next();
        if (encoding) {
            ok = *encoding == kBinary ? ReadBinary(data, lines.Pos()) : ReadText(data, lines.Pos());
        }
    } else {
        ok = ReadText(data, 0);
    }
    if (!ok) {
        Clear();
        if (ShowMessages)
            FileUserSeam().MessageBox(QString::fromUtf8(InvalidDataText), mkError, mbOk);
    }
    return ok;
}

bool TShapeManager::ReadText(TBytes data, size_t from) {
    TLineReader lines(data, from);
    const auto count = NextInt(lines);
    if (!count || *count < kMinCount) return false;
    if (*count < 0) {
        const auto w = NextInt(lines);
        const auto h = w ? NextInt(lines) : std::nullopt;
        if (!h || *w > MaxSide || *h > MaxSide) return false;
        m_kind = -*count - 1;
        m_width = *w;
        m_height = *h;
        return true;
    }
    std::vector<int64_t> xs, ys;
    for (int32_t i = 0; i < *count; ++i) {
        const auto line = lines.Next();
        if (!line) return false;
        const size_t semicolon = line->find(';');
        if (semicolon == std::string_view::npos || semicolon == 0) return false;
        const auto x = ParseInt(line->substr(0, semicolon));
        const auto y = ParseInt(line->substr(semicolon + 1));
        if (!x || !y) return false;
        xs.push_back(*x);
        ys.push_back(*y);
    }
    m_kind = skPolygon;
    return Normalise(xs, ys);
}

bool TShapeManager::ReadBinary(TBytes data, size_t from) {
    constexpr size_t kRecordBytes = 12;
    TByteReader in(data.subspan(from), "selection");
    if (in.Left() < 4) return false;
    const int32_t count = int32_t(in.LE32());
    // The records must all be there before anything is allocated for them.
    if (count < 0 || uint64_t(count) * kRecordBytes > in.Left()) return false;
    const size_t n = size_t(count);
    std::vector<int64_t> xs(n), ys(n);
    m_flags.resize(n);
    for (size_t i = 0; i < n; ++i) {
        xs[i] = int32_t(in.LE32()) - kXBias;
        m_flags[i] = uint8_t(int32_t(in.LE32()) - kFlagBias);
        ys[i] = int32_t(in.LE32()) - kYBias;
    }
    m_kind = skRunRegion;
    return Normalise(xs, ys);
}

bool TShapeManager::Normalise(std::vector<int64_t>& xs, std::vector<int64_t>& ys) {
    m_points.clear();
    if (xs.empty()) return true;
    const auto [minX, maxX] = std::minmax_element(xs.begin(), xs.end());
    const auto [minY, maxY] = std::minmax_element(ys.begin(), ys.end());
    const int64_t w = *maxX - *minX + 1, h = *maxY - *minY + 1;
    if (w > MaxSide || h > MaxSide) return false;
    const int64_t x0 = *minX, y0 = *minY;
    m_points.reserve(xs.size());
    for (size_t i = 0; i < xs.size(); ++i)
        m_points.push_back({int32_t(xs[i] - x0), int32_t(ys[i] - y0)});
    m_width = int(w);
    m_height = int(h);
    return true;
}
