#pragma once

#include <QString>

// Shows a notification through the desktop's notification service (org.freedesktop.Notifications
// on the session bus). It never starts the service, and waits at most REPLY_TIMEOUT_MS for it:
// without a session bus or a service, nothing is shown and nothing is said.
class DesktopNotifier final
{
public:
    static constexpr int REPLY_TIMEOUT_MS = 1000;

    // True when the service took the notification.
    bool Notify(const QString &strSummary, const QString &strBody);
};
