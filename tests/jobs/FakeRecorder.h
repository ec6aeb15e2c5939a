#pragma once

#include "ITransport.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

// A small scripted recorder behind the transport interface: answers each request frame as it is
// written, from an in-memory card. Lets the job tests run every flow, inject faults and act at a
// chosen moment of the exchange (onCommand runs on the writing thread, before the answer).
class FakeRecorder final : public ITransport
{
public:
    struct State
    {
        QString strDeviceInfo = QStringLiteral("Recorder 42");
        QString strCardInfo = QStringLiteral("Card 128 MB");
        bool bNoCard = false;
        QMap<QString, QByteArray> files; // the card, in name order
        QSet<QString> refuseDelete;
        int nBlockData = 1000;       // bytes of file data per download block
        int nStopDownloadAfter = -1; // blocks of a download sent before RSP_OK stops it
        quint16 nGoneOnCommand = 0;  // the recorder vanishes when this request arrives
        std::function<void(quint16 nCode, const QString &strName)> onCommand;
    };

    explicit FakeRecorder(State state);

    bool Open(QString *) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    bool IsGone() const override { return m_bGone; }

    void SetGone() { m_bGone = true; }
    // Read these only once the job's thread has ended.
    const State &Card() const { return m_state; }
    const QList<quint16> &ReceivedCodes() const { return m_codes; }
    const QByteArray &Uploaded() const { return m_upload; }

private:
    void Handle(quint16 nCode, const QByteArray &frame);
    void Reply(quint16 nCode, const QByteArray &payload = {});
    void SendEntry(const QString &strName, quint32 nSize);
    void SendNextDownloadBlock();

    enum class Mode { Idle, Listing, Downloading, Uploading };

    State m_state;
    std::atomic<bool> m_bGone{false};
    QList<quint16> m_codes;
    QByteArray m_toHost;
    Mode m_mode = Mode::Idle;
    QStringList m_listing;
    QByteArray m_download;
    int m_nDownloadPos = 0;
    int m_nBlocksSent = 0;
    QString m_strUploadName;
    QByteArray m_upload;
};
