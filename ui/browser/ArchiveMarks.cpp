#include "ui/browser/ArchiveMarks.h"

#include "archive/JournalIndex.h"
#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/RecorderFileEntry.h"
#include "ui/browser/CFileListModel.h"

#include <QFileInfo>
#include <QLocale>

namespace ArchiveMarks {

QHash<QString, QString> Compute(const QString &strFolder, const QString &strRecorder,
                                const CFileListModel &rows)
{
    QHash<QString, QString> marks;
    if (strRecorder.isEmpty() || !QFileInfo(strFolder).isDir())
        return marks;
    const JournalIndex journal = JournalIndex::Read(strFolder);
    const QLocale locale;
    for (int nRow = 0; nRow < rows.GetItemCount(); ++nRow) {
        const FileListItem &item = rows.Item(nRow);
        // The card file as the journal names it: the same size and card date as when it was stored.
        const JournalIndex::Stored stored = journal.StoredAs(
            {strRecorder, item.m_strName, qint64(item.m_nSize), FileTime::IsoText(item.m_ftModified), {}});
        if (stored.strLocalName.isEmpty())
            continue;
        marks.insert(item.m_strName, LoadText(StringId::IDS_ARCHIVE_MARK_TIP)
                                         .arg(stored.strLocalName, locale.toString(stored.time.toLocalTime(),
                                                                                   QLocale::ShortFormat)));
    }
    return marks;
}

} // namespace ArchiveMarks
