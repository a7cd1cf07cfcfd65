// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/WheelNotches.h"

int TWheelNotches::Add(int delta) {
    if (delta == 0) return 0;
    if ((delta > 0) != (m_rest > 0)) m_rest = 0;
    const long long total = (long long)m_rest + delta;
    const long long notches = total / kWheelNotch; // toward zero: the rest keeps the sign
    m_rest = int(total - notches * kWheelNotch);
    return int(notches);
}
