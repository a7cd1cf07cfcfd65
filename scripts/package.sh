#!/usr/bin/env bash
# Builds the Debian package of Tavelune: a release build installed under /usr, packed by CPack
# with the dependencies found by dpkg-shlibdeps. The package lands in build-package/.
# Usage: scripts/package.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

build="${TAVELUNE_PACKAGE_BUILD_DIR:-$top/build-package}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTAVELUNE_TESTS=OFF -DTAVELUNE_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)"
(cd "$build" && cpack -G DEB)
ls -l "$build"/tavelune_*.deb
