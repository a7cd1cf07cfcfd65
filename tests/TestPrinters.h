// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Readable failure messages for the core value types.

#include "core/Color.h"
#include "core/Rect.h"

#include <ostream>

inline void PrintTo(const TTriple& t, std::ostream* os) {
    *os << "(r " << int(t.r) << ", g " << int(t.g) << ", b " << int(t.b) << ")";
}

inline void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
