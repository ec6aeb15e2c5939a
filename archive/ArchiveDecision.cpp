// The decision of an archive run: for every selected card file, what the folder and its journal
// already hold of it and what to do.

#include "archive/ArchiveDecision.h"

#include "archive/ArchiveSelection.h"
#include "archive/JournalIndex.h"
#include "core/PrintableText.h"
#include "archive/ArchiveFolder.h"
#include "core/DownloadPlan.h"
#include "protocol/RecorderFileEntry.h"

#include <algorithm>

namespace Archive {
namespace {

using PrintableText::Quoted;

// Chooses the name a different version of the card file is kept under, through the plan.
bool ChooseVersionName(FileRecord &record, DownloadPlan &plan, const ArchiveFolder &folder, QString *pName)
{
    const QString strName = folder.NextVersionName(record.strCardName, plan);
    const DownloadPlan::Item check = plan.Check(strName);
    if (check.IsRefused()) {
        record.action = Action::Refuse;
        record.reason = check.refusal;
        record.strWhy =
            QStringLiteral("its new version cannot be kept as %1: %2").arg(Quoted(strName), check.strWhy);
        return false;
    }
    plan.Reserve(strName);
    *pName = strName;
    return true;
}

// The local file that holds this card file already: one the journal records it stored under,
// or, where no journal line names the card's own name, a file of that name, size and date
// (a folder filled by hand, by get or by an older version). Empty when there is none.
QString ArchivedName(const FileRecord &record, const ArchiveFolder &folder, const JournalIndex &journal,
                     const QString &strRecorder)
{
    const JournalIndex::CardFile card{
        strRecorder, record.strCardName, record.nSize, FileTime::IsoText(record.nFileTime), {}};
    for (const QString &strLocal : journal.LocalNamesOf(card)) {
        if (folder.Holds(strLocal, record.nSize, record.modified))
            return folder.Find(strLocal)->strName;
    }
    if (!journal.Names(record.strCardName) && folder.Holds(record.strCardName, record.nSize, record.modified))
        return folder.Find(record.strCardName)->strName;
    return QString();
}

} // namespace

QList<FileRecord> Decide(const QList<RecorderFileEntry> &entries, const Options &options, DownloadPlan &plan,
                         const ArchiveFolder &folder, const JournalIndex &journal, const QString &strRecorder)
{
    const Selection selection(options);
    QList<FileRecord> records;
    for (const RecorderFileEntry &entry : entries) {
        if (!selection.Selects(entry))
            continue;
        FileRecord record;
        record.strCardName = entry.Name();
        record.nSize = entry.SizeLow();
        record.nListedSize = record.nSize;
        record.nFileTime = entry.LastWriteTime();
        record.modified = FileTime::ToLocalDateTime(record.nFileTime);
        record.strLocalName = record.strCardName;
        const DownloadPlan::Item &item = plan.Add(record.strCardName, record.modified, record.nSize);
        if (item.IsRefused()) {
            record.action = Action::Refuse;
            record.reason = item.refusal;
            record.strWhy = item.strWhy;
        } else if (const QString strHeld = ArchivedName(record, folder, journal, strRecorder);
                   !strHeld.isEmpty()) {
            record.action = Action::Skip;
            record.strLocalName = strHeld;
        } else {
            // The copies that may hold this card file: its own name, and the versions kept
            // beside it that the journal says hold a version of it.
            QList<ArchiveFolder::Copy> copies = folder.CopiesOf(record.strCardName);
            copies.removeIf([&](const ArchiveFolder::Copy &copy) {
                return !copy.bPrimary && !journal.HoldsVersionOf(copy.strName, record.strCardName);
            });
            const bool bPrimaryTaken = folder.Find(record.strCardName) != nullptr;
            const auto sameSize =
                std::find_if(copies.cbegin(), copies.cend(), [&record](const ArchiveFolder::Copy &copy) {
                    return copy.nSize == qint64(record.nSize);
                });
            if (sameSize != copies.cend()) {
                // Perhaps the same file with a download's date, or from another recorder: its
                // bytes tell.
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

} // namespace Archive
