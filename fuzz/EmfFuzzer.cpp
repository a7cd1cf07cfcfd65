// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the EMF path: the record walk, libemf2svg and QtSvg. The viewer
// draws through the helper program; here the helper's drawing runs in this process, so a
// fault in it or in the library ends the run where it happens, under the sanitizers.
#include "MetafileFuzzCommon.h"
#include "emfrender/EmfSvg.h"
#include "formats/EmfHelper.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool inProcess = [] {
        SetEmfDrawer([](TBytes emf) { return QByteArray::fromStdString(EmfToSvgText(emf)); });
        return true;
    }();
    (void)inProcess;
    FuzzMetafile(data, size, [](TBytes bytes) { return EmfToSvg(bytes); });
    return 0;
}
