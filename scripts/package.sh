#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package of Tavelune: a release build installed under /usr with the
# hardening flags Debian builds its packages with, packed by CPack with the dependencies found
# by dpkg-shlibdeps. The package lands in build-package/ (or $TAVELUNE_PACKAGE_BUILD_DIR); a
# second run rebuilds only what changed.
# Usage: scripts/package.sh [--no-deps]   (--no-deps: do not install missing Debian packages)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[[ "${1:-}" == "--no-deps" ]] || "$top/scripts/install-deps.sh"

build="${TAVELUNE_PACKAGE_BUILD_DIR:-$top/build-package}"
# Debian's flags (source paths mapped to "." inside the binaries), without -g: the package
# is stripped anyway, and debug information only makes the build slower.
flags() { (cd "$top" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
compile="$(flags CXXFLAGS | sed -E 's/(^| )-g( |$)/ /') $(flags CPPFLAGS)"
link=$(flags LDFLAGS)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTAVELUNE_TESTS=OFF -DTAVELUNE_BENCH=OFF \
    -DCMAKE_C_FLAGS="$compile" -DCMAKE_CXX_FLAGS="$compile" \
    -DCMAKE_EXE_LINKER_FLAGS="$link" -DCMAKE_SHARED_LINKER_FLAGS="$link" \
    -DCMAKE_MODULE_LINKER_FLAGS="$link"
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/tavelune_*.deb
(cd "$build" && cpack -G DEB)
ls -l "$build"/tavelune_*.deb
