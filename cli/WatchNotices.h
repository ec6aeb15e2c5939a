#pragma once

#include "archive/ArchiveRecord.h"
#include "cli/DesktopNotifier.h"
#include "cli/ServiceNotifier.h"

#include <QString>
#include <QTime>

// What watch tells beyond its log: the desktop, after a pass that archived, deleted or failed
// something, and systemd, whose status line shows the last event.
class WatchNotices final
{
public:
    // A notification for the desktop; empty after a pass with nothing new.
    struct Notice
    {
        QString strSummary;
        QString strBody;
    };

    explicit WatchNotices(bool bDesktop)
        : m_bDesktop(bDesktop)
    {}

    // The folder and the link are ready; no pass has run yet.
    void Ready();
    void Archiving(const QString &strName);
    // The recorder is attached but cannot be opened; it is tried again.
    void Busy(const QString &strName);
    // No recorder to archive (gone, or not there yet).
    void Waiting();
    // After a pass that ran to its summary. strName is the watch's name of the recorder, for
    // when the pass did not learn its identity; strDir the folder it archived into.
    void PassDone(const Archive::Summary &summary, const QString &strName, const QString &strDir);
    void Stopping();

    // The recorder as the watch names it: its identity when that is one line (a USB serial
    // number), else strName.
    static QString RecorderName(const Archive::Summary &summary, const QString &strName);
    // strDir with the home folder shown as "~".
    static QString ShownFolder(const QString &strDir, const QString &strHome);
    static Notice PassNotice(const Archive::Summary &summary, const QString &strRecorder,
                             const QString &strFolder);
    // "archived 12 files from SN-4711 at 14:02", for the status line.
    static QString PassStatus(const Archive::Summary &summary, const QString &strRecorder, QTime time);

private:
    const bool m_bDesktop;
    DesktopNotifier m_desktop;
    ServiceNotifier m_service;
    QString m_strLastPass;
};
