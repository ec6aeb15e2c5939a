#include "archive/ArchiveStore.h"

#include "archive/ArchiveLock.h"
#include "archive/ArchiveRun.h"
#include "archive/CompareSink.h"
#include "archive/HashingSink.h"
#include "archive/IArchiveReport.h"
#include "archive/JournalIndex.h"
#include "archive/Sha256.h"
#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "core/PrintableText.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/RecorderReceiver.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace Archive {
namespace {

using PrintableText::Quoted;

// What became of a card file stored under strStoredName: it replaced the archived file, or it
// went in under its own name or beside the archived one.
Outcome StoredOutcome(const FileRecord &record, const QString &strStoredName, bool bReplaced)
{
    if (bReplaced)
        return Outcome::Replaced;
    return strStoredName == record.strCardName ? Outcome::Downloaded : Outcome::KeptBeside;
}

// Feeds a transfer's progress to the report.
struct ProgressReceiver : RecorderReceiver
{
    explicit ProgressReceiver(IArchiveReport &to)
        : report(to)
    {}
    IArchiveReport &report;
    void OnProgress(quint32 nSoFar, quint32 nTotal) override { report.FileProgress(nSoFar, nTotal); }
};

QJsonObject FileFields(const QString &strCardName, const QString &strLocalName, qint64 nSize,
                       const QString &strCardDate, const QString &strSha256)
{
    QJsonObject fields;
    fields.insert(QStringLiteral("card_name"), strCardName);
    fields.insert(QStringLiteral("local_name"), strLocalName);
    fields.insert(QStringLiteral("size"), nSize);
    fields.insert(QStringLiteral("card_date"), strCardDate);
    if (!strSha256.isEmpty())
        fields.insert(QStringLiteral("sha256"), strSha256);
    return fields;
}

} // namespace

void ArchiveStore::KillPoint(const char *pszStep)
{
    // Tests stop the program dead at one step of a file's writes, as a power cut or kill -9
    // would, to prove that the next pass finishes the work whatever the step.
    static const QByteArray step = qgetenv(ENV_KILL_AT);
    if (!step.isEmpty() && step == pszStep)
        ::raise(SIGKILL);
}

ArchiveStore::ArchiveStore(Session &session, const Options &options, ArchiveJournal::Context context)
    : m_session(session)
    , m_options(options)
    , m_journal(options.strDir, std::move(context))
    , m_manifest(options.strDir)
{}

void ArchiveStore::Failed(const QString &strWhy)
{
    m_session.report.Problem(strWhy);
    if (m_nStatus == 0)
        m_nStatus = RESULT_HOST_IO_ERROR;
}

bool ArchiveStore::JournalFile(const QString &strAction, const FileRecord &record, QJsonObject extra)
{
    QJsonObject fields = FileFields(record.strCardName, record.strLocalName, record.nSize,
                                    FileTime::IsoText(record.nFileTime), record.strSha256);
    for (auto it = extra.constBegin(); it != extra.constEnd(); ++it)
        fields.insert(it.key(), it.value());
    if (m_journal.Append(strAction, fields))
        return true;
    Failed(m_journal.FailureText());
    return false;
}

bool ArchiveStore::RecordHash(const QString &strName, const QByteArray &hex)
{
    const auto it = m_hashes.constFind(strName);
    if (it != m_hashes.cend() && *it == hex)
        return true;
    // A new name is one more line; a name whose bytes changed takes a rewrite of the file.
    const bool bNew = it == m_hashes.cend();
    const QByteArray old = bNew ? QByteArray() : *it;
    m_hashes.insert(strName, hex);
    const RecorderResult result = bNew ? m_manifest.Append({{strName, hex}}) : m_manifest.Rewrite(m_hashes);
    if (result.IsOk())
        return true;
    // What the manifest does not hold is not taken for listed.
    if (bNew)
        m_hashes.remove(strName);
    else
        m_hashes.insert(strName, old);
    Failed(QStringLiteral("cannot write the manifest %1: %2").arg(m_manifest.Path(), result.Detail()));
    return false;
}

bool ArchiveStore::HashFromDisk(const QString &strName, const QString &strWhy)
{
    QString strError;
    const QString strPath = m_options.strDir + strName;
    FileRecord shown;
    shown.strCardName = strName;
    m_session.report.FileStarted(shown);
    const qint64 nSize = QFileInfo(strPath).size();
    const QByteArray hex = Sha256::FileHex(
        strPath,
        [this, nSize](qint64 nHashed) -> bool {
            m_session.report.FileProgress(quint32(qMin<qint64>(nHashed, 0xFFFFFFFF)),
                                          quint32(qMin<qint64>(nSize, 0xFFFFFFFF)));
            return !m_session.stop.IsSet();
        },
        &strError);
    m_session.report.FileFinished(!hex.isEmpty());
    if (hex.isEmpty()) {
        if (!m_session.stop.IsSet())
            Failed(QStringLiteral("cannot hash %1: %2").arg(Quoted(strName), strError));
        return false;
    }
    if (!RecordHash(strName, hex))
        return false;
    QJsonObject fields;
    fields.insert(QStringLiteral("local_name"), strName);
    fields.insert(QStringLiteral("size"), nSize);
    fields.insert(QStringLiteral("sha256"), QString::fromLatin1(hex));
    fields.insert(QStringLiteral("reason"), strWhy);
    if (!m_journal.Append(QStringLiteral("hashed-from-disk"), fields))
        Failed(m_journal.FailureText());
    return true;
}

int ArchiveStore::Recover(const JournalIndex &index)
{
    IArchiveReport &report = m_session.report;
    // What a killed download left: a temporary file that no writer holds any more.
    for (const QString &strName : ArchiveLock::RemoveStaleTemporaryFiles(m_options.strDir)) {
        report.Line(QStringLiteral("removed %1, left by a download that was stopped").arg(Quoted(strName)));
        QJsonObject fields;
        fields.insert(QStringLiteral("local_name"), strName);
        if (!m_journal.Append(QStringLiteral("removed-temporary"), fields))
            Failed(m_journal.FailureText());
    }
    // A manifest line cut short: cut, and its file hashed again.
    QString strTorn;
    if (const RecorderResult repaired = m_manifest.RepairTornTail(&strTorn); !repaired.IsOk()) {
        Failed(QStringLiteral("cannot repair the manifest %1: %2").arg(m_manifest.Path(), repaired.Detail()));
        return m_nStatus;
    }
    Manifest::Contents contents;
    if (const RecorderResult read = m_manifest.Read(&contents); !read.IsOk()) {
        Failed(QStringLiteral("cannot read the manifest %1: %2").arg(m_manifest.Path(), read.Detail()));
        return m_nStatus;
    }
    m_hashes = contents.hashes;
    if (contents.nBadLines > 0 && !m_manifest.Rewrite(m_hashes).IsOk())
        Failed(QStringLiteral("cannot rewrite the manifest %1").arg(m_manifest.Path()));
    if (!strTorn.isEmpty())
        HashFromDisk(strTorn, QStringLiteral("its manifest line was cut short"));

    // A file noted as being stored that took its name, its outcome never written: the bytes
    // under the name tell whether it is that file.
    for (const JournalIndex::Intent &intent : index.PendingIntents()) {
        const QString strPath = m_options.strDir + intent.strLocalName;
        const QFileInfo info(strPath);
        // The size first: a name that holds something else is not read again at every pass.
        if (!info.isFile() || info.isSymLink() || info.size() != intent.card.nSize ||
            Sha256::FileHex(strPath) != intent.strSha256.toLatin1())
            continue;
        if (!RecordHash(intent.strLocalName, intent.strSha256.toLatin1()))
            continue;
        QJsonObject fields = FileFields(intent.card.strCardName, intent.strLocalName, intent.card.nSize,
                                        intent.card.strCardDate, intent.strSha256);
        fields.insert(QStringLiteral("recovered"), true);
        if (!m_journal.Append(intent.strOutcome, fields, true))
            Failed(m_journal.FailureText());
    }

    // An archive of an older version: its files have no digest yet.
    QStringList unhashed;
    for (const QString &strName : index.HoldingNames()) {
        const QFileInfo info(m_options.strDir + strName);
        if (!m_hashes.contains(strName) && info.isFile() && !info.isSymLink())
            unhashed.append(strName);
    }
    if (!unhashed.isEmpty()) {
        report.Line(QStringLiteral("hashing %1 archived files that have no digest yet").arg(unhashed.size()));
        quint64 nBytes = 0;
        for (const QString &strName : std::as_const(unhashed))
            nBytes += quint64(QFileInfo(m_options.strDir + strName).size());
        report.RunStarted(int(unhashed.size()), nBytes);
        for (const QString &strName : std::as_const(unhashed)) {
            if (m_session.stop.IsSet())
                break;
            HashFromDisk(strName, QStringLiteral("archived before digests were kept"));
        }
        report.RunEnded();
    }
    return m_nStatus;
}

RecorderResult ArchiveStore::Transfer(FileRecord &record, const DownloadPlan &plan)
{
    const bool bCompare = record.action == Action::Compare;
    const QString strTarget = bCompare ? record.strNewName : record.strLocalName;
    const bool bReplace = bCompare ? m_options.bReplaceChanged && record.strNewName == record.strLocalName
                                   : record.action == Action::Replace;
    const Outcome intended = StoredOutcome(record, strTarget, bReplace);

    std::unique_ptr<IDownloadSink> pSink;
    CompareSink *pCompare = nullptr;
    if (bCompare) {
        auto pCompareSink = std::make_unique<CompareSink>(plan.Folder(), record.strLocalName,
                                                          record.strNewName, bReplace, record.modified);
        pCompare = pCompareSink.get();
        pSink = std::move(pCompareSink);
    } else {
        DownloadPlan::Item item;
        item.strCardName = record.strCardName;
        item.strLocalName = record.strLocalName;
        item.modified = record.modified;
        item.nSize = record.nSize;
        pSink = std::make_unique<FileDownloadSink>(plan, item, bReplace);
    }
    // Before the file takes its name, the journal notes what it is (synced): a pass killed
    // after the name and before the outcome is finished by the next one, never repeated.
    HashingSink hashing(*pSink, [&](const QByteArray &hex, quint64 nBytes) {
        QJsonObject fields = FileFields(record.strCardName, strTarget, qint64(nBytes),
                                        FileTime::IsoText(record.nFileTime), QString::fromLatin1(hex));
        fields.insert(QStringLiteral("outcome"), OutcomeWord(intended));
        if (m_journal.Append(QStringLiteral("storing"), fields, true)) {
            KillPoint("noted");
            return RecorderResult();
        }
        return RecorderResult::Local(LocalReason::CannotWrite, m_journal.FailureText());
    });
    ProgressReceiver progress(m_session.report);
    const RecorderResult result =
        m_session.protocol.GetFile(m_session.stop, progress.Target(), record.strCardName, hashing);
    if (!result.IsOk())
        return result;
    KillPoint("named");
    record.nSize = quint32(hashing.Bytes());
    record.strSha256 = QString::fromLatin1(hashing.Hex());
    if (pCompare && pCompare->Result() == CompareSink::Outcome::Identical) {
        record.outcome = Outcome::Adopted;
    } else {
        record.outcome = intended;
        record.strLocalName = strTarget;
    }
    RecordHash(record.strLocalName, hashing.Hex());
    KillPoint("listed");
    return result;
}

bool ArchiveStore::ReadsBack(const FileRecord &record, QString *pWhy) const
{
    const QByteArray path = QFile::encodeName(m_options.strDir + record.strLocalName);
    const int nFd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (nFd < 0) {
        *pWhy = qt_error_string(errno);
        return false;
    }
    // The copy was synced when it took its name: its cached pages go, so that what is read
    // comes from the device.
    ::posix_fadvise(nFd, 0, 0, POSIX_FADV_DONTNEED);
    QString strError;
    const QByteArray hex = Sha256::FileHex(nFd, {}, &strError);
    ::close(nFd);
    if (hex.isEmpty()) {
        *pWhy = strError;
        return false;
    }
    if (hex != record.strSha256.toLatin1()) {
        *pWhy = QStringLiteral("its SHA-256 is %1, the recorder sent %2")
                    .arg(QString::fromLatin1(hex), record.strSha256);
        return false;
    }
    return true;
}

} // namespace Archive
