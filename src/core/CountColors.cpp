// SPDX-License-Identifier: GPL-2.0-or-later
// Distinct colours of a 24-bit image. One 256-bit set of blue values per (red, green) pair,
// created when the pair first occurs, so memory follows the variety of colours, not the size.
#include "core/Masks.h"

#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

class TColorSet {
public:
    TColorSet() : m_setOf(size_t{1} << 16, kNone) {}

    // Adds the colour; true when it was not in the set yet.
    bool Add(uint8_t b, uint8_t g, uint8_t r) {
        uint32_t& slot = m_setOf[(size_t(r) << 8) | g];
        if (slot == kNone) {
            slot = uint32_t(m_sets.size());
            m_sets.emplace_back();
        }
        uint64_t& word = m_sets[slot][b >> 6];
        const uint64_t bit = uint64_t{1} << (b & 63);
        if (word & bit) return false;
        word |= bit;
        return true;
    }

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    std::vector<uint32_t> m_setOf;               // (red, green) -> index into m_sets
    std::vector<std::array<uint64_t, 4>> m_sets; // blue bits of each pair seen
};

// Counts up to the first colour past limit.
int CountUpTo(const TBitmap& image, int limit) {
    if (image.Empty() || !image.Is24Bit()) return 0;
    TColorSet set;
    int count = 0;
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* p = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            if (!set.Add(p[0], p[1], p[2])) continue;
            if (++count > limit) return count;
        }
    }
    return count;
}

} // namespace

int CountColors(const TBitmap& image) {
    return CountUpTo(image, INT_MAX - 1);
}

bool HasMoreColorsThan(const TBitmap& image, int n) {
    if (n < 0) return true;
    return CountUpTo(image, n) > n;
}
