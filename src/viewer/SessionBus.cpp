// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/SessionBus.h"

#include <sys/stat.h>
#include <unistd.h>

bool SessionBusReachable(const QByteArray& address, const QByteArray& runtimeDir) {
    if (!address.isEmpty()) return true;
    if (runtimeDir.isEmpty()) return false;
    // The socket a login session's bus listens on when no address is given.
    struct stat st {};
    const QByteArray socket = runtimeDir + "/bus";
    return ::stat(socket.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

bool SessionBusReachable() {
    return SessionBusReachable(qgetenv("DBUS_SESSION_BUS_ADDRESS"), qgetenv("XDG_RUNTIME_DIR"));
}

bool PreventBusLaunch() {
    if (SessionBusReachable()) return false;
    // A socket below a device file: the connection fails with no file system search.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null/no-session-bus");
    return true;
}
