#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Renders the application icon data/icons/tavelune.svg to the PNG sizes of the hicolor theme
# (data/icons/<size>/tavelune.png). The results are kept in the repository; run again only
# after changing the drawing. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
icons="$top/data/icons"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$icons/$size"
    rsvg-convert -w "$size" -h "$size" "$icons/tavelune.svg" -o "$icons/$size/tavelune.png"
done
ls -l "$icons"/*/tavelune.png
