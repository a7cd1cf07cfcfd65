// Mapping a picture to a palette: nearest entries with Floyd-Steinberg error diffusion, exact
// indexing of pictures with few colours, and expansion of indexed pictures.
#include "core/Quantize.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <new>

namespace {

// Nearest palette entry of a colour. Entries are searched outward from the colour's green value
// in green order, which ends as soon as the green distance alone exceeds the best match; answers
// are remembered per colour, since dithered photographs revisit the same colours often.
class TNearestEntry {
public:
    explicit TNearestEntry(const TPalette& palette)
        : m_cache(std::make_unique_for_overwrite<uint8_t[]>(size_t{1} << 24)),
          m_known((size_t{1} << 24) / 64, 0) {
        m_byGreen.reserve(palette.size());
        for (size_t i = 0; i < palette.size(); ++i)
            m_byGreen.push_back(TEntry{palette[i].r, palette[i].g, palette[i].b, uint8_t(i)});
        std::stable_sort(m_byGreen.begin(), m_byGreen.end(),
                         [](const TEntry& a, const TEntry& b) { return a.g < b.g; });
    }

    uint8_t operator()(int r, int g, int b) {
        const size_t key = (size_t(r) << 16) | (size_t(g) << 8) | size_t(b);
        uint64_t& word = m_known[key >> 6];
        const uint64_t bit = uint64_t{1} << (key & 63);
        if (!(word & bit)) {
            m_cache[key] = Search(r, g, b);
            word |= bit;
        }
        return m_cache[key];
    }

private:
    struct TEntry {
        int r, g, b;
        uint8_t index;
    };

    uint8_t Search(int r, int g, int b) const {
        const auto start = std::lower_bound(m_byGreen.begin(), m_byGreen.end(), g,
                                            [](const TEntry& e, int value) { return e.g < value; });
        int best = std::numeric_limits<int>::max();
        int bestIndex = 0;
        auto consider = [&](const TEntry& e) {
            const int dr = e.r - r, dg = e.g - g, db = e.b - b;
            const int d = dr * dr + dg * dg + db * db;
            if (d < best || (d == best && e.index < bestIndex)) {
                best = d;
                bestIndex = e.index;
            }
        };
        auto far = [&](const TEntry& e) { return (e.g - g) * (e.g - g) > best; };
        for (auto it = start; it != m_byGreen.end() && !far(*it); ++it)
            consider(*it);
        for (auto it = start; it != m_byGreen.begin();) {
            --it;
            if (far(*it)) break;
            consider(*it);
        }
        return uint8_t(bestIndex);
    }

    std::vector<TEntry> m_byGreen;
    std::unique_ptr<uint8_t[]> m_cache; // valid where the bit in m_known is set
    std::vector<uint64_t> m_known;
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

// Error of each channel in sixteenths, for the current row and the next, with one spare pixel
// on either side so the edge pixels need no tests.
class TDiffusion {
public:
    explicit TDiffusion(int width) : m_cur((size_t(width) + 2) * 3), m_next(m_cur.size()) {}

    // The wanted colour of pixel x, channel c (0 blue, 1 green, 2 red).
    int Wanted(int x, int c, int value) const {
        return std::clamp(value + ((m_cur[At(x, c)] + 8) >> 4), 0, 255);
    }
    void Spread(int x, int c, int error) {
        m_cur[At(x + 1, c)] += 7 * error;
        m_next[At(x - 1, c)] += 3 * error;
        m_next[At(x, c)] += 5 * error;
        m_next[At(x + 1, c)] += error;
    }
    void NextRow() {
        std::swap(m_cur, m_next);
        std::fill(m_next.begin(), m_next.end(), 0);
    }

private:
    static size_t At(int x, int c) { return size_t(x + 1) * 3 + size_t(c); }
    std::vector<int> m_cur, m_next;
};

} // namespace

TIndexedImage MapToPalette(const TBitmap& image, const TPalette& palette, bool dither) {
    if (palette.empty() || palette.size() > 256)
        throw ETaveluneError("palette must hold 1 to 256 colours");
    TBitmap converted;
    const TBitmap& img = ReadAs24(image, converted);
    TIndexedImage out = EmptyIndexed(img, palette);
    if (img.Empty()) return out;
    TNearestEntry nearest(palette);
    TDiffusion error(dither ? img.Width() : 0);
    for (int y = 0; y < img.Height(); ++y) {
        const uint8_t* p = img.ScanLine(y);
        uint8_t* dst = out.Indices.data() + size_t(y) * size_t(out.Width);
        for (int x = 0; x < img.Width(); ++x, p += 3) {
            if (!dither) {
                dst[x] = nearest(p[2], p[1], p[0]);
                continue;
            }
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
        if (dither) error.NextRow();
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
