#pragma once

#include <QHash>
#include <QString>

class CFileListModel;

// Which listed files the archive folder's journal says are stored, with the words of each mark:
// "Archived as NAME on DATE" (the journal line's time as local time, in the language of the
// interface), keyed by card name.
namespace ArchiveMarks {

// strRecorder is the recorder's identity as the journal names it; empty gives no marks.
QHash<QString, QString> Compute(const QString &strFolder, const QString &strRecorder,
                                const CFileListModel &rows);

} // namespace ArchiveMarks
