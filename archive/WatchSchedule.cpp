#include "archive/WatchSchedule.h"

#include "core/LocalFileName.h"
#include "core/RecorderResult.h"

namespace WatchSchedule {

void Recorder::Arrived()
{
    bDue = true;
    next.setRemainingTime(0);
}

void Recorder::Busy(int nPollMs)
{
    next.setRemainingTime(nPollMs);
}

void Recorder::PassEnded(int nStatus, qint64 nEveryMs, int nPollMs)
{
    if (nStatus == RESULT_COMM_ERROR) {
        // Unplugged in the middle, or out of step: again while it stays attached. A file cut
        // short left nothing behind and is taken again.
        next.setRemainingTime(nPollMs);
    } else if (nEveryMs > 0) {
        next.setRemainingTime(nEveryMs);
    } else {
        bDue = false;
    }
}

qint64 NextWaitMs(const std::vector<Recorder> &recorders, qint64 nWaitMs)
{
    for (const Recorder &recorder : recorders) {
        if (recorder.bDue)
            nWaitMs =
                nWaitMs < 0 ? recorder.next.remainingTime() : qMin(nWaitMs, recorder.next.remainingTime());
    }
    return nWaitMs;
}

QList<QString> FolderNames(const QList<UsbDeviceIdentity> &devices)
{
    QList<QString> names;
    for (const UsbDeviceIdentity &device : devices) {
        bool bUsable = !device.strSerial.isEmpty() && IsSafeLocalFileName(device.strSerial) &&
                       !LocalNames::IsReserved(device.strSerial);
        for (const UsbDeviceIdentity &other : devices) {
            if (&other == &device || !bUsable)
                continue;
            if (other.strSerial.compare(device.strSerial, Qt::CaseInsensitive) == 0 ||
                other.strPortPath.compare(device.strSerial, Qt::CaseInsensitive) == 0)
                bUsable = false;
        }
        names.append(bUsable ? device.strSerial : device.strPortPath);
    }
    return names;
}

} // namespace WatchSchedule
