// The archive run: decide for every selected card file, then download, compare and delete.

#include "cli/Archive.h"
#include "cli/ArchiveJournal.h"
#include "cli/ArchiveReport.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "core/ArchiveFolder.h"
#include "core/CompareSink.h"
#include "core/DownloadPlan.h"
#include "core/FileDownloadSink.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>

namespace Archive {
namespace {

using ListingFormat::Quoted;

// The --include, --exclude and --since choice, with the patterns compiled once for the run.
class Selection
{
public:
    explicit Selection(const Options &options)
        : m_includes(Compiled(options.includes))
        , m_excludes(Compiled(options.excludes))
        , m_since(options.since)
    {}

    bool Selects(const RecorderFileEntry &entry) const
    {
        const QString strName = entry.Name();
        if (!m_includes.isEmpty() && !MatchesAny(strName, m_includes))
            return false;
        if (MatchesAny(strName, m_excludes))
            return false;
        if (m_since.isValid()) {
            const FileTime::CalendarFields fields = FileTime::Fields(entry.LastWriteTime());
            if (QDate(int(fields.nYear), fields.nMonth, fields.nDay) < m_since)
                return false;
        }
        return true;
    }

private:
    static QList<QRegularExpression> Compiled(const QStringList &globs)
    {
        QList<QRegularExpression> patterns;
        for (const QString &strGlob : globs)
            patterns.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(strGlob),
                                               QRegularExpression::CaseInsensitiveOption));
        return patterns;
    }
    static bool MatchesAny(const QString &strName, const QList<QRegularExpression> &patterns)
    {
        return std::any_of(patterns.cbegin(), patterns.cend(), [&strName](const QRegularExpression &pattern) {
            return pattern.match(strName).hasMatch();
        });
    }

    QList<QRegularExpression> m_includes;
    QList<QRegularExpression> m_excludes;
    QDate m_since;
};

// Chooses the name a different version of the card file is kept under, through the plan.
bool ChooseVersionName(FileRecord &record, DownloadPlan &plan, const ArchiveFolder &folder, QString *pName)
{
    const QString strName = folder.NextVersionName(record.strCardName, plan);
    const DownloadPlan::Item check = plan.Check(strName);
    if (check.IsRefused()) {
        record.action = Action::Refuse;
        record.strWhy =
            QStringLiteral("its new version cannot be kept as %1: %2").arg(Quoted(strName), check.strWhy);
        return false;
    }
    plan.Reserve(strName);
    *pName = strName;
    return true;
}

QList<FileRecord> Decide(const QList<RecorderFileEntry> &entries, const Options &options, DownloadPlan &plan,
                         const ArchiveFolder &folder)
{
    const Selection selection(options);
    QList<FileRecord> records;
    for (const RecorderFileEntry &entry : entries) {
        if (!selection.Selects(entry))
            continue;
        FileRecord record;
        record.strCardName = entry.Name();
        record.nSize = entry.SizeLow();
        record.nFileTime = entry.LastWriteTime();
        record.modified = FileTime::ToLocalDateTime(record.nFileTime);
        record.strLocalName = record.strCardName;
        const DownloadPlan::Item &item = plan.Add(record.strCardName, record.modified, record.nSize);
        if (item.IsRefused()) {
            record.action = Action::Refuse;
            record.strWhy = item.strWhy;
        } else if (const ArchiveFolder::Copy *pCopy =
                       folder.ArchivedCopy(record.strCardName, record.nSize, record.modified)) {
            record.action = Action::Skip;
            record.strLocalName = pCopy->strName;
        } else {
            const QList<ArchiveFolder::Copy> copies = folder.CopiesOf(record.strCardName);
            const bool bPrimaryTaken = !copies.isEmpty() && copies.first().bPrimary;
            const auto sameSize =
                std::find_if(copies.cbegin(), copies.cend(), [&record](const ArchiveFolder::Copy &copy) {
                    return copy.nSize == qint64(record.nSize);
                });
            if (sameSize != copies.cend()) {
                // Perhaps the same file with a download's date: its bytes tell.
                record.action = Action::Compare;
                record.strLocalName = sameSize->strName;
                if (!bPrimaryTaken || (options.bReplaceChanged && sameSize->bPrimary))
                    record.strNewName = record.strCardName;
                else
                    ChooseVersionName(record, plan, folder, &record.strNewName);
            } else if (bPrimaryTaken && options.bReplaceChanged) {
                record.action = Action::Replace;
            } else if (bPrimaryTaken) {
                record.action = Action::KeepBeside;
                ChooseVersionName(record, plan, folder, &record.strLocalName);
            }
        }
        records.append(record);
    }
    return records;
}

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
        return context.Protocol().GetFile(context.Stop(), context.ProgressTarget(), record.strCardName, sink);
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

} // namespace

int Run(CliContext &context, const Options &options, Summary *pSummary)
{
    Summary &summary = *pSummary;
    summary = Summary();
    QElapsedTimer elapsed;
    elapsed.start();
    const auto say = [&context, &options](const QString &strLine) {
        if (!options.bJson)
            context.Say(strLine);
    };

    if (options.bSaveFirst) {
        if (options.bDryRun) {
            say(QStringLiteral("would ask the recorder to save its archive data to the card first"));
        } else {
            context.SetUninterruptible(true);
            const RecorderResult saved = context.Protocol().SaveArchiveData();
            context.SetUninterruptible(false);
            if (!saved.IsOk())
                return context.Fail(saved,
                                    QStringLiteral("the archive data were not saved: ") + ResultText(saved));
        }
    }
    QList<RecorderFileEntry> entries;
    if (const int nResult = ListCardFiles(context, &entries))
        return nResult;

    DownloadPlan plan(options.strDir, DownloadPlan::Existing::Replace);
    ArchiveFolder folder(options.strDir);
    summary.files = Decide(entries, options, plan, folder);

    if (options.bDryRun) {
        if (options.bJson)
            context.PrintRaw(SummaryJson(summary, options));
        else
            for (const FileRecord &record : std::as_const(summary.files))
                context.Print(PlanLine(record, options.bDeleteAfter));
        return RESULT_OK;
    }

    ArchiveJournal journal(options.strDir, context.RecorderSerial());
    int nStatus = RESULT_OK;
    bool bNotDeleted = false;
    const auto fileFailed = [&](FileRecord &record, int nResult, const QString &strWhy) {
        record.strOutcome = QStringLiteral("failed");
        record.strError = strWhy;
        ++summary.nFailed;
        context.Report(QStringLiteral("cannot archive %1: %2").arg(Quoted(record.strCardName), strWhy));
        if (nStatus == RESULT_OK)
            nStatus = nResult;
    };
    const auto journalLine = [&](const QString &strAction, const FileRecord &record) {
        if (!journal.Append(strAction, record.strCardName, record.strLocalName, record.nSize,
                            FileTime::IsoText(record.nFileTime))) {
            context.Report(
                QStringLiteral("cannot write the journal %1: %2").arg(journal.Path(), journal.Error()));
            if (nStatus == RESULT_OK)
                nStatus = RESULT_HOST_IO_ERROR;
        }
    };

    // The summary is printed however the run ends.
    const auto finish = [&](int nResult) {
        summary.dSeconds = elapsed.elapsed() / 1000.0;
        if (options.bJson)
            context.PrintRaw(SummaryJson(summary, options));
        else if (summary.nDownloaded + summary.nKeptBeside + summary.nFailed + summary.nDeleted == 0)
            say(QStringLiteral("nothing new to archive: %1 already archived").arg(summary.nAlreadyArchived));
        else
            say(SummaryText(summary));
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
    const auto endRun = qScopeGuard([&context] { context.Progress().EndRun(); });

    for (FileRecord &record : summary.files) {
        if (record.action == Action::Skip) {
            record.strOutcome = QStringLiteral("archived");
            ++summary.nAlreadyArchived;
            continue;
        }
        if (record.action == Action::Refuse) {
            fileFailed(record, RESULT_HOST_IO_ERROR, record.strWhy);
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
            fileFailed(record, result, result.Detail().isEmpty() ? ResultText(result) : result.Detail());
            return finish(nStatus);
        }
        if (!result.IsOk()) {
            fileFailed(record, result,
                       !result.Detail().isEmpty()        ? ListingFormat::PrintableName(result.Detail())
                       : result == RESULT_DEVICE_STOPPED ? QStringLiteral("the recorder refused to send it")
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
        journalLine(record.strOutcome, record);
        say(OutcomeLine(record));

        // Only a file that is now on this disk, proved by its own bytes, leaves the card.
        if (options.bDeleteAfter) {
            const RecorderResult deleted = context.Protocol().DeleteCardFile(record.strCardName);
            if (deleted.IsOk()) {
                record.bDeleted = true;
                ++summary.nDeleted;
                journalLine(QStringLiteral("deleted"), record);
                say(QStringLiteral("%1 deleted from the card").arg(Quoted(record.strCardName)));
            } else if (deleted == RESULT_NOT_DELETED) {
                bNotDeleted = true;
                context.Report(
                    QStringLiteral("the recorder did not delete %1").arg(Quoted(record.strCardName)));
            } else {
                return finish(
                    context.Fail(deleted, QStringLiteral("cannot delete %1: %2")
                                              .arg(Quoted(record.strCardName), ResultText(deleted))));
            }
        }
    }
    if (nStatus == RESULT_OK && bNotDeleted)
        nStatus = RESULT_NOT_DELETED;
    return finish(nStatus);
}

} // namespace Archive
