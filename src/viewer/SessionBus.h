// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whether the desktop's session bus can be reached without starting one. With neither an address
// in the environment nor the login session's socket, the bus library's first connection forks a
// launcher (X11 autolaunch) that starts a private bus for nothing: under a bare X server Qt's
// accessibility bridge would cost a process at every start.

#include <QByteArray>

bool SessionBusReachable();
// The same from the values of DBUS_SESSION_BUS_ADDRESS and XDG_RUNTIME_DIR.
bool SessionBusReachable(const QByteArray& address, const QByteArray& runtimeDir);

// While it lives, where no session bus is reachable, the environment names a bus address that
// fails at once, so that connecting starts nothing; the environment is as before afterwards
// (programs started later see it unchanged).
class TNoBusLaunch {
public:
    TNoBusLaunch();
    ~TNoBusLaunch();
    TNoBusLaunch(const TNoBusLaunch&) = delete;
    TNoBusLaunch& operator=(const TNoBusLaunch&) = delete;

private:
    bool m_set = false;
};
