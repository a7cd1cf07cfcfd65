// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/InterfaceTexts.h"

TInterfaceTexts& InterfaceTexts() {
    static TInterfaceTexts texts;
    return texts;
}
