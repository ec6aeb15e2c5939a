#pragma once

// The one fake recorder of the tests: the emulator over a temporary card, behind an
// intercepting transport, with the program's link and protocol on top and the reports they
// post collected. ServeTcp offers the same recorder, hooks and all, to another process.

#include "link/RecorderLink.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"
#include "sim/EmulatorFaults.h"
#include "sim/RecorderEmulator.h"
#include "support/InterceptingTransport.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The posts of one exchange in posting order, each with whether its sender had already said it
// had finished when it was posted.
class PostLog final
{
public:
    struct Entry : PostedMessage
    {
        bool bAfterFinished = false;
    };

    // A target whose posts are logged; isFinished, when given, is asked at each post.
    PostTarget Target(std::function<bool()> isFinished = {});
    QList<Entry> Posts() const;
    QList<Entry> Of(quint32 nMessage) const;
    // (so far, total) of each WM_JOB_PROGRESS.
    QList<QPair<quint32, quint32>> Progress() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    QList<Entry> m_posts;
};

class FakeRecorder final
{
    Q_DISABLE_COPY_MOVE(FakeRecorder)

public:
    // Short enough to keep failing cases fast, long enough for a loaded machine.
    static constexpr int LINK_TIMEOUT_MS = 400;

    explicit FakeRecorder(const QMap<QString, QByteArray> &files = {}, const EmulatorFaults &faults = {});
    ~FakeRecorder();

    EmulatorFaults &Faults() { return pEmulator->Faults(); }
    InterceptingTransport &Wire() { return *pWire; }

    QString CardDir() const { return m_strCard; }
    QString OutDir() const { return m_strOut; }
    QString CardPath(const QString &strName) const { return m_strCard + QLatin1Char('/') + strName; }
    QString OutPath(const QString &strName) const { return m_strOut + QLatin1Char('/') + strName; }
    bool PutCardFile(const QString &strName, const QByteArray &bytes, const QDateTime &modified = {});
    // A card file's bytes, or "<missing>".
    QByteArray CardFile(const QString &strName) const;
    QStringList CardFiles() const;

    // Serves this recorder on a local TCP port, one connection at a time, each finding it idle;
    // returns the link name ("tcp:127.0.0.1:PORT"), empty when it cannot listen. The test's own
    // link must stay unused meanwhile.
    QString ServeTcp();

    // For a device that carries the host's bytes as a stream (TCP, USB): whole frames go on
    // through the wire one write each, the rest waits for its remainder.
    void FromHost(const quint8 *pData, qsizetype nLen);
    // As if plugged in again: the recorder idle, no half frame of the host's kept.
    void Replug();

    // A stop event and a post target for exchanges run straight on the protocol.
    ManualResetEvent stop;
    PostLog posts;
    PostTarget target;

private:
    void Serve();
    bool ServeClient(int nClient);

    QTemporaryDir m_root;
    QString m_strCard;
    QString m_strOut;

public:
    std::shared_ptr<RecorderEmulator> pEmulator;
    InterceptingTransport *pWire; // owned by link
    RecorderLink link;
    RecorderProtocol protocol;

private:
    int m_nListen = -1;
    QByteArray m_fromHost; // the host's bytes short of a whole frame
    std::atomic<bool> m_bQuit{false};
    std::thread m_server;
};
