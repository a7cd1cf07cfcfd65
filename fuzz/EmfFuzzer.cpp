// Feeds arbitrary bytes to the EMF path: the record walk, libemf2svg and QtSvg.
#include "MetafileFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzMetafile(data, size, [](TBytes bytes) { return EmfToSvg(bytes); });
    return 0;
}
