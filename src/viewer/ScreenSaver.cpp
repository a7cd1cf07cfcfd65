// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/ScreenSaver.h"

#include "viewer/SessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

// A short timeout: a bus that does not answer must not hold up the start of the program.
constexpr int kCallTimeoutMs = 500;

} // namespace

TScreenSaverInhibitor::TScreenSaverInhibitor() {
    if (!SessionBusReachable()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return;
    if (!bus.interface()->isServiceRegistered(kService).value()) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Inhibit"));
    call << QStringLiteral("Tavelune") << QStringLiteral("Showing images");
    const QDBusReply<uint32_t> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid()) return;
    m_cookie = reply.value();
    m_active = true;
}

TScreenSaverInhibitor::~TScreenSaverInhibitor() {
    if (!m_active) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("UnInhibit"));
    call << m_cookie;
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
}
