// SPDX-License-Identifier: GPL-2.0-or-later
// Drop shadows around a 1600 x 1000 displayed image in a 1920 x 1200 screen buffer, next to a
// copy of the whole buffer.
#include "BenchUtil.h"
#include "core/Decorations.h"

namespace {

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1200;
constexpr TRect kImage{160, 100, 1760, 1100};

void BM_DropShadow(benchmark::State& state) {
    const bool soft = state.range(0) != 0;
    TBitmap screen = BenchImage(kScreenW, kScreenH);
    // Darkening the same pixels again costs the same, so the buffer is not restored.
    RunAgainstCopy(
        state, ImageBytes(screen), [] {}, [&] { DropShadow(screen, kImage, 7, soft, 70); });
}
BENCHMARK(BM_DropShadow)
    ->ArgName("soft")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_DropShadowOnCanvas(benchmark::State& state) {
    TBitmap screen = BenchImage(kScreenW, kScreenH);
    RunAgainstCopy(
        state, ImageBytes(screen), [] {},
        [&] { DropShadowOnCanvas(screen, kImage, 7, true, true, clWhite, 70); });
}
BENCHMARK(BM_DropShadowOnCanvas)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
