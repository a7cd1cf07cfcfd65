#include "core/InterfaceTexts.h"

TInterfaceTexts& InterfaceTexts() {
    static TInterfaceTexts texts;
    return texts;
}
