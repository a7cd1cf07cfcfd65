#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end run of the installed viewer in a real X server (Xvfb): installs the build into a
# scratch prefix, starts bin/tavelune on the sample folder with a prepared settings file beside
# it, and checks through screenshots and the window title that it shows the first image with
# its frame and shadow, goes to the next image on Page Down, starts the slideshow on Ctrl+D,
# exits on Escape and writes its exit settings; then that it shows an EMF file (drawn by the
# installed helper program); then, started with a theme named without its folder, that it
# applied the theme from the installed themes folder.
# Usage: x11-session.sh BUILD_DIR SOURCE_DIR OUTPUT_DIR
# Screenshots and logs stay in OUTPUT_DIR. Every wait is bounded and polls.
# TAVELUNE_E2E_PREFIX=<install tree> runs a copy of that tree instead of installing the build.
set -uo pipefail
build=$1 source=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out"
prefix="$out/prefix"

fail() {
    echo "FAILED: $*" >&2
    echo "Screenshots and logs are in $out" >&2
    [[ -s "$out/viewer.log" ]] && { echo "--- viewer output"; tail -n 40 "$out/viewer.log"; } >&2
    exit 1
}

for tool in Xvfb xdotool import python3; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

# Runs a command every 0.1 s until it succeeds or the seconds have passed.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS < deadline)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

if [[ -n "${TAVELUNE_E2E_PREFIX:-}" ]]; then
    # An install tree made elsewhere, such as the unpacked Debian package.
    cp -a "$TAVELUNE_E2E_PREFIX" "$prefix" || fail "cannot copy $TAVELUNE_E2E_PREFIX"
else
    cmake --install "$build" --prefix "$prefix" >"$out/install.log" 2>&1 ||
        fail "cmake --install (see $out/install.log)"
fi
viewer="$prefix/bin/tavelune"
samples="$prefix/share/tavelune/samples"
[[ -x "$viewer" ]] || fail "no $viewer after install"
[[ -f "$samples/01-sunrise.jpg" ]] || fail "no sample images in $samples after install"

# The settings the checks rely on: actual size, a white 15-pixel frame with the shadow on a
# known background, no scrolling, no turn, no comment.
printf '%s\r\n' '[Params]' 'cf=#204060' 'bmotif=0' 'cadre=#FFFFFF,15' 'bcadre=1' 'bombre=1' \
    'b3d=0' 'zoom=0' 'rotation=0' 'teinte=0' 'reglage=0' 'bflou=0' 'bsa=0' 'bss=0' 'bcmt=0' \
    'pe=0' 'bagrandir=0' 'delai=10' 'bquitter=0' >"$prefix/bin/Tavelune.ini"

# A free display chosen by the server itself.
exec 5>"$out/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
viewer_pid=
cleanup() {
    [[ -n "$viewer_pid" ]] && kill "$viewer_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT
poll 20 test -s "$out/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$out/display")"

export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
unset QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR DBUS_SESSION_BUS_ADDRESS
# A sanitized build reports leaks at exit; those of system libraries are not ours. The X
# keyboard library hands strndup a name without a terminating zero, which the strict string
# checks of the sanitizer report as an overflow: they stay off for this run.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$source/scripts/lsan.supp:print_suppressions=0}"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
"$viewer" -diaporama=0 "$samples" >"$out/viewer.log" 2>&1 &
viewer_pid=$!

wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavelune' | head -n1)
[[ -n "$wid" ]] || fail "no Tavelune window appeared"
timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool mousemove --window "$wid" 40 300 2>/dev/null || true

shot=0
# Takes a screenshot and looks for the framed image on it:
# screen_ok WIDTH HEIGHT FRAME BACKGROUND TOP BOTTOM (colours as RRGGBB).
screen_ok() {
    shot=$((shot + 1))
    import -window root "$out/screen-$shot.png" 2>/dev/null &&
        convert "$out/screen-$shot.png" -depth 8 "$out/screen.ppm" 2>/dev/null &&
        python3 "$here/screen_check.py" "$out/screen.ppm" "$@" \
            >"$out/check.txt" 2>&1
}
show_check() { cat "$out/check.txt" >&2; }

# The first image of the folder, 01-sunrise.jpg: 800 x 600, orange at the top, violet below.
poll 30 screen_ok 800 600 15 204060 FF7E5F 2B1055 || { show_check; fail "first image not shown as expected (screen-$shot.png)"; }
echo "first image: $(head -n1 "$out/check.txt")"
first=$shot

xdotool key --clearmodifiers Next
# 02-plasma.jpg: 640 x 480.
poll 20 screen_ok 640 480 15 204060 82BF58 942045 || { show_check; fail "Page Down did not show the next image (screen-$shot.png)"; }
cmp -s "$out/screen-$first.png" "$out/screen-$shot.png" && fail "the screen did not change"
echo "next image: $(head -n1 "$out/check.txt")"

title() { xdotool getwindowname "$wid" 2>/dev/null; }
[[ "$(title)" == "Tavelune" ]] || fail "title before the slideshow: '$(title)'"
xdotool key --clearmodifiers ctrl+d
poll 10 test "$(title)" == "Tavelune - Diaporama" ||
    fail "the slideshow did not start: title '$(title)'"
echo "slideshow: title '$(title)'"

xdotool key --clearmodifiers Escape
gone() { ! kill -0 "$viewer_pid" 2>/dev/null; }
poll 20 gone || fail "the viewer did not exit on Escape"
wait "$viewer_pid"
status=$?
viewer_pid=
((status == 0)) || fail "the viewer exited with status $status"

ini="$prefix/bin/Tavelune.ini"
grep -q '^defdir=.' "$ini" || fail "no defdir in the settings file: $(cat "$ini")"
grep -q '^unit=0' "$ini" || fail "no unit=0 in the settings file: $(cat "$ini")"
grep -q '^cf=#204060' "$ini" || fail "the settings file lost its other keys: $(cat "$ini")"
echo "exit settings: $(grep -E '^(defdir|unit)=' "$ini" | tr -d '\r' | tr '\n' ' ')"

# An EMF file, drawn by the installed helper program (the viewer does not link libemf2svg):
# 200 x 150, red above, blue below.
python3 "$here/make_emf.py" "$out/drawing.emf" 200 150 FF0000 0000FF
"$viewer" -diaporama=0 "$out/drawing.emf" >"$out/viewer-emf.log" 2>&1 &
viewer_pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavelune' | head -n1)
[[ -n "$wid" ]] || fail "no Tavelune window appeared for the EMF file"
poll 30 screen_ok 200 150 15 204060 FF0000 0000FF || { show_check; fail "the EMF file was not shown (screen-$shot.png)"; }
echo "EMF file: $(head -n1 "$out/check.txt")"
timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers Escape
poll 20 gone || fail "the viewer did not exit on Escape"
viewer_pid=

# A theme named without a folder comes from the installed themes folder: Gallery puts a
# 20-pixel white frame with the shadow on a light wall.
"$viewer" Gallery.tlt -diaporama=0 "$samples" >"$out/viewer-theme.log" 2>&1 &
viewer_pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavelune' | head -n1)
[[ -n "$wid" ]] || fail "no Tavelune window appeared with the theme"
poll 30 screen_ok 800 600 20 E8E4DC FF7E5F 2B1055 || { show_check; fail "the theme Gallery was not applied (screen-$shot.png)"; }
echo "theme: $(head -n1 "$out/check.txt")"
timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers Escape
poll 20 gone || fail "the viewer did not exit on Escape"
viewer_pid=
echo "PASSED"
