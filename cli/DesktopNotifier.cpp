#include "cli/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFileInfo>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString PATH = QStringLiteral("/org/freedesktop/Notifications");
const QString APP_NAME = QStringLiteral("OrvoConnect");
// The desktop entry's name, which is also the icon's.
const QString DESKTOP_ENTRY = QStringLiteral("com.haldrin.OrvoConnect");
const QString CONNECTION_NAME = QStringLiteral("orvo-notifications");

// The session bus, without letting libdbus launch one: the address from the environment, else the
// per-user bus of a systemd session where it exists. Not connected when there is none.
QDBusConnection SessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QDBusConnection::sessionBus();
    const QString strRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString strSocket = strRuntime + QStringLiteral("/bus");
    if (strRuntime.isEmpty() || !QFileInfo::exists(strSocket))
        return QDBusConnection(QString());
    return QDBusConnection::connectToBus(QStringLiteral("unix:path=") + strSocket, CONNECTION_NAME);
}

} // namespace

bool DesktopNotifier::Notify(const QString &strSummary, const QString &strBody)
{
    const QDBusConnection bus = SessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage message = QDBusMessage::createMethodCall(SERVICE, PATH, SERVICE, QStringLiteral("Notify"));
    // A desktop without a running service gets no notification rather than one started for it.
    message.setAutoStartService(false);
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DESKTOP_ENTRY}};
    message << APP_NAME << uint(0) << DESKTOP_ENTRY << strSummary << strBody << QStringList() << hints
            << int(-1);
    // The connection runs on QtDBus's own thread, so the reply (or the time-out) arrives without
    // an event loop here; the watch waits for it at most REPLY_TIMEOUT_MS.
    QDBusPendingCall pending = bus.asyncCall(message, REPLY_TIMEOUT_MS);
    pending.waitForFinished();
    return !pending.isError();
}
