// SPDX-License-Identifier: GPL-2.0-or-later
// Mapping a picture to a palette: nearest entries with Floyd-Steinberg error diffusion, exact
// indexing of pictures with few colours, and expansion of indexed pictures.
#include "core/Quantize.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

namespace {

// Nearest palette entry of a colour. The colour cube is cut into cells of 8 x 8 x 8 values; the
// first colour met in a cell lists the entries that can be nearest to any colour of the cell:
// those whose least distance to the cell is at most the smallest greatest distance of any entry.
// Every other entry is farther from each colour of the cell than that one, so the answer is
// exact, and the lists are short because palettes spread over the cube.
class TNearestEntry {
public:
    explicit TNearestEntry(const TPalette& palette)
        : m_palette(palette), m_cells(size_t(kCellsPerAxis) * kCellsPerAxis * kCellsPerAxis) {}

    uint8_t operator()(int r, int g, int b) {
        const size_t cell =
            ((size_t(r >> kShift) * kCellsPerAxis) + size_t(g >> kShift)) * kCellsPerAxis +
            size_t(b >> kShift);
        TCellList& list = m_cells[cell];
        if (list.start < 0) list = ListCandidates(r >> kShift, g >> kShift, b >> kShift);
        int best = std::numeric_limits<int>::max();
        uint8_t bestIndex = 0;
        const TCandidate* c = m_candidates.data() + list.start;
        for (int i = 0; i < list.count; ++i) {
            const int dr = c[i].r - r, dg = c[i].g - g, db = c[i].b - b;
            const int d = dr * dr + dg * dg + db * db;
            if (d < best) { // candidates are in index order: ties keep the lower index
                best = d;
                bestIndex = c[i].index;
            }
        }
        return bestIndex;
    }

private:
    static constexpr int kShift = 3;
    static constexpr int kCellsPerAxis = 256 >> kShift;

    struct TCandidate {
        int r, g, b;
        uint8_t index;
    };
    struct TCellList {
        int32_t start = -1;
        int32_t count = 0;
    };

    // Least and greatest squared distance from v to the cell's values along one axis.
    static std::pair<int, int> AxisRange(int v, int cell) {
        const int lo = cell << kShift, hi = lo + (1 << kShift) - 1;
        const int nearest = v < lo ? lo - v : v > hi ? v - hi : 0;
        const int farthest = std::max(std::abs(v - lo), std::abs(v - hi));
        return {nearest * nearest, farthest * farthest};
    }

    TCellList ListCandidates(int cr, int cg, int cb) {
        std::vector<int> least(m_palette.size());
        int bound = std::numeric_limits<int>::max();
        for (size_t i = 0; i < m_palette.size(); ++i) {
            const auto [rn, rf] = AxisRange(m_palette[i].r, cr);
            const auto [gn, gf] = AxisRange(m_palette[i].g, cg);
            const auto [bn, bf] = AxisRange(m_palette[i].b, cb);
            least[i] = rn + gn + bn;
            bound = std::min(bound, rf + gf + bf);
        }
        TCellList list{int32_t(m_candidates.size()), 0};
        for (size_t i = 0; i < m_palette.size(); ++i) {
            if (least[i] > bound) continue;
            const TTriple& e = m_palette[i];
            m_candidates.push_back(TCandidate{e.r, e.g, e.b, uint8_t(i)});
            ++list.count;
        }
        return list;
    }

    const TPalette& m_palette;
    std::vector<TCellList> m_cells;
    std::vector<TCandidate> m_candidates;
};

TIndexedImage EmptyIndexed(const TBitmap& image, TPalette palette) {
    CheckImageSize(image.Width(), image.Height());
    TIndexedImage out;
    out.Width = image.Width();
    out.Height = image.Height();
    out.Indices.resize(size_t(out.Width) * size_t(out.Height));
    out.Palette = std::move(palette);
    return out;
}

// Floyd-Steinberg diffusion along one row. Errors are kept in sixteenths: the share of the
// right neighbour travels in a local, the shares of the row below are summed in locals and
// stored once complete, so each stored value is final when the next row reads it.
class TDiffusionRow {
public:
    TDiffusionRow(const int* above, int* below) : m_above(above), m_below(below) {}

    // The wanted value of pixel x, channel c (0 blue, 1 green, 2 red), clamped to 0..255.
    int Wanted(int x, int c, int value) const {
        const int total = m_above[size_t(x) * 3 + size_t(c)] + m_right[c];
        return std::clamp(value + ((total + 8) >> 4), 0, 255);
    }
    void Spread(int x, int c, int error) {
        m_right[c] = 7 * error;
        if (x > 0) m_below[size_t(x - 1) * 3 + size_t(c)] = m_belowLeft[c] + 3 * error;
        m_belowLeft[c] = m_belowHere[c] + 5 * error;
        m_belowHere[c] = error;
    }
    void Finish(int width) {
        for (size_t c = 0; c < 3; ++c)
            m_below[size_t(width - 1) * 3 + c] = m_belowLeft[c];
    }

private:
    const int* m_above;
    int* m_below;
    int m_right[3] = {0, 0, 0};
    int m_belowLeft[3] = {0, 0, 0}; // for the pixel below the current one's left neighbour
    int m_belowHere[3] = {0, 0, 0};
};

} // namespace

namespace {

void MapRowNearest(const uint8_t* p, int width, TNearestEntry& nearest, uint8_t* dst) {
    for (int x = 0; x < width; ++x, p += 3)
        dst[x] = nearest(p[2], p[1], p[0]);
}

void MapRowDiffused(const uint8_t* p, int width, TNearestEntry& nearest, const TPalette& palette,
                    TDiffusionRow error, uint8_t* dst) {
    for (int x = 0; x < width; ++x, p += 3) {
        const int b = error.Wanted(x, 0, p[0]);
        const int g = error.Wanted(x, 1, p[1]);
        const int r = error.Wanted(x, 2, p[2]);
        const uint8_t index = nearest(r, g, b);
        const TTriple& chosen = palette[index];
        error.Spread(x, 0, b - chosen.b);
        error.Spread(x, 1, g - chosen.g);
        error.Spread(x, 2, r - chosen.r);
        dst[x] = index;
    }
    error.Finish(width);
}

} // namespace

TIndexedImage MapToPalette(const TBitmap& image, const TPalette& palette, bool dither) {
    if (palette.empty() || palette.size() > 256)
        throw ETaveluneError("palette must hold 1 to 256 colours");
    TBitmap converted;
    const TBitmap& img = ReadAs24(image, converted);
    TIndexedImage out = EmptyIndexed(img, palette);
    if (img.Empty()) return out;
    TNearestEntry nearest(palette);
    const int width = img.Width();
    std::vector<int> above(dither ? size_t(width) * 3 : 0), below(above.size());
    for (int y = 0; y < img.Height(); ++y) {
        uint8_t* dst = out.Indices.data() + size_t(y) * size_t(width);
        if (!dither) {
            MapRowNearest(img.ScanLine(y), width, nearest, dst);
            continue;
        }
        MapRowDiffused(img.ScanLine(y), width, nearest, palette,
                       TDiffusionRow(above.data(), below.data()), dst);
        std::swap(above, below);
    }
    return out;
}

std::optional<TIndexedImage> IndexExactColors(const TBitmap& image, int maxColors) {
    TBitmap converted;
    const TBitmap& img = ReadAs24(image, converted);
    const size_t limit = size_t(std::clamp(maxColors, 0, 256));
    auto colourAt = [](const uint8_t* p) {
        return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    };
    std::vector<uint32_t> colours; // sorted
    for (int y = 0; y < img.Height(); ++y) {
        const uint8_t* p = img.ScanLine(y);
        for (int x = 0; x < img.Width(); ++x, p += 3) {
            const uint32_t c = colourAt(p);
            const auto it = std::lower_bound(colours.begin(), colours.end(), c);
            if (it != colours.end() && *it == c) continue;
            if (colours.size() == limit) return std::nullopt;
            colours.insert(it, c);
        }
    }
    TPalette palette;
    for (uint32_t c : colours)
        palette.push_back(TTriple{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    TIndexedImage out = EmptyIndexed(img, std::move(palette));
    for (int y = 0; y < img.Height(); ++y) {
        const uint8_t* p = img.ScanLine(y);
        uint8_t* dst = out.Indices.data() + size_t(y) * size_t(out.Width);
        for (int x = 0; x < img.Width(); ++x, p += 3)
            dst[x] = uint8_t(std::lower_bound(colours.begin(), colours.end(), colourAt(p)) -
                             colours.begin());
    }
    return out;
}

namespace {

void CheckIndices(const TIndexedImage& indexed) {
    if (indexed.Width < 0 || indexed.Height < 0 ||
        indexed.Indices.size() < size_t(indexed.Width) * size_t(indexed.Height))
        throw ETaveluneError("indexed picture smaller than its size");
}

} // namespace

TBitmap IndexedTo24Bit(const TIndexedImage& indexed) {
    CheckIndices(indexed);
    std::array<TTriple, 256> table{};
    std::copy_n(indexed.Palette.begin(), std::min<size_t>(indexed.Palette.size(), 256),
                table.begin());
    TBitmap image;
    NewImage(image, indexed.Width, indexed.Height, clBlack);
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* src = indexed.Row(y);
        uint8_t* p = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            const TTriple& t = table[src[x]];
            p[0] = t.b;
            p[1] = t.g;
            p[2] = t.r;
        }
    }
    return image;
}

TBitmap IndexedTo8Bit(const TIndexedImage& indexed) {
    CheckIndices(indexed);
    CheckImageSize(indexed.Width, indexed.Height);
    if (indexed.Width == 0 || indexed.Height == 0) return TBitmap();
    QImage image(indexed.Width, indexed.Height, QImage::Format_Indexed8);
    if (image.isNull()) throw std::bad_alloc();
    QList<QRgb> colours;
    for (const TTriple& t : indexed.Palette)
        colours.push_back(qRgb(t.r, t.g, t.b));
    image.setColorTable(colours);
    for (int y = 0; y < indexed.Height; ++y)
        std::copy_n(indexed.Row(y), indexed.Width, image.scanLine(y));
    return TBitmap(std::move(image));
}
