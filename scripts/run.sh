#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the viewer (release, in its own build folder) and runs it on the sample folder
# samples/, which starts a slideshow of its images. Extra arguments go to the viewer.
# Without a display it runs under a virtual X server, saves a screenshot after a few seconds,
# says where, and ends the viewer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

build="${TAVELUNE_RUN_BUILD_DIR:-$top/build-release}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_TESTS=OFF \
    -DTAVELUNE_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target tavelune
viewer="$build/src/app/tavelune"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$viewer" "$top/samples" "$@"
fi

shot="${TAVELUNE_SCREENSHOT:-$build/tavelune-screenshot.png}"
wait_seconds="${TAVELUNE_SCREENSHOT_DELAY:-5}"
echo "No display: running the viewer under Xvfb for ${wait_seconds} s"
export TAVELUNE_VIEWER="$viewer" TAVELUNE_SAMPLES="$top/samples" TAVELUNE_SHOT="$shot"
export TAVELUNE_WAIT="$wait_seconds"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$TAVELUNE_VIEWER" "$TAVELUNE_SAMPLES" "$@" &
    pid=$!
    sleep "$TAVELUNE_WAIT"
    status=0
    if kill -0 "$pid" 2>/dev/null; then
        import -window root "$TAVELUNE_SHOT" || status=1
        kill "$pid"
    else
        echo "The viewer ended before the screenshot" >&2
        status=1
    fi
    wait "$pid" 2>/dev/null || true
    exit "$status"
' run-viewer "$@"
echo "Screenshot of the viewer: $shot"
