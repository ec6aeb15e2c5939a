#pragma once

#include "ui/browser/FileListItem.h"

#include <QString>
#include <QStringList>

#include <vector>

class RecorderFileEntry;

// The rows of the file browser: one FileListItem and one check mark per file on the card,
// kept in display order. Knows nothing of windows; cell texts are computed on request.
class CFileListModel final
{
public:
    enum Column { COL_NAME = 0, COL_DATE = 1, COL_SIZE = 2, COLUMN_COUNT = 3 };

    // Direction of the next sort by each column, shared by the whole process: true means
    // ascending. Only SortByColumn changes them; emptying or refilling a model does not.
    static bool s_bNameAscending;
    static bool s_bDateAscending;
    static bool s_bSizeAscending;

    void RemoveAll();
    // Inserts a row for the entry at nIndex, unchecked; an index at or beyond the end (or
    // negative) appends. Returns the row the item went to.
    int AddItem(int nIndex, const RecorderFileEntry &entry);
    int GetItemCount() const { return int(m_rows.size()); }
    const FileListItem &Item(int nRow) const { return m_rows[size_t(nRow)].item; }

    // Out-of-range rows read as unchecked and ignore changes.
    bool GetCheck(int nRow) const;
    void SetCheck(int nRow, bool bChecked);
    void SetAllChecks(bool bChecked);
    int CheckedCount() const;
    void CollectCheckedNames(QStringList &names) const;
    // The checked rows, in row order.
    QList<FileListItem> CheckedItems() const;

    // Reorders the rows by the column in its flag's direction, rows with equal keys keeping
    // their order, then flips the flag. When
    // pNewOrder is given it receives, for each new row, the row it came from.
    void SortByColumn(int nColumn, std::vector<int> *pNewOrder = nullptr);

    QString FormatCell(int nRow, int nColumn) const;

    // Negative when a goes above b, zero when equal, positive when a goes below b, for the
    // given direction (descending exchanges the operands).
    static int CompareItems(const FileListItem &a, const FileListItem &b, int nColumn, bool bAscending);
    static int CompareNames(const QString &a, const QString &b);
    static bool &AscendingFlag(int nColumn);

    // "dd/mm/yy (hh:mm:ss)" of a last-write time, without any time-zone conversion.
    static QString FormatDate(quint64 ftModified);
    // "123B" below 1024, else the size divided by 1024 and rounded down with "k".
    static QString FormatSize(quint32 nSize);

private:
    struct Row
    {
        FileListItem item;
        bool bChecked = false;
    };
    std::vector<Row> m_rows;
};
