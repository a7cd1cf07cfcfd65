// SPDX-License-Identifier: GPL-2.0-or-later
// Colour counting, palette reduction and masked blending on a 6000 x 4000 photo, each next to a
// copy of it.
#include "BenchUtil.h"
#include "core/Masks.h"
#include "core/Quantize.h"

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;

const TBitmap& Photo() {
    static const TBitmap img = BenchImage(kW, kH);
    return img;
}

// A soft-edged disc: opaque inside, transparent outside, a ramp between.
const TBitmap& DiscMask() {
    static const TBitmap mask = [] {
        TBitmap m;
        NewImage(m, kW, kH, clWhite);
        const int64_t r0 = int64_t(kH) * kH / 9, r1 = int64_t(kH) * kH / 4;
        for (int y = 0; y < kH; ++y) {
            uint8_t* p = m.ScanLine(y);
            for (int x = 0; x < kW; ++x, p += 3) {
                const int64_t dx = x - kW / 2, dy = y - kH / 2, d = dx * dx + dy * dy;
                const int v = d <= r0 ? 0 : d >= r1 ? 255 : int((d - r0) * 255 / (r1 - r0));
                p[0] = p[1] = p[2] = uint8_t(v);
            }
        }
        return m;
    }();
    return mask;
}

void BM_CountColors(benchmark::State& state) {
    int count = 0;
    RunAgainstCopy(
        state, ImageBytes(Photo()), [] {}, [&] { count = CountColors(Photo()); });
    state.counters["colours"] = count;
}
BENCHMARK(BM_CountColors)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReduceForPalette(benchmark::State& state) {
    TBitmap img;
    auto restore = [&img] {
        img = Photo();
        img.ScanLine(0); // a buffer of its own, outside the timing
    };
    RunAgainstCopy(state, ImageBytes(Photo()), restore, [&] { ReduceForPalette(img); });
}
BENCHMARK(BM_ReduceForPalette)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OctreePalette(benchmark::State& state) {
    RunAgainstCopy(
        state, ImageBytes(Photo()), [] {},
        [] { benchmark::DoNotOptimize(BuildOctreePalette(Photo(), 254)); });
}
BENCHMARK(BM_OctreePalette)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MaskedBlend(benchmark::State& state) {
    TBitmap dst;
    auto reset = [&dst] { NewImage(dst, kW, kH, clBlack); };
    RunAgainstCopy(state, ImageBytes(Photo()), reset, [&] {
        MaskedBlend(Photo(), WholeImageRect, dst, &DiscMask(), 100, WholeImageRect, 0, 0);
    });
}
BENCHMARK(BM_MaskedBlend)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
