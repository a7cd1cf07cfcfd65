#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds Tavelune with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

build="${TAVELUNE_TEST_BUILD_DIR:-$top/build-test}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVELUNE_SANITIZE=ON \
    -DTAVELUNE_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
cd "$build"
ctest --output-on-failure --timeout 900 "$@"
