// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Keeps the desktop's screen saver off for the life of the object, through the freedesktop.org
// screen-saver interface on the session bus; does nothing where there is none.

#include <cstdint>

class TScreenSaverInhibitor {
public:
    TScreenSaverInhibitor();
    ~TScreenSaverInhibitor();
    TScreenSaverInhibitor(const TScreenSaverInhibitor&) = delete;
    TScreenSaverInhibitor& operator=(const TScreenSaverInhibitor&) = delete;

    bool Active() const { return m_active; }

private:
    uint32_t m_cookie = 0;
    bool m_active = false;
};
