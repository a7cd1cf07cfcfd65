#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The install tree as a distribution packs it: installs the build into a scratch prefix and
# checks the programs, the private library folder with the EMF helper program, the manual
# pages, the copyright file, the Debian change log and lintian's overrides; that the viewer
# does not link libemf2svg; and that the installed tavelune-convert draws an EMF file through
# the installed helper (found from the program's own folder, as in a moved install tree).
# Usage: install-tree.sh BUILD_DIR SOURCE_DIR OUTPUT_DIR VERSION
set -uo pipefail
build=$1 source=$2 out=$3 version=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out"
prefix="$out/prefix"
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >"$out/install.log" 2>&1 ||
    { echo "FAILED: cmake --install (see $out/install.log)" >&2; exit 1; }

for program in tavelune tavelune-convert; do
    [[ -x "$prefix/bin/$program" ]] || fail "no bin/$program"
done
helper=$(find "$prefix" -path '*/tavelune/tavelune-emf-render' -type f | head -n1)
[[ -n "$helper" && -x "$helper" ]] || fail "no <libdir>/tavelune/tavelune-emf-render"
case "$helper" in "$prefix"/lib*/tavelune/tavelune-emf-render) ;; *) fail "helper at $helper" ;; esac
[[ -e "$(dirname "$helper")/libtavelune_raw.so" ]] ||
    fail "the helper is not beside the RAW decoder library"

# Manual pages: compressed, and read by man without a warning.
for page in tavelune tavelune-convert; do
    file="$prefix/share/man/man1/$page.1.gz"
    if [[ ! -f "$file" ]]; then
        fail "no share/man/man1/$page.1.gz"
        continue
    fi
    gzip -t "$file" || fail "$page.1.gz is not gzip data"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$file" \
        2>&1 >"$out/$page.txt")
    [[ -z "$warnings" ]] || fail "man warns about $page: $warnings"
    grep -q "^NAME" "$out/$page.txt" || fail "$page(1) has no NAME section"
    grep -q "^EXIT STATUS" "$out/$page.txt" || fail "$page(1) has no EXIT STATUS section"
    grep -q -- "--version" "$out/$page.txt" || fail "$page(1) does not name --version"
done
grep -q "XDG_CONFIG_HOME" "$out/tavelune.txt" || fail "tavelune(1) does not name XDG_CONFIG_HOME"
grep -q "Tavelune.ini" "$out/tavelune.txt" || fail "tavelune(1) does not name the settings file"

# The package's documents.
doc="$prefix/share/doc/tavelune"
grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
    "$doc/copyright" 2>/dev/null || fail "no machine-readable share/doc/tavelune/copyright"
grep -q "^License: GPL-2+" "$doc/copyright" 2>/dev/null || fail "copyright names no GPL-2+"
for library in Qt libjpeg-turbo libpng libtiff giflib zlib libexif libwmf libemf2svg LibRaw \
    "Little CMS" libwebp libavif libheif libjxl; do
    grep -q "$library" "$doc/copyright" 2>/dev/null || fail "copyright does not list $library"
done
if gzip -t "$doc/changelog.Debian.gz" 2>/dev/null; then
    top=$(gzip -dc "$doc/changelog.Debian.gz" | head -n1)
    [[ "$top" == "tavelune ($version-"* ]] || fail "change log begins with '$top'"
else
    fail "no share/doc/tavelune/changelog.Debian.gz"
fi
[[ -f "$prefix/share/lintian/overrides/tavelune" ]] || fail "no lintian overrides"

# libemf2svg (GPL version 2 only) lives in the helper alone.
if command -v readelf >/dev/null; then
    for program in "$prefix/bin/tavelune" "$prefix/bin/tavelune-convert"; do
        readelf -d "$program" | grep -q 'NEEDED.*libemf2svg' &&
            fail "$(basename "$program") links libemf2svg"
    done
    readelf -d "$helper" | grep -q 'NEEDED.*libemf2svg' || fail "the helper does not link libemf2svg"
    readelf -d "$helper" | grep -q 'NEEDED.*libQt' && fail "the helper links Qt"
fi

# An EMF file through the installed helper: the top half red, the bottom half blue.
python3 "$here/make_emf.py" "$out/drawing.emf" 40 30 FF0000 0000FF
if "$prefix/bin/tavelune-convert" "$out/drawing.emf" -o "$out/drawing.bmp" >"$out/convert.log" 2>&1; then
    python3 - "$out/drawing.bmp" <<'PY' || fail "the EMF file was not drawn as expected"
import struct
import sys
data = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", data, 10)
w, h, _, bits = struct.unpack_from("<iiHH", data, 18)
stride = (w * bits // 8 + 3) // 4 * 4
def at(x, y):  # rows bottom-up, bytes blue, green, red
    i = offset + (abs(h) - 1 - y) * stride + x * 3
    return tuple(reversed(data[i:i + 3]))
ok = (w, h, bits) == (40, 30, 24) and at(20, 5) == (255, 0, 0) and at(20, 25) == (0, 0, 255)
print(f"drawing.bmp: {w}x{h}x{bits}, {at(20, 5)} above, {at(20, 25)} below")
sys.exit(0 if ok else 1)
PY
else
    fail "the installed tavelune-convert could not convert an EMF file: $(cat "$out/convert.log")"
fi

((failures == 0)) || exit 1
echo "PASSED"
