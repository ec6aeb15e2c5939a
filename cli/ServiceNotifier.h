#pragma once

#include <QString>

// Tells systemd about a service of Type=notify: that it is ready, and its status line, which
// `systemctl status` shows. Outside systemd (no NOTIFY_SOCKET) each call does nothing.
class ServiceNotifier final
{
public:
    // READY=1 with the first status.
    void Ready(const QString &strStatus);
    void Status(const QString &strStatus);
    // STOPPING=1 with the last status.
    void Stopping(const QString &strStatus);

private:
    void Send(const QString &strState, const QString &strStatus);
};
