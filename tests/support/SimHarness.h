#pragma once

// A recorder protocol wired to the in-process emulator over a temporary card folder, with the
// reports it posts collected for inspection.

#include "link/RecorderLink.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"
#include "sim/RecorderEmulator.h"
#include "sim/SimTransport.h"
#include "support/TapTransport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

#include <memory>
#include <mutex>

class SimHarness final
{
    Q_DISABLE_COPY_MOVE(SimHarness)

public:
    // Short enough to keep failing cases fast, long enough for a loaded machine.
    static constexpr int LINK_TIMEOUT_MS = 400;

    SimHarness()
        : m_card(Root() + QStringLiteral("/card"))
        , m_out(Root() + QStringLiteral("/out"))
        , pEmulator(std::make_shared<RecorderEmulator>(m_card))
        , link(MakeTap(pEmulator, &pTap))
        , protocol(link)
    {
        QDir().mkpath(m_card);
        QDir().mkpath(m_out);
        link.Open();
        link.SetTimeoutMs(LINK_TIMEOUT_MS);
        target = PostTarget::ForFunction([this](PostedMessage &&message) {
            std::lock_guard lock(m_mutex);
            posted.append(message);
        });
    }

    EmulatorFaults &Faults() { return pEmulator->Faults(); }
    QString CardDir() const { return m_card; }
    QString OutDir() const { return m_out + QLatin1Char('/'); }
    QString CardPath(const QString &strName) const { return m_card + QLatin1Char('/') + strName; }
    QString OutPath(const QString &strName) const { return m_out + QLatin1Char('/') + strName; }

    static QByteArray Pattern(qsizetype nSize, int nSeed = 1)
    {
        QByteArray bytes(nSize, Qt::Uninitialized);
        for (qsizetype i = 0; i < nSize; ++i)
            bytes[i] = char((i * 31 + nSeed * 7 + (i >> 10)) & 0xFF);
        return bytes;
    }
    static bool WriteFile(const QString &strPath, const QByteArray &bytes, const QDateTime &modified = {})
    {
        QFile file(strPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return false;
        // Buffered bytes written later would move the time again.
        file.flush();
        if (modified.isValid())
            file.setFileTime(modified, QFileDevice::FileModificationTime);
        return true;
    }
    static QByteArray ReadFile(const QString &strPath)
    {
        QFile file(strPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool PutCardFile(const QString &strName, const QByteArray &bytes, const QDateTime &modified = {})
    {
        return WriteFile(CardPath(strName), bytes, modified);
    }

    QList<PostedMessage> Posted(quint32 nMessage)
    {
        std::lock_guard lock(m_mutex);
        QList<PostedMessage> found;
        for (const PostedMessage &message : posted)
            if (message.nMessage == nMessage)
                found.append(message);
        return found;
    }
    QList<QPair<quint32, qint32>> Progress()
    {
        QList<QPair<quint32, qint32>> reports;
        for (const PostedMessage &message : Posted(WM_JOB_PROGRESS))
            reports.append(
                {message.Get<ProgressPost>()->nSoFar, qint32(message.Get<ProgressPost>()->nTotal)});
        return reports;
    }
    // Codes the recorder received, from the host's side of the wire.
    QList<quint16> Received() const { return pEmulator->ReceivedCodes(); }
    qsizetype CountReceived(quint16 nCode) const { return pEmulator->ReceivedCodes().count(nCode); }
    void ClearRecords()
    {
        std::lock_guard lock(m_mutex);
        posted.clear();
        pEmulator->ClearReceivedCodes();
    }
    // Files in a folder, hidden ones included, so left-over temporaries show.
    static QStringList Listing(const QString &strDir)
    {
        return QDir(strDir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

private:
    QString Root() const { return m_root.path(); }
    static std::unique_ptr<ITransport> MakeTap(const std::shared_ptr<RecorderEmulator> &pEmulator,
                                               TapTransport **ppTap)
    {
        auto pTransport = std::make_unique<TapTransport>(std::make_unique<SimTransport>(pEmulator));
        *ppTap = pTransport.get();
        return pTransport;
    }

    QTemporaryDir m_root;
    QString m_card;
    QString m_out;
    std::mutex m_mutex;

public:
    std::shared_ptr<RecorderEmulator> pEmulator;
    TapTransport *pTap = nullptr; // between the link and the emulator, for hooks
    RecorderLink link;
    RecorderProtocol protocol;
    ManualResetEvent stop;
    PostTarget target;
    QList<PostedMessage> posted;
};
