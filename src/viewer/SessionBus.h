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

// Where no session bus is reachable, names a bus address that fails at once, so that no
// connection of the process starts a bus, nor any of the programs it starts. Changes the
// environment: only while the process has a single thread. True when it named one.
bool PreventBusLaunch();
