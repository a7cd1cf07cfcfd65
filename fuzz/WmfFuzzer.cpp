// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the WMF path: the record walk, libwmf's SVG output and QtSvg.
#include "MetafileFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzMetafile(data, size, [](TBytes bytes) { return WmfToSvg(bytes); });
    return 0;
}
