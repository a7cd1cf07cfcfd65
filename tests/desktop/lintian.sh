#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package (scripts/package.sh, in BUILD_DIR/package, kept between runs so
# a second run rebuilds only what changed) and runs lintian on it: no error, and no warning
# that data/debian/lintian-overrides does not explain. Skipped (status 77) without lintian.
# Usage: lintian.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
command -v lintian >/dev/null || { echo "lintian is not installed: skipped"; exit 77; }

package_build="$build/package"
# The sanitizer settings of the test run are not the package's.
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
TAVELUNE_PACKAGE_BUILD_DIR="$package_build" "$source/scripts/package.sh" --no-deps \
    >"$build/package.log" 2>&1 || {
    tail -n 40 "$build/package.log" >&2
    echo "FAILED: the package did not build (see $build/package.log)" >&2
    exit 1
}
deb=$(ls "$package_build"/tavelune_*.deb | head -n1)
echo "package: $deb"
dpkg-deb --contents "$deb" >"$build/package-contents.txt"

# What a distribution expects in it besides the programs.
missing=0
for path in ./usr/bin/tavelune ./usr/bin/tavelune-convert \
    './usr/lib/[^ ]*/tavelune/tavelune-emf-render' './usr/lib/[^ ]*/tavelune/libtavelune_raw.so' \
    ./usr/share/man/man1/tavelune.1.gz ./usr/share/man/man1/tavelune-convert.1.gz \
    ./usr/share/doc/tavelune/copyright ./usr/share/doc/tavelune/changelog.Debian.gz \
    ./usr/share/lintian/overrides/tavelune; do
    grep -q " $path\$" "$build/package-contents.txt" || { echo "FAILED: no $path in the package" >&2; missing=1; }
done
((missing == 0)) || exit 1

# apt would install it here: every dependency dpkg-shlibdeps found can be met.
if command -v apt-get >/dev/null; then
    apt-get install --simulate --no-install-recommends "$deb" >"$build/package-apt.log" 2>&1 ||
        { cat "$build/package-apt.log" >&2; echo "FAILED: apt cannot install the package" >&2; exit 1; }
    grep -E "^Inst tavelune " "$build/package-apt.log" || true
fi

# Errors and warnings fail; overridden tags do not count.
lintian --fail-on error,warning --tag-display-limit 0 "$deb"
status=$?
((status == 0)) || { echo "FAILED: lintian found errors or warnings" >&2; exit 1; }
echo "PASSED"
