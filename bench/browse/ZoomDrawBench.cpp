// SPDX-License-Identifier: GPL-2.0-or-later
// Draw of a 6000 x 4000 photo into a 1920 x 1080 screen buffer, each next to a memcpy of that
// buffer (x_copy): fitted to the screen nearest and smoothed, and the scroll case (actual size,
// only the visible part copied) and a 200 % enlargement. Also the first screen of a start-up:
// the 1/4 stand-in of that photo fitted smoothed into a 1068 x 864 window.
#include "BenchUtil.h"
#include "browse/ImgZoom.h"

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;
constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;

const TBitmap& Photo() {
    static const TBitmap img = BenchImage(kW, kH);
    return img;
}

const TBitmap& StandIn() {
    static const TBitmap img = BenchImage(kW / 4, kH / 4);
    return img;
}

void DrawOnce(benchmark::State& state, bool optimize, ZoomMode mode, double scale,
              const TBitmap& photo = Photo(), QSize screenSize = {kScreenW, kScreenH}) {
    TBitmap screen;
    NewImage(screen, screenSize.width(), screenSize.height(), clBlack);
    TImageZoom zoom;
    zoom.SetCanvas(&screen);
    zoom.SetBitmap(&photo);
    zoom.SetAlignment(zaCenter);
    if (mode == zmCustom)
        zoom.SetScale(scale);
    else
        zoom.SetZoomMode(mode);
    zoom.SetOptimize(optimize);
    RunAgainstCopy(
        state, ImageBytes(screen), [] {}, [&zoom] { zoom.Draw(false); });
    state.counters["scale"] = zoom.Scale();
}

void BM_DrawFitNearest(benchmark::State& state) {
    DrawOnce(state, false, zmFitScreen, 0);
}
BENCHMARK(BM_DrawFitNearest)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DrawFitSmooth(benchmark::State& state) {
    DrawOnce(state, true, zmFitScreen, 0);
}
BENCHMARK(BM_DrawFitSmooth)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DrawActualSize(benchmark::State& state) {
    DrawOnce(state, true, zmActualSize, 0);
}
BENCHMARK(BM_DrawActualSize)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DrawDoubleNearest(benchmark::State& state) {
    DrawOnce(state, false, zmCustom, 2.0);
}
BENCHMARK(BM_DrawDoubleNearest)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DrawDoubleSmooth(benchmark::State& state) {
    DrawOnce(state, true, zmCustom, 2.0);
}
BENCHMARK(BM_DrawDoubleSmooth)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DrawStandInSmooth(benchmark::State& state) {
    DrawOnce(state, true, zmFitScreen, 0, StandIn(), {1068, 864});
}
BENCHMARK(BM_DrawStandInSmooth)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
