#pragma once

#include "archive/ArchiveRecord.h"

#include <QList>
#include <QString>

class ArchiveFolder;
class DownloadPlan;
class JournalIndex;
class RecorderFileEntry;

namespace Archive {

// What becomes of each selected card file: already archived (the journal's record, or an
// unrecorded file of its name, size and date), downloaded, kept beside, replaced, compared by
// content, or refused. The names it chooses are reserved in the plan.
QList<FileRecord> Decide(const QList<RecorderFileEntry> &entries, const Options &options, DownloadPlan &plan,
                         const ArchiveFolder &folder, const JournalIndex &journal,
                         const QString &strRecorder);

} // namespace Archive
