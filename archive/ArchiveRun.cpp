// The archive run: decide for every selected card file, then download, compare and delete.

#include "archive/ArchiveRun.h"

#include "archive/ArchiveDecision.h"
#include "archive/ArchiveFolder.h"
#include "archive/ArchiveJournal.h"
#include "archive/ArchiveLock.h"
#include "archive/CompareSink.h"
#include "archive/IArchiveReport.h"
#include "archive/JournalIndex.h"
#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "core/PrintableText.h"
#include "core/ResultText.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/RecorderReceiver.h"

#include <QElapsedTimer>
#include <QHash>

namespace Archive {

QString OutcomeWord(Outcome outcome)
{
    switch (outcome) {
    case Outcome::None:
        break;
    case Outcome::Downloaded:
        return QStringLiteral("downloaded");
    case Outcome::KeptBeside:
        return QStringLiteral("kept-beside");
    case Outcome::Replaced:
        return QStringLiteral("replaced");
    case Outcome::Adopted:
        return QStringLiteral("adopted");
    case Outcome::Archived:
        return QStringLiteral("archived");
    case Outcome::Failed:
        return QStringLiteral("failed");
    }
    return QString();
}

namespace {

using PrintableText::Quoted;

// Counts what reaches the sink it wraps: the size that was stored, which is the recorder's
// word at the download rather than at the listing.
class CountingSink final : public IDownloadSink
{
public:
    explicit CountingSink(IDownloadSink &sink)
        : m_sink(sink)
    {}
    RecorderResult Open() override { return m_sink.Open(); }
    RecorderResult Write(const quint8 *pData, quint32 nLen) override
    {
        m_nBytes += nLen;
        return m_sink.Write(pData, nLen);
    }
    RecorderResult Flush() override { return m_sink.Flush(); }
    RecorderResult Commit() override { return m_sink.Commit(); }
    void Discard() override { m_sink.Discard(); }
    quint64 Bytes() const { return m_nBytes; }

private:
    IDownloadSink &m_sink;
    quint64 m_nBytes = 0;
};

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

// One file's transfer; the record gets its outcome. Returns the transfer's result.
RecorderResult Transfer(Session &session, const DownloadPlan &plan, FileRecord &record, bool bReplaceChanged)
{
    const auto getFile = [&session, &record](IDownloadSink &sink) {
        CountingSink counted(sink);
        ProgressReceiver progress(session.report);
        const RecorderResult result =
            session.protocol.GetFile(session.stop, progress.Target(), record.strCardName, counted);
        if (result.IsOk())
            record.nSize = quint32(counted.Bytes());
        return result;
    };
    if (record.action == Action::Compare) {
        const bool bReplaces = record.strNewName == record.strLocalName;
        CompareSink sink(plan.Folder(), record.strLocalName, record.strNewName, bReplaceChanged && bReplaces,
                         record.modified);
        const RecorderResult result = getFile(sink);
        if (result.IsOk() && sink.Result() == CompareSink::Outcome::Identical) {
            record.outcome = Outcome::Adopted;
        } else if (result.IsOk()) {
            record.outcome = StoredOutcome(record, record.strNewName, bReplaces);
            record.strLocalName = record.strNewName;
        }
        return result;
    }
    DownloadPlan::Item item;
    item.strCardName = record.strCardName;
    item.strLocalName = record.strLocalName;
    item.modified = record.modified;
    item.nSize = record.nSize;
    FileDownloadSink sink(plan, item, record.action == Action::Replace);
    const RecorderResult result = getFile(sink);
    if (result.IsOk())
        record.outcome = StoredOutcome(record, record.strLocalName, record.action == Action::Replace);
    return result;
}

// Counts what a run did and writes its journal; shared by the transfers and the deletions.
struct RunLog
{
    Session &session;
    Summary &summary;
    ArchiveJournal journal;
    int nStatus = RESULT_OK;
    bool bNotDeleted = false;

    void Failed(int nResult)
    {
        if (nStatus == RESULT_OK)
            nStatus = nResult;
    }
    int Fail(int nResult, const QString &strWhy)
    {
        session.report.Problem(strWhy);
        return nResult;
    }
    void FileFailed(FileRecord &record, int nResult, const QString &strWhy)
    {
        record.outcome = Outcome::Failed;
        record.strError = strWhy;
        ++summary.nFailed;
        session.report.FileDone(record);
        Failed(nResult);
    }
    void Journal(const QString &strAction, const FileRecord &record)
    {
        if (!journal.Append(strAction, record.strCardName, record.strLocalName, record.nSize,
                            FileTime::IsoText(record.nFileTime)))
            JournalFailed();
    }
    void JournalFailed()
    {
        session.report.Problem(
            QStringLiteral("cannot write the journal %1: %2").arg(journal.Path(), journal.Error()));
        Failed(RESULT_HOST_IO_ERROR);
    }
};

// Deletes from the card what this run archived, once the card's list, read again, shows each
// file as it was downloaded: a file the recorder wrote to meanwhile stays on the card. 0, or
// the status that ends the run.
int DeleteArchived(RunLog &log, const QList<FileRecord *> &stored)
{
    Session &session = log.session;
    if (session.stop.IsSet())
        return log.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCard(session, &entries))
        return nResult;
    QHash<QString, RecorderFileEntry> now;
    for (const RecorderFileEntry &entry : std::as_const(entries))
        now.insert(entry.Name(), entry);
    for (FileRecord *pRecord : stored) {
        if (session.stop.IsSet())
            return log.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        const auto it = now.constFind(pRecord->strCardName);
        if (it == now.cend())
            continue; // gone from the card already
        if (it->SizeLow() != pRecord->nListedSize || it->LastWriteTime() != pRecord->nFileTime) {
            pRecord->strKeptOnCard = QStringLiteral("changed since it was archived; kept on the card");
            log.bNotDeleted = true;
            session.report.Problem(
                QStringLiteral("%1 %2").arg(Quoted(pRecord->strCardName), pRecord->strKeptOnCard));
            continue;
        }
        const RecorderResult deleted = session.protocol.DeleteCardFile(pRecord->strCardName);
        if (deleted.IsOk()) {
            pRecord->bDeleted = true;
            ++log.summary.nDeleted;
            log.Journal(QStringLiteral("deleted"), *pRecord);
            session.report.Line(QStringLiteral("%1 deleted from the card").arg(Quoted(pRecord->strCardName)));
        } else if (deleted == RESULT_NOT_DELETED) {
            log.bNotDeleted = true;
            pRecord->strKeptOnCard = QStringLiteral("the recorder did not delete it");
            session.report.Problem(
                QStringLiteral("the recorder did not delete %1").arg(Quoted(pRecord->strCardName)));
        } else {
            return log.Fail(deleted, QStringLiteral("cannot delete %1: %2")
                                         .arg(Quoted(pRecord->strCardName), ResultText(deleted)));
        }
    }
    return RESULT_OK;
}

// Asks the recorder to save its archive data to the card, or says that a dry run would.
int SaveFirst(Session &session, const Options &options)
{
    if (options.bDryRun) {
        session.report.Line(
            QStringLiteral("would ask the recorder to save its archive data to the card first"));
        return RESULT_OK;
    }
    session.report.Uninterruptible(true);
    const RecorderResult saved = session.protocol.SaveArchiveData();
    session.report.Uninterruptible(false);
    if (!saved.IsOk())
        session.report.Problem(QStringLiteral("the archive data were not saved: ") + ResultText(saved));
    return saved;
}

} // namespace

int Run(Session &session, const Options &options, Summary *pSummary)
{
    Summary &summary = *pSummary;
    summary = Summary();
    QElapsedTimer elapsed;
    elapsed.start();
    IArchiveReport &report = session.report;

    if (options.bSaveFirst) {
        if (const int nResult = SaveFirst(session, options))
            return nResult;
    }
    if (const int nResult = RecorderIdentity(session, &summary.strRecorder))
        return nResult;
    RunLog log{session, summary, ArchiveJournal(options.strDir, summary.strRecorder)};
    if (!options.bDryRun) {
        // What a killed run left: a download's temporary file that no writer holds any more.
        for (const QString &strName : ArchiveLock::RemoveStaleTemporaryFiles(options.strDir)) {
            report.Line(
                QStringLiteral("removed %1, left by a download that was stopped").arg(Quoted(strName)));
            if (!log.journal.AppendLocal(QStringLiteral("removed-temporary"), strName))
                log.JournalFailed();
        }
    }
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCard(session, &entries))
        return nResult;

    DownloadPlan plan(options.strDir, DownloadPlan::Existing::Replace);
    ArchiveFolder folder(options.strDir);
    JournalIndex journal = JournalIndex::Read(options.strDir);
    summary.files = Decide(entries, options, plan, folder, journal, summary.strRecorder);
    summary.bDecided = true;
    if (options.bDryRun)
        return RESULT_OK;

    const auto finish = [&](int nResult) {
        summary.dSeconds = elapsed.elapsed() / 1000.0;
        return nResult;
    };
    int nTransfers = 0;
    quint64 nTransferBytes = 0;
    for (const FileRecord &record : std::as_const(summary.files)) {
        if (record.action != Action::Skip && record.action != Action::Refuse) {
            ++nTransfers;
            nTransferBytes += record.nSize;
        }
    }
    report.RunStarted(nTransfers, nTransferBytes);
    QList<FileRecord *> stored; // archived by this run: the candidates for --delete-after
    const auto transfer = [&](FileRecord &record) -> int {
        if (record.action == Action::Skip) {
            record.outcome = Outcome::Archived;
            ++summary.nAlreadyArchived;
            return RESULT_OK;
        }
        if (record.action == Action::Refuse) {
            log.FileFailed(record, RESULT_HOST_IO_ERROR, record.strWhy);
            return RESULT_OK;
        }
        if (session.stop.IsSet())
            return log.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        report.FileStarted(record);
        report.WritingLocalFile(true);
        const RecorderResult result = Transfer(session, plan, record, options.bReplaceChanged);
        report.WritingLocalFile(false);
        report.FileFinished(result.IsOk());
        if (result == RESULT_COMM_ERROR || result == RESULT_CANCELLED) {
            // The recorder is out of step or the operator wants out: the run ends here.
            log.FileFailed(record, result, result.Detail().isEmpty() ? ResultText(result) : result.Detail());
            return log.nStatus;
        }
        if (!result.IsOk()) {
            log.FileFailed(record, result,
                           !result.Detail().isEmpty() ? PrintableText::PrintableName(result.Detail())
                           : result == RESULT_DEVICE_STOPPED
                               ? QStringLiteral("the recorder refused to send it")
                               : ResultText(result));
            return RESULT_OK;
        }
        summary.nBytes += record.nSize;
        if (record.outcome == Outcome::Adopted)
            ++summary.nAlreadyArchived;
        else if (record.outcome == Outcome::KeptBeside)
            ++summary.nKeptBeside;
        else
            ++summary.nDownloaded;
        folder.Note(record.strLocalName, record.nSize, record.modified);
        log.Journal(OutcomeWord(record.outcome), record);
        report.FileDone(record);
        stored.append(&record);
        return RESULT_OK;
    };
    for (FileRecord &record : summary.files) {
        if (const int nEnd = transfer(record)) {
            report.RunEnded();
            return finish(nEnd);
        }
    }
    report.RunEnded();

    // Only a file that is now on this disk, proved by its own bytes, leaves the card.
    if (options.bDeleteAfter && !stored.isEmpty()) {
        if (const int nResult = DeleteArchived(log, stored))
            return finish(nResult);
    }
    if (log.nStatus == RESULT_OK && log.bNotDeleted)
        log.nStatus = RESULT_NOT_DELETED;
    return finish(log.nStatus);
}

} // namespace Archive
