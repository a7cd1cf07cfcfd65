// SPDX-License-Identifier: GPL-2.0-or-later
// Colour adjustments, blur and turns on a 6000 x 4000 photo, each next to a copy of it.
#include "BenchUtil.h"
#include "core/ColorAdjust.h"
#include "core/FlipRotate.h"

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;

TBitmap& Photo() {
    static TBitmap img = BenchImage(kW, kH);
    return img;
}

template <typename Fn>
void InPlace(benchmark::State& state, Fn fn) {
    TBitmap img;
    // Every iteration starts from the same pixels, in a buffer of its own.
    auto restore = [&img] {
        img = Photo();
        img.ScanLine(0);
    };
    RunAgainstCopy(state, ImageBytes(Photo()), restore, [&] { fn(img); });
}

void BM_Tint(benchmark::State& state) {
    const int tint = int(state.range(0));
    InPlace(state, [tint](TBitmap& img) { ApplyDisplayAdjustments(img, tint, adjDefault, false); });
}
BENCHMARK(BM_Tint)->DenseRange(1, 8)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Adjustment(benchmark::State& state) {
    const int adjust = int(state.range(0));
    InPlace(state,
            [adjust](TBitmap& img) { ApplyDisplayAdjustments(img, tintNormal, adjust, false); });
}
BENCHMARK(BM_Adjustment)->DenseRange(1, 4)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Blur(benchmark::State& state) {
    InPlace(state, [](TBitmap& img) { Blur(img); });
}
BENCHMARK(BM_Blur)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FlipVertical(benchmark::State& state) {
    InPlace(state, FlipVertical);
}
BENCHMARK(BM_FlipVertical)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FlipHorizontal(benchmark::State& state) {
    InPlace(state, FlipHorizontal);
}
BENCHMARK(BM_FlipHorizontal)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Rotate180(benchmark::State& state) {
    InPlace(state, Rotate180);
}
BENCHMARK(BM_Rotate180)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Rotate90(benchmark::State& state) {
    const bool clockwise = state.range(0) != 0;
    InPlace(state, [clockwise](TBitmap& img) { Rotate90(img, clockwise); });
}
BENCHMARK(BM_Rotate90)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
