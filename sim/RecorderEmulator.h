#pragma once

#include "link/Frame.h"
#include "sim/EmulatorCard.h"
#include "sim/EmulatorFaults.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <memory>
#include <optional>

class QFile;
class RecorderFileEntry;

// The device side of the recorder protocol over a folder that plays the card. It only turns
// host bytes into device bytes: no threads, no sockets, no timers, so a transport, a socket
// server or a USB request handler can drive it. Not thread-safe: the driver serialises access.
class RecorderEmulator final
{
    Q_DISABLE_COPY_MOVE(RecorderEmulator)

public:
    using Clock = std::chrono::steady_clock;

    static constexpr int SPLIT_FIRST = 300;
    static constexpr int SPLIT_SECOND = 724;

    explicit RecorderEmulator(QString strCardDir, EmulatorFaults faults = {});
    ~RecorderEmulator();

    EmulatorFaults &Faults() { return m_faults; }
    QString CardDir() const { return m_card.Dir(); }
    EmulatorCard &Card() { return m_card; }
    // Fixed texts (even empty ones) in place of the generated ones, until UseGeneratedTexts.
    void SetDeviceInfo(const QString &strText) { m_deviceInfo = strText; }
    void SetCardInfo(const QString &strText) { m_cardInfo = strText; }
    void UseGeneratedTexts()
    {
        m_deviceInfo.reset();
        m_cardInfo.reset();
    }
    QString DeviceInfoText() const;
    QString CardInfoText() const;

    // Back to the idle state, as after power-up: pending output, a transfer in progress and a
    // partial upload are dropped. Drivers call it for every new connection.
    void Reset();

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
    void ClearReceivedCodes() { m_receivedCodes.clear(); }

private:
    enum class State { Idle, Listing, Downloading, Uploading };

    void HandleFrame(const quint8 *pFrame, quint32 nLength);
    void HandleRequest(quint16 nCode, const quint8 *pFrame, quint32 nLength);
    // The NUL-terminated UTF-16LE name of a request payload; empty when it has no terminator.
    static QString NameOf(const quint8 *pFrame, quint32 nLength);

    void ListNext();
    void StartDownload(const QString &strName);
    void SendNextBlock();
    void AppendRecord(const QString &strName);
    void StartUpload(const RecorderFileEntry &entry);
    void ReceiveBlock(const quint8 *pFrame, quint32 nLength);
    void SaveArchive();
    quint16 DeleteFile(const QString &strName);
    // Ends the transfer in progress; a partial upload is deleted.
    void EndTransfer();

    // Queues m_reply with nPayload payload bytes (after the garbage blocks when asked for).
    void Reply(quint16 nCode, quint32 nPayload = 0);
    void ReplyText(quint16 nCode, quint32 nOffset, const QString &strText);
    QByteArray ReplyBytes(quint16 nCode, quint32 nPayload);
    void ReleaseDue();
    // The late reply, once its time has come: ahead of anything said since.
    bool LateReplyDue() const;

    EmulatorCard m_card;
    EmulatorFaults m_faults;
    std::optional<QString> m_deviceInfo;
    std::optional<QString> m_cardInfo;
    QList<quint16> m_receivedCodes;

    QByteArray m_input;
    QByteArray m_output;
    qsizetype m_nOutputPos = 0;
    int m_nSplitPhase = 0;
    struct Delayed
    {
        Clock::time_point due;
        QByteArray bytes;
    };
    std::optional<Delayed> m_delayed;
    // A reply the recorder sends after the host stopped waiting (the late-reply fault), with
    // the answers to the requests that came meanwhile queued behind it: once sent they are on
    // their way, so later requests do not take them back; only a reset drops them.
    std::optional<Delayed> m_late;
    Frame m_reply;

    State m_state = State::Idle;
    QList<RecorderFileEntry> m_entries;
    qsizetype m_nNextEntry = 0;
    std::unique_ptr<QFile> m_pFile; // the file being downloaded or uploaded
    QString m_strDownloadName;
    QString m_strUploadName;
    quint32 m_nTotal = 0;
    quint32 m_nPosition = 0;
    int m_nBlocks = 0;
};
