// The archive run: decide for every selected card file, then download, compare and delete.

#include "archive/ArchiveRun.h"

#include "archive/ArchiveDecision.h"
#include "archive/ArchiveFolder.h"
#include "archive/ArchiveStore.h"
#include "archive/IArchiveReport.h"
#include "archive/JournalIndex.h"
#include "core/DownloadPlan.h"
#include "core/PrintableText.h"
#include "core/ResultText.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>

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

// Counts what a run did; shared by the transfers and the deletions.
struct RunLog
{
    Session &session;
    Summary &summary;
    ArchiveStore &store;
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
        record.failure = RecorderResultCode(nResult);
        ++summary.nFailed;
        session.report.FileDone(record);
        Failed(nResult);
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
        // Only a copy that reads back from the disk as the recorder sent it frees the card.
        if (QString strWhy; !log.store.ReadsBack(*pRecord, &strWhy)) {
            pRecord->strKeptOnCard = QStringLiteral("the archived copy does not read back; kept on the card");
            log.Failed(RESULT_HOST_IO_ERROR);
            session.report.Problem(QStringLiteral("%1: %2 (%3)")
                                       .arg(Quoted(pRecord->strCardName), pRecord->strKeptOnCard, strWhy));
            QJsonObject why;
            why.insert(QStringLiteral("reason"), strWhy);
            log.store.JournalFile(QStringLiteral("void"), *pRecord, why);
            continue;
        }
        const RecorderResult deleted = session.protocol.DeleteCardFile(pRecord->strCardName);
        if (deleted.IsOk()) {
            pRecord->bDeleted = true;
            ++log.summary.nDeleted;
            log.store.JournalFile(QStringLiteral("deleted"), *pRecord);
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
    ArchiveJournal::Context recorder;
    if (const int nResult = ReadRecorder(session, &recorder))
        return nResult;
    summary.strRecorder = recorder.strRecorder;
    ArchiveStore store(session, options, recorder);
    RunLog log{session, summary, store};
    if (!options.bDryRun) {
        QJsonObject start;
        start.insert(QStringLiteral("command"), options.strCommand);
        start.insert(QStringLiteral("options"), QJsonArray::fromStringList(options.arguments));
        if (!store.Journal().Append(QStringLiteral("run-start"), start, true))
            return log.Fail(RESULT_HOST_IO_ERROR, store.Journal().FailureText());
        if (const int nResult = store.Recover(JournalIndex::Read(options.strDir)))
            log.Failed(nResult);
        if (session.stop.IsSet())
            return log.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
    }
    // Each pass ends with its summary in the journal, however it ends.
    const auto finish = [&](int nResult) {
        summary.dSeconds = elapsed.elapsed() / 1000.0;
        if (!options.bDryRun) {
            QJsonObject end;
            end.insert(QStringLiteral("downloaded"), summary.nDownloaded);
            end.insert(QStringLiteral("kept_beside"), summary.nKeptBeside);
            end.insert(QStringLiteral("already_archived"), summary.nAlreadyArchived);
            end.insert(QStringLiteral("failed"), summary.nFailed);
            end.insert(QStringLiteral("deleted"), summary.nDeleted);
            end.insert(QStringLiteral("status"), nResult);
            if (!store.Journal().Append(QStringLiteral("run-end"), end, true) && nResult == RESULT_OK)
                nResult = log.Fail(RESULT_HOST_IO_ERROR, store.Journal().FailureText());
            summary.strJournalHead = store.Journal().HeadHash();
        }
        return nResult;
    };
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCard(session, &entries))
        return finish(nResult);

    DownloadPlan plan(options.strDir, DownloadPlan::Existing::Replace);
    ArchiveFolder folder(options.strDir);
    JournalIndex journal = JournalIndex::Read(options.strDir);
    summary.files = Decide(entries, options, plan, folder, journal, summary.strRecorder);
    summary.bDecided = true;
    if (options.bDryRun)
        return RESULT_OK;

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
        const RecorderResult result = store.Transfer(record, plan);
        report.WritingLocalFile(false);
        report.FileFinished(result.IsOk());
        record.reason = result.Reason();
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
        store.JournalFile(OutcomeWord(record.outcome), record);
        ArchiveStore::KillPoint("journaled");
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
    log.Failed(store.Status());

    // Only a file that is now on this disk, proved by its own bytes, leaves the card.
    if (options.bDeleteAfter && !stored.isEmpty()) {
        if (const int nResult = DeleteArchived(log, stored))
            return finish(nResult);
    }
    log.Failed(store.Status());
    if (log.nStatus == RESULT_OK && log.bNotDeleted)
        log.nStatus = RESULT_NOT_DELETED;
    return finish(log.nStatus);
}

} // namespace Archive
