#pragma once

#include "link/LinkOpenFailure.h"

#include <QString>
#include <QtGlobal>

#include <functional>

// A byte channel to the recorder: one host-to-recorder and one recorder-to-host stream.
// Implementations: libusb bulk endpoints, a TCP stream, the in-process emulator.
class ITransport
{
public:
    // Device-change notices forwarded to the window, with the same numbers as the
    // desktop's device-change events.
    static constexpr quint32 NOTICE_ARRIVAL = 0x8000;
    static constexpr quint32 NOTICE_REMOVE_COMPLETE = 0x8004;
    using NoticeCallback = std::function<void(quint32 nNotice)>;

    virtual ~ITransport() = default;

    // Finds and opens the recorder. On failure returns false and, when there is something
    // an operator can act on, says why in *pFailure (left empty otherwise).
    virtual bool Open(LinkOpenFailure *pFailure) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Writes exactly nLen bytes (a whole number of 1024-byte blocks), as one transfer where
    // the channel allows. True when all bytes left within nTimeoutMs.
    virtual bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) = 0;

    // Reads at least one and at most nMax bytes. Returns the count read, or -1 on failure or
    // when nothing arrived within nTimeoutMs.
    virtual qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) = 0;

    // Wakes the Read or Write that waits, from any thread: it returns at once as failed. A wake
    // that comes while no transfer waits is kept for the next one, so a caller that checks its
    // stop flag and then starts a transfer cannot miss it; each wake ends one transfer. Open
    // waits for a connection (TCP) end the same way. The default does nothing: the transfer
    // runs out its time-out.
    virtual void Wake() {}

    // True once the channel knows the recorder is gone (connection closed, device removed),
    // as opposed to merely silent.
    virtual bool IsGone() const { return false; }

    // The open recorder's serial number, where the channel has one (USB); empty otherwise.
    virtual QString Serial() const { return QString(); }

    // Where the text that chooses one of several attached recorders comes from (a serial number
    // or a port path; empty: the first), asked at each Open and each notice. False where the
    // channel reaches a single recorder.
    using DeviceChoiceProvider = std::function<QString()>;
    virtual bool SetDeviceChoice(DeviceChoiceProvider /*provider*/) { return false; }

    // Registers for arrival and removal notices. The callback may run on any thread.
    // Returns false where the transport has no notices.
    virtual bool RegisterNotifications(NoticeCallback /*callback*/) { return false; }
};
