// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Errors.h"
#include "core/FilterEvent.h"
#include "core/ResampleWeights.h"
#include "core/StretchEx.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

// The sums are formed in single-precision floats. Every weight and every pixel value is an
// integer and no partial sum can reach 2^24 (checked per list below), so each sum is the exact
// integer sum; a single division then truncates exactly as the integer division would for
// divisors below 2^17 and results clamped to 0..255.

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAVELUNE_RESAMPLE_SSE2 1
#endif

namespace {

inline float Clamp255(float v) {
    return std::min(std::max(v, 0.0f), 255.0f);
}

// The channel value: the quotient truncated toward zero and limited to 0..255.
inline uint8_t ToByte(float sum, float divisor) {
    return uint8_t(int(Clamp255(sum / divisor)));
}

// Four float lanes (blue, green, red and an unused fourth) of one pixel's sums.
#ifdef TAVELUNE_RESAMPLE_SSE2
struct TLanes {
    __m128 v;
    static TLanes Zero() { return {_mm_setzero_ps()}; }
    void AddScaled(float w, const float* p) {
        v = _mm_add_ps(v, _mm_mul_ps(_mm_set1_ps(w), _mm_loadu_ps(p)));
    }
    // Quotients truncated and limited to 0..255, stored as four bytes.
    void StoreBytes(float divisor, uint8_t* out) const {
        __m128 q = _mm_div_ps(v, _mm_set1_ps(divisor));
        q = _mm_min_ps(_mm_max_ps(q, _mm_setzero_ps()), _mm_set1_ps(255.0f));
        __m128i i = _mm_cvttps_epi32(q);
        i = _mm_packs_epi32(i, i);
        i = _mm_packus_epi16(i, i);
        const int32_t bytes = _mm_cvtsi128_si32(i);
        std::memcpy(out, &bytes, 4);
    }
};
#else
struct TLanes {
    float v[4];
    static TLanes Zero() { return {{0, 0, 0, 0}}; }
    void AddScaled(float w, const float* p) {
        for (int l = 0; l < 4; ++l)
            v[l] += w * p[l];
    }
    void StoreBytes(float divisor, uint8_t* out) const {
        for (int l = 0; l < 4; ++l)
            out[l] = ToByte(v[l], divisor);
    }
};
#endif

constexpr int32_t kMaxExactSum = (1 << 24) / 255;
constexpr int32_t kMaxExactDivisor = 1 << 17;

// The weight runs of one axis packed into flat arrays.
struct TPackedAxis {
    std::vector<int> First; // unmirrored source position of the first weight
    std::vector<int> Count;
    std::vector<size_t> Offset;
    std::vector<float> Weights;
    std::vector<float> Divisor; // sum of the weights, or 256 when they sum to 0
    int PadLow = 0;             // how far the runs reach before position 0
    int PadHigh = 0;            // and past the last source position
};

// Builds the runs of every destination index, one progress step each; nothing on a stop.
std::optional<TPackedAxis> PackAxis(const TResampleAxis& axis, TProgressScope& progress,
                                    int firstStep) {
    TPackedAxis packed;
    const size_t n = size_t(axis.DstSize);
    packed.First.resize(n);
    packed.Count.resize(n);
    packed.Offset.resize(n);
    packed.Divisor.resize(n);
    for (int i = 0; i < axis.DstSize; ++i) {
        if (!progress.Step(firstStep + i)) return std::nullopt;
        const TWeightRun run = WeightRun(axis, i);
        if (run.AbsSum > kMaxExactSum || run.Sum >= kMaxExactDivisor ||
            run.Sum <= -kMaxExactDivisor)
            throw ETaveluneError("resampling weights out of range");
        const int count = int(run.Weights.size());
        packed.First[size_t(i)] = run.First;
        packed.Count[size_t(i)] = count;
        packed.Offset[size_t(i)] = packed.Weights.size();
        packed.Divisor[size_t(i)] = run.Sum != 0 ? float(run.Sum) : 256.0f;
        packed.Weights.insert(packed.Weights.end(), run.Weights.begin(), run.Weights.end());
        if (count > 0) {
            packed.PadLow = std::max(packed.PadLow, -run.First);
            packed.PadHigh = std::max(packed.PadHigh, run.First + count - axis.SrcSize);
        }
    }
    return packed;
}

// A source row widened to four floats per pixel (blue, green, red, 0), with the mirrored pixels
// the runs reach on both sides laid out around it, so every run reads consecutive pixels.
class TWideRow {
public:
    TWideRow(int width, int padLow, int padHigh)
        : m_width(width), m_padLow(padLow), m_pixels(size_t(padLow + width + padHigh) * 4, 0.0f) {
        for (int p = 0; p < padLow; ++p)
            m_edges.push_back({p, MirrorIndex(p - padLow, width)});
        for (int p = padLow + width; p < padLow + width + padHigh; ++p)
            m_edges.push_back({p, MirrorIndex(p - padLow, width)});
    }

    void Load(const uint8_t* row) {
        float* out = m_pixels.data() + size_t(m_padLow) * 4;
        for (int x = 0; x < m_width; ++x) {
            out[4 * x] = row[3 * x];
            out[4 * x + 1] = row[3 * x + 1];
            out[4 * x + 2] = row[3 * x + 2];
        }
        for (const TEdge& e : m_edges)
            std::memcpy(&m_pixels[size_t(e.At) * 4], &out[size_t(e.From) * 4], 3 * sizeof(float));
    }

    // The pixel at unmirrored position j.
    const float* At(int j) const { return m_pixels.data() + size_t(j + m_padLow) * 4; }

private:
    struct TEdge {
        int At, From;
    };
    int m_width;
    int m_padLow;
    std::vector<float> m_pixels;
    std::vector<TEdge> m_edges;
};

bool HorizontalPass(const TBitmap& source, const TPackedAxis& axis, uint8_t* work, int W,
                    TProgressScope& progress) {
    TWideRow wide(source.Width(), axis.PadLow, axis.PadHigh);
    for (int k = 0; k < source.Height(); ++k) {
        if (!progress.Step(W + k)) return false;
        wide.Load(source.ScanLine(k));
        uint8_t* out = work + size_t(k) * size_t(W) * 3;
        for (int i = 0; i < W; ++i, out += 3) {
            const float* px = wide.At(axis.First[size_t(i)]);
            const float* w = axis.Weights.data() + axis.Offset[size_t(i)];
            TLanes sum = TLanes::Zero();
            for (int c = 0; c < axis.Count[size_t(i)]; ++c, px += 4)
                sum.AddScaled(w[c], px);
            // Four bytes are stored; the fourth is overwritten by the next pixel (the work
            // buffer has a spare byte for the last).
            sum.StoreBytes(axis.Divisor[size_t(i)], out);
        }
    }
    return true;
}

// Destination row by destination row: the work rows of a run are added up across the whole row,
// four rows at a time, in blocks that stay in the first-level cache.
bool VerticalPass(const uint8_t* work, int workHeight, const TPackedAxis& axis,
                  TBitmap& destination, TProgressScope& progress, int firstStep) {
    constexpr size_t kBlock = 2048;
    const int W = destination.Width();
    const int H = destination.Height();
    const size_t rowBytes = size_t(W) * 3;
    std::vector<float> sum(std::min(rowBytes, kBlock));
    std::vector<const uint8_t*> rows;
    std::vector<float> weights;
    for (int i = 0; i < H; ++i) {
        if (!progress.Step(firstStep + int(int64_t(i) * W / H))) return false;
        uint8_t* out = destination.ScanLine(i);
        // The rows with non-zero weights, padded to a multiple of four with zero weights.
        rows.clear();
        weights.clear();
        const float* w = axis.Weights.data() + axis.Offset[size_t(i)];
        for (int c = 0; c < axis.Count[size_t(i)]; ++c) {
            if (w[c] == 0) continue;
            const int r = MirrorIndex(axis.First[size_t(i)] + c, workHeight);
            rows.push_back(work + size_t(r) * rowBytes);
            weights.push_back(w[c]);
        }
        if (rows.empty()) { // 0 / 256
            std::memset(out, 0, rowBytes);
            continue;
        }
        while (rows.size() % 4 != 0) {
            rows.push_back(rows.front());
            weights.push_back(0.0f);
        }
        const float d = axis.Divisor[size_t(i)];
        for (size_t x0 = 0; x0 < rowBytes; x0 += kBlock) {
            const size_t n = std::min(kBlock, rowBytes - x0);
            for (size_t g = 0; g < rows.size(); g += 4) {
                const uint8_t* r0 = rows[g] + x0;
                const uint8_t* r1 = rows[g + 1] + x0;
                const uint8_t* r2 = rows[g + 2] + x0;
                const uint8_t* r3 = rows[g + 3] + x0;
                const float w0 = weights[g], w1 = weights[g + 1], w2 = weights[g + 2],
                            w3 = weights[g + 3];
                float* acc = sum.data();
                if (g == 0) {
                    for (size_t x = 0; x < n; ++x)
                        acc[x] = (w0 * float(r0[x]) + w1 * float(r1[x])) +
                                 (w2 * float(r2[x]) + w3 * float(r3[x]));
                } else {
                    for (size_t x = 0; x < n; ++x)
                        acc[x] += (w0 * float(r0[x]) + w1 * float(r1[x])) +
                                  (w2 * float(r2[x]) + w3 * float(r3[x]));
                }
            }
            for (size_t x = 0; x < n; ++x)
                out[x0 + x] = ToByte(sum[x], d);
        }
    }
    return true;
}

} // namespace

void Resample(int W, int H, int filterIndex, TBitmap& destination, TBitmap& source, float radius) {
    if (W <= 0 || H <= 0 || source.Empty()) return;
    if (filterIndex < 0 || filterIndex >= int(ResampleFilters.size())) return;
    if (&destination == &source) {
        TBitmap copy = source; // shares the pixels until destination is rebuilt
        Resample(W, H, filterIndex, destination, copy, radius);
        return;
    }
    source.To24Bit();
    const TBitmap& src = source;
    const int sw = src.Width();
    const int sh = src.Height();
    const TResampleFilter& filter = ResampleFilters[size_t(filterIndex)];

    TProgressScope progress(2 * W + sh + H);
    if (!progress.Started()) return;
    CheckImageSize(W, sh);
    CheckImageSize(W, H);
    destination.Clear();
    destination.SetPixelFormat(TPixelFormat::pf24bit);
    // Every pixel is written below, so the new image is not filled first.
    QImage pixels(W, H, QImage::Format_BGR888);
    if (pixels.isNull()) throw std::bad_alloc();
    destination.Image() = std::move(pixels);
    auto work = std::make_unique_for_overwrite<uint8_t[]>(size_t(W) * 3 * size_t(sh) + 1);

    const bool done = [&] {
        const auto columns = PackAxis(MakeResampleAxis(W, sw, filter, radius), progress, 0);
        if (!columns || !HorizontalPass(src, *columns, work.get(), W, progress)) return false;
        const auto rows = PackAxis(MakeResampleAxis(H, sh, filter, radius), progress, W + sh);
        return rows && VerticalPass(work.get(), sh, *rows, destination, progress, W + sh + H);
    }();
    if (!done) { // a stopped resize leaves a plain image of the new size, not stale memory
        destination.Clear();
        destination.SetSize(W, H);
    }
}
