// The archive run: decide for every selected card file, then download, compare and delete.

#include "cli/Archive.h"
#include "cli/ArchiveJournal.h"
#include "cli/ArchiveReport.h"
#include "cli/ArchiveDecision.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "cli/JournalIndex.h"
#include "core/ArchiveFolder.h"
#include "core/ArchiveLock.h"
#include "core/CompareSink.h"
#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"

#include <QElapsedTimer>
#include <QHash>
#include <QScopeGuard>

#include <algorithm>

namespace Archive {
namespace {

using ListingFormat::Quoted;

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
QString StoredOutcome(const FileRecord &record, const QString &strStoredName, bool bReplaced)
{
    if (bReplaced)
        return QStringLiteral("replaced");
    return strStoredName == record.strCardName ? QStringLiteral("downloaded") : QStringLiteral("kept-beside");
}

// One file's transfer; the record gets its outcome. Returns the transfer's result.
RecorderResult Transfer(CliContext &context, const DownloadPlan &plan, FileRecord &record,
                        bool bReplaceChanged)
{
    const auto getFile = [&context, &record](IDownloadSink &sink) {
        CountingSink counted(sink);
        const RecorderResult result =
            context.Protocol().GetFile(context.Stop(), context.ProgressTarget(), record.strCardName, counted);
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
            record.strOutcome = QStringLiteral("adopted");
        } else if (result.IsOk()) {
            record.strOutcome = StoredOutcome(record, record.strNewName, bReplaces);
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
        record.strOutcome = StoredOutcome(record, record.strLocalName, record.action == Action::Replace);
    return result;
}

// Counts what a run did and writes its journal; shared by the transfers and the deletions.
struct RunLog
{
    CliContext &context;
    const Options &options;
    Summary &summary;
    ArchiveJournal journal;
    int nStatus = RESULT_OK;
    bool bNotDeleted = false;

    void Say(const QString &strLine)
    {
        if (!options.bJson)
            context.Say(strLine);
    }
    void Failed(int nResult)
    {
        if (nStatus == RESULT_OK)
            nStatus = nResult;
    }
    void FileFailed(FileRecord &record, int nResult, const QString &strWhy)
    {
        record.strOutcome = QStringLiteral("failed");
        record.strError = strWhy;
        ++summary.nFailed;
        context.Report(QStringLiteral("cannot archive %1: %2").arg(Quoted(record.strCardName), strWhy));
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
        context.Report(
            QStringLiteral("cannot write the journal %1: %2").arg(journal.Path(), journal.Error()));
        Failed(RESULT_HOST_IO_ERROR);
    }
};

// Deletes from the card what this run archived, once the card's list, read again, shows each
// file as it was downloaded: a file the recorder wrote to meanwhile stays on the card. 0, or
// the status that ends the run.
int DeleteArchived(RunLog &log, const QList<FileRecord *> &stored)
{
    CliContext &context = log.context;
    if (context.IsStopped())
        return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;
    QHash<QString, RecorderFileEntry> now;
    for (const RecorderFileEntry &entry : std::as_const(entries))
        now.insert(entry.Name(), entry);
    for (FileRecord *pRecord : stored) {
        if (context.IsStopped())
            return context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED));
        const auto it = now.constFind(pRecord->strCardName);
        if (it == now.cend())
            continue; // gone from the card already
        if (it->SizeLow() != pRecord->nListedSize || it->LastWriteTime() != pRecord->nFileTime) {
            pRecord->strKeptOnCard = QStringLiteral("changed since it was archived; kept on the card");
            log.bNotDeleted = true;
            context.Report(QStringLiteral("%1 %2").arg(Quoted(pRecord->strCardName), pRecord->strKeptOnCard));
            continue;
        }
        const RecorderResult deleted = context.Protocol().DeleteCardFile(pRecord->strCardName);
        if (deleted.IsOk()) {
            pRecord->bDeleted = true;
            ++log.summary.nDeleted;
            log.Journal(QStringLiteral("deleted"), *pRecord);
            log.Say(QStringLiteral("%1 deleted from the card").arg(Quoted(pRecord->strCardName)));
        } else if (deleted == RESULT_NOT_DELETED) {
            log.bNotDeleted = true;
            pRecord->strKeptOnCard = QStringLiteral("the recorder did not delete it");
            context.Report(
                QStringLiteral("the recorder did not delete %1").arg(Quoted(pRecord->strCardName)));
        } else {
            return context.Fail(deleted, QStringLiteral("cannot delete %1: %2")
                                             .arg(Quoted(pRecord->strCardName), ResultText(deleted)));
        }
    }
    return RESULT_OK;
}

} // namespace

int Run(CliContext &context, const Options &options, Summary *pSummary)
{
    Summary &summary = *pSummary;
    summary = Summary();
    QElapsedTimer elapsed;
    elapsed.start();

    if (options.bSaveFirst) {
        if (options.bDryRun) {
            if (!options.bJson)
                context.Say(
                    QStringLiteral("would ask the recorder to save its archive data to the card first"));
        } else {
            context.SetUninterruptible(true);
            const RecorderResult saved = context.Protocol().SaveArchiveData();
            context.SetUninterruptible(false);
            if (!saved.IsOk())
                return context.Fail(saved,
                                    QStringLiteral("the archive data were not saved: ") + ResultText(saved));
        }
    }
    if (const int nResult = RecorderIdentity(context, &summary.strRecorder))
        return nResult;
    RunLog log{context, options, summary, ArchiveJournal(options.strDir, summary.strRecorder)};
    if (!options.bDryRun) {
        // What a killed run left: a download's temporary file that no writer holds any more.
        for (const QString &strName : ArchiveLock::RemoveStaleTemporaryFiles(options.strDir)) {
            log.Say(QStringLiteral("removed %1, left by a download that was stopped").arg(Quoted(strName)));
            if (!log.journal.AppendLocal(QStringLiteral("removed-temporary"), strName))
                log.JournalFailed();
        }
    }
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;

    DownloadPlan plan(options.strDir, DownloadPlan::Existing::Replace);
    ArchiveFolder folder(options.strDir);
    JournalIndex journal = JournalIndex::Read(options.strDir);
    summary.files = Decide(entries, options, plan, folder, journal, summary.strRecorder);

    if (options.bDryRun) {
        if (options.bJson)
            context.PrintRaw(SummaryJson(summary, options));
        else
            for (const FileRecord &record : std::as_const(summary.files))
                context.Print(PlanLine(record, options.bDeleteAfter));
        return RESULT_OK;
    }

    // The summary is printed however the run ends.
    const auto finish = [&](int nResult) {
        summary.dSeconds = elapsed.elapsed() / 1000.0;
        if (options.bJson)
            context.PrintRaw(SummaryJson(summary, options));
        else if (summary.nDownloaded + summary.nKeptBeside + summary.nFailed + summary.nDeleted == 0)
            log.Say(
                QStringLiteral("nothing new to archive: %1 already archived").arg(summary.nAlreadyArchived));
        else
            log.Say(SummaryText(summary));
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
    context.Progress().StartRun(nTransfers, nTransferBytes);
    auto endRun = qScopeGuard([&context] { context.Progress().EndRun(); });

    QList<FileRecord *> stored; // archived by this run: the candidates for --delete-after
    for (FileRecord &record : summary.files) {
        if (record.action == Action::Skip) {
            record.strOutcome = QStringLiteral("archived");
            ++summary.nAlreadyArchived;
            continue;
        }
        if (record.action == Action::Refuse) {
            log.FileFailed(record, RESULT_HOST_IO_ERROR, record.strWhy);
            continue;
        }
        if (context.IsStopped())
            return finish(context.Fail(RESULT_CANCELLED, ResultText(RESULT_CANCELLED)));
        context.Progress().Start(ListingFormat::PrintableName(record.strCardName));
        context.SetWritingLocalFile(true);
        const RecorderResult result = Transfer(context, plan, record, options.bReplaceChanged);
        context.SetWritingLocalFile(false);
        context.Progress().Finish(result.IsOk());
        if (result == RESULT_COMM_ERROR || result == RESULT_CANCELLED) {
            // The recorder is out of step or the operator wants out: the run ends here.
            log.FileFailed(record, result, result.Detail().isEmpty() ? ResultText(result) : result.Detail());
            return finish(log.nStatus);
        }
        if (!result.IsOk()) {
            log.FileFailed(record, result,
                           !result.Detail().isEmpty() ? ListingFormat::PrintableName(result.Detail())
                           : result == RESULT_DEVICE_STOPPED
                               ? QStringLiteral("the recorder refused to send it")
                               : ResultText(result));
            continue;
        }
        summary.nBytes += record.nSize;
        if (record.strOutcome == QLatin1String("adopted")) {
            ++summary.nAlreadyArchived;
        } else if (record.strOutcome == QLatin1String("kept-beside")) {
            ++summary.nKeptBeside;
        } else {
            ++summary.nDownloaded;
        }
        folder.Note(record.strLocalName, record.nSize, record.modified);
        log.Journal(record.strOutcome, record);
        log.Say(OutcomeLine(record));
        stored.append(&record);
    }
    endRun.dismiss();
    context.Progress().EndRun();

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
