#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the main window's tests and tavelune-convert with ThreadSanitizer and runs the tests
# that use the decoding workers: the read-ahead, navigation, slideshow and file commands, and
# the batch conversion on several threads. Separate from scripts/test.sh, whose time it would
# double. Usage: scripts/tsan.sh [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

build="${TAVELUNE_TSAN_BUILD_DIR:-$top/build-tsan}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVELUNE_TSAN=ON \
    -DTAVELUNE_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)" \
    --target tavelune_mainwindow_tests tavelune_tools_tests tavelune-convert

export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$top/scripts/tsan.supp"
cd "$build"
tests/mainwindow/tavelune_mainwindow_tests \
    --gtest_filter='ReadAhead*:Navigation*:Slideshow*:FileCommands*:Startup*' "$@"
tests/tools/tavelune_tools_tests --gtest_filter='Convert.*' "$@"
