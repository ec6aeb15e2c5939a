#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <chrono>
#include <optional>

// Ways the emulated recorder can misbehave, for tests and demos.
struct EmulatorFaults
{
    bool bNoCard = false;            // uploads and archive saves answer RSP_NO_CARD
    bool bCardFull = false;          // uploads answer RSP_CARD_FULL
    QStringList refuseDelete;        // names whose deletion is refused; "*" refuses all
    bool bRefuseUpload = false;      // uploads answer RSP_REFUSED
    int nStopDownloadAfter = -1;     // after N blocks of a download, send nStopDownloadCode
    quint16 nStopDownloadCode = 0x8100; // RSP_OK or CMD_ABORT in place of the next block
    bool bSilent = false;            // read requests, answer nothing
    bool bGarbageBeforeReply = false; // a block with a bad magic and one with a foreign code first
    bool bSplitReplies = false;      // deliver replies in reads of 300, then 724 bytes
    int nSaveArchiveDelayMs = 0;     // answer an archive save after this long
};

// The device side of the recorder protocol over a folder that plays the card. Not
// thread-safe: a transport serialises access to it.
class RecorderEmulator
{
    Q_DISABLE_COPY_MOVE(RecorderEmulator)

public:
    using Clock = std::chrono::steady_clock;

    explicit RecorderEmulator(QString strCardDir, EmulatorFaults faults = {});
    ~RecorderEmulator();

    EmulatorFaults &Faults() { return m_faults; }
    QString CardDir() const { return m_strCardDir; }
    void SetDeviceInfo(const QString &strText) { m_strDeviceInfo = strText; }
    void SetCardInfo(const QString &strText) { m_strCardInfo = strText; }

    // Host to recorder: any number of bytes; each complete frame is acted upon at once.
    void HostWrite(const quint8 *pData, qsizetype nLen);

    // Recorder to host: how many bytes could be read now (delayed replies that are due are
    // released first), and the read itself, honouring the split fault.
    qsizetype Available();
    qsizetype HostRead(quint8 *pData, qsizetype nMax);

    // When the next delayed reply falls due, if one is pending.
    std::optional<Clock::time_point> NextDue() const;

    // Codes of the frames received from the host, in order (for tests).
    const QList<quint16> &ReceivedCodes() const { return m_receivedCodes; }

private:
    struct Private;
    Private *d;
    QString m_strCardDir;
    QString m_strDeviceInfo;
    QString m_strCardInfo;
    EmulatorFaults m_faults;
    QList<quint16> m_receivedCodes;
};
