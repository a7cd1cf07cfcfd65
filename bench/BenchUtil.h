// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Every benchmark times its operation next to a baseline in the same iteration (a memcpy of the
// same bytes, or the decoding the operation follows) and reports the ratio as a counter named
// x_<baseline>, so results compare across machines and loads.

#include "core/Bitmap.h"
#include "core/PixelMemory.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

inline double SecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Processor time of the whole process, every thread: the work done, whatever else the machine
// is running meanwhile.
inline double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

class TCopyBaseline {
public:
    explicit TCopyBaseline(size_t bytes) : m_src(bytes, 1), m_dst(bytes) {}

    // Copies once and returns the seconds it took.
    double Measure() {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(m_dst.data(), m_src.data(), m_src.size());
        benchmark::DoNotOptimize(m_dst.data());
        benchmark::ClobberMemory();
        return SecondsSince(t0);
    }

private:
    std::vector<uint8_t> m_src, m_dst;
};

// Runs prepare (untimed), then op once per iteration under manual timing, and reports
// x_copy = op time / copy time.
template <typename Prepare, typename Op>
void RunAgainstCopy(benchmark::State& state, size_t bytes, Prepare&& prepare, Op&& op) {
    TCopyBaseline copy(bytes);
    double opTotal = 0, copyTotal = 0;
    for (auto _ : state) {
        prepare();
        copyTotal += copy.Measure();
        const auto t0 = std::chrono::steady_clock::now();
        op();
        benchmark::ClobberMemory();
        const double s = SecondsSince(t0);
        opTotal += s;
        state.SetIterationTime(s);
    }
    state.counters["x_copy"] = copyTotal > 0 ? opTotal / copyTotal : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// Runs baseline, then op, once per iteration with op under manual timing, and reports
// x_<name> = op time / baseline time, x_<name>_cpu the same in processor time (summed over the
// threads each uses) and <name>_ms, the baseline's time per iteration.
template <typename Baseline, typename Op>
void RunAgainstBaseline(benchmark::State& state, const std::string& name, Baseline&& baseline,
                        Op&& op) {
    double baseTotal = 0, opTotal = 0, baseCpu = 0, opCpu = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        double c0 = ProcessCpuSeconds();
        baseline();
        benchmark::ClobberMemory();
        baseTotal += SecondsSince(t0);
        baseCpu += ProcessCpuSeconds() - c0;

        t0 = std::chrono::steady_clock::now();
        c0 = ProcessCpuSeconds();
        op();
        benchmark::ClobberMemory();
        const double s = SecondsSince(t0);
        opCpu += ProcessCpuSeconds() - c0;
        opTotal += s;
        state.SetIterationTime(s);
    }
    state.counters["x_" + name] = baseTotal > 0 ? opTotal / baseTotal : 0;
    state.counters["x_" + name + "_cpu"] = baseCpu > 0 ? opCpu / baseCpu : 0;
    state.counters[name + "_ms"] = 1000 * baseTotal / double(state.iterations());
}

// A photo-like 24-bit test image: smooth gradients with noise.
inline TBitmap BenchImage(int w, int h) {
    TBitmap img;
    NewImage(img, w, h, clBlack);
    std::mt19937 rng(42);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = img.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const uint32_t n = rng();
            p[0] = uint8_t((x * 255) / w + (n & 15));
            p[1] = uint8_t((y * 255) / h + ((n >> 4) & 15));
            p[2] = uint8_t(((x + y) * 127) / (w + h) + ((n >> 8) & 31));
        }
    }
    return img;
}

inline size_t ImageBytes(const TBitmap& img) {
    return size_t(img.Stride()) * size_t(img.Height());
}

// The programs' own allocation policy applies to the benchmarks too.
#define TAVELUNE_BENCHMARK_MAIN()                                                                  \
    int main(int argc, char** argv) {                                                              \
        ConfigurePixelMemory();                                                                    \
        benchmark::Initialize(&argc, argv);                                                        \
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;                          \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
