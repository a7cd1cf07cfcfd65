// SPDX-License-Identifier: GPL-2.0-or-later
// Resizing a 6000 x 4000 photo, each next to a copy of it.
#include "BenchUtil.h"
#include "core/StretchEx.h"

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;

TBitmap& Photo() {
    static TBitmap img = BenchImage(kW, kH);
    return img;
}

void BM_ResampleLanczosDown(benchmark::State& state) {
    TBitmap out;
    RunAgainstCopy(
        state, ImageBytes(Photo()), [] {}, [&] { Resample(1500, 1000, rfLanczos3, out, Photo()); });
}
BENCHMARK(BM_ResampleLanczosDown)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ResampleBSplineUp(benchmark::State& state) {
    TBitmap out;
    RunAgainstCopy(
        state, ImageBytes(Photo()), [] {}, [&] { Resample(12000, 8000, rfBSpline, out, Photo()); });
}
BENCHMARK(BM_ResampleBSplineUp)->UseManualTime()->Unit(benchmark::kMillisecond);

template <typename Stretch>
void StretchTo1920(benchmark::State& state, Stretch stretch) {
    TBitmap out;
    NewImage(out, 1920, 1280, clBlack);
    RunAgainstCopy(
        state, ImageBytes(Photo()), [] {},
        [&] { stretch(Photo(), ImageBounds(Photo()), out, WholeImageRect, ImageBounds(out)); });
}

void BM_StretchNearest(benchmark::State& state) {
    StretchTo1920(state, StretchNearest);
}
BENCHMARK(BM_StretchNearest)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StretchBicubic(benchmark::State& state) {
    StretchTo1920(state, StretchBicubic);
}
BENCHMARK(BM_StretchBicubic)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
