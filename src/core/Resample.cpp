#include "core/Errors.h"
#include "core/FilterEvent.h"
#include "core/ResampleWeights.h"
#include "core/StretchEx.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

// The sums are formed in single-precision floats. Every weight and every pixel value is an
// integer and no partial sum can reach 2^24 (checked per list below), so each sum is the exact
// integer sum; a single division then truncates exactly as the integer division would for
// divisors below 2^17 and results clamped to 0..255.

namespace {

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

inline uint8_t ToByte(float sum, float divisor) {
    float v = sum / divisor;
    v = v < 0.0f ? 0.0f : v;
    v = v > 255.0f ? 255.0f : v;
    return uint8_t(int(v));
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
            float sum[4] = {0, 0, 0, 0};
            for (int c = 0; c < axis.Count[size_t(i)]; ++c, px += 4)
                for (int l = 0; l < 4; ++l)
                    sum[l] += w[c] * px[l];
            const float d = axis.Divisor[size_t(i)];
            out[0] = ToByte(sum[0], d);
            out[1] = ToByte(sum[1], d);
            out[2] = ToByte(sum[2], d);
        }
    }
    return true;
}

// Destination row by destination row: the work rows of a run are added up across the whole row
// in blocks that stay in the first-level cache.
void VerticalPass(const uint8_t* work, int workHeight, const TPackedAxis& axis,
                  TBitmap& destination, TProgressScope& progress, int firstStep) {
    constexpr size_t kBlock = 2048;
    const int W = destination.Width();
    const int H = destination.Height();
    const size_t rowBytes = size_t(W) * 3;
    std::vector<float> sum(std::min(rowBytes, kBlock));
    for (int i = 0; i < H; ++i) {
        if (!progress.Step(firstStep + int(int64_t(i) * W / H))) return;
        const float* w = axis.Weights.data() + axis.Offset[size_t(i)];
        const int count = axis.Count[size_t(i)];
        const float d = axis.Divisor[size_t(i)];
        uint8_t* out = destination.ScanLine(i);
        for (size_t x0 = 0; x0 < rowBytes; x0 += kBlock) {
            const size_t n = std::min(kBlock, rowBytes - x0);
            std::fill_n(sum.data(), n, 0.0f);
            for (int c = 0; c < count; ++c) {
                if (w[c] == 0) continue;
                const float wc = w[c];
                const int r = MirrorIndex(axis.First[size_t(i)] + c, workHeight);
                const uint8_t* row = work + size_t(r) * rowBytes + x0;
                for (size_t x = 0; x < n; ++x)
                    sum[x] += wc * float(row[x]);
            }
            for (size_t x = 0; x < n; ++x)
                out[x0 + x] = ToByte(sum[x], d);
        }
    }
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
    destination.Clear();
    destination.SetPixelFormat(TPixelFormat::pf24bit);
    destination.SetSize(W, H);
    auto work = std::make_unique_for_overwrite<uint8_t[]>(size_t(W) * 3 * size_t(sh));

    const auto columns = PackAxis(MakeResampleAxis(W, sw, filter, radius), progress, 0);
    if (!columns) return;
    if (!HorizontalPass(src, *columns, work.get(), W, progress)) return;
    const auto rows = PackAxis(MakeResampleAxis(H, sh, filter, radius), progress, W + sh);
    if (!rows) return;
    VerticalPass(work.get(), sh, *rows, destination, progress, W + sh + H);
}
