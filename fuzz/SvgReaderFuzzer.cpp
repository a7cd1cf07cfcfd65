// The SVG reader on arbitrary bytes, through the dispatcher's read and copy steps, with the
// GUI application that QtSvg's text needs.
#include "ImageReaderFuzzer.h"
#include "MetafileFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    return FuzzImageReader("a.svg", data, size, false);
}
