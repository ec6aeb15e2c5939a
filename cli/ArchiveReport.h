#pragma once

#include "archive/ArchiveRecord.h"

#include <QByteArray>
#include <QString>

// The texts of an archive run on the command line.
namespace Archive {

// What a dry run would do with one file, on one line.
QString PlanLine(const FileRecord &record, bool bDelete);
// What a real run did with one file that is now archived.
QString OutcomeLine(const FileRecord &record);
// The plan of a dry run, or after a real run the summary with every file, as one JSON object.
QByteArray SummaryJson(const Summary &summary, const Options &options);
// "3 downloaded, 1 kept beside, ..." for the log and the terminal.
QString SummaryText(const Summary &summary);

} // namespace Archive
