#pragma once

#include "link/UsbDeviceChoice.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>

#include <vector>

// When a watch archives each recorder: on arrival, again after a failure that may pass (the
// recorder busy, unplugged in the middle) and, when asked, every so often while it stays.
namespace WatchSchedule {

// One recorder being served.
struct Recorder
{
    QString strKey;      // what tells a recorder plugged in again from one that stayed
    QString strPortPath; // empty on links without ports
    QString strName;     // for the log
    QString strFolder;   // with --per-recorder: its folder under the archive folder
    bool bDue = true;    // archive at the next chance: arrived, to try again, or --every
    QDeadlineTimer next{0};
    QString strLastFailure; // said once, not at every try

    bool IsDueNow() const { return bDue && next.hasExpired(); }
    // It has just arrived: archive it now.
    void Arrived();
    // It could not be opened: try again after nPollMs.
    void Busy(int nPollMs);
    // A pass ended with nStatus: a communication failure is tried again after nPollMs; else the
    // next pass comes after nEveryMs, or only at the next arrival when that is 0.
    void PassEnded(int nStatus, qint64 nEveryMs, int nPollMs);
};

// How long to wait for the next pass of any recorder: at most nWaitMs (-1: no limit of its
// own); -1 when nothing is due.
qint64 NextWaitMs(const std::vector<Recorder> &recorders, qint64 nWaitMs);

// The folder of each recorder under the archive folder: its serial number where that can name
// a folder and tells it from every other attached recorder, else its port path, which is unique
// on the bus. Names are compared case-folded, as the destination may ignore case.
QList<QString> FolderNames(const QList<UsbDeviceIdentity> &devices);

} // namespace WatchSchedule
