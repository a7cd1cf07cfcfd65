#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Checks the formatting, builds Tavelune and its benchmarks with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test (the benchmarks are built, not run).
# Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

# Every C++ file as the repo's clang-format writes it.
find "$top/src" "$top/tests" "$top/bench" "$top/fuzz" \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror

build="${TAVELUNE_TEST_BUILD_DIR:-$top/build-test}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVELUNE_SANITIZE=ON \
    -DTAVELUNE_BENCH=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
cd "$build"
ctest --output-on-failure --timeout 900 "$@"
