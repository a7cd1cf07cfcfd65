// The JPEG XL reader on arbitrary bytes, through the dispatcher's read and copy steps.
#include "ImageReaderFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImageReader("a.jxl", data, size, false);
}
