#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the benchmarks in release mode and runs them.
# Usage: scripts/bench.sh [--benchmark_filter=REGEX ...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build="$top/build-bench"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_BENCH=ON \
    -DTAVELUNE_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
for b in "$build"/bench/tavelune_bench_*; do
    [[ -x "$b" ]] && "$b" "$@"
done
