#include "ui/browser/CFileListModel.h"

#include "protocol/RecorderFileEntry.h"

#include <algorithm>
#include <numeric>

bool CFileListModel::s_bNameAscending = true;
bool CFileListModel::s_bDateAscending = true;
bool CFileListModel::s_bSizeAscending = true;

namespace {

constexpr quint32 BYTES_PER_K = 1024;

char16_t FoldAsciiUpper(char16_t ch)
{
    return (ch >= u'A' && ch <= u'Z') ? char16_t(ch - u'A' + u'a') : ch;
}

} // namespace

void CFileListModel::RemoveAll()
{
    m_rows.clear();
}

int CFileListModel::AddItem(int nIndex, const RecorderFileEntry &entry)
{
    Row row;
    row.item.m_strName = entry.Name();
    row.item.m_nSize = entry.SizeLow();
    row.item.m_ftModified = entry.LastWriteTime();
    if (nIndex < 0 || nIndex >= GetItemCount()) {
        m_rows.push_back(std::move(row));
        return GetItemCount() - 1;
    }
    m_rows.insert(m_rows.begin() + nIndex, std::move(row));
    return nIndex;
}

bool CFileListModel::GetCheck(int nRow) const
{
    return nRow >= 0 && nRow < GetItemCount() && m_rows[size_t(nRow)].bChecked;
}

void CFileListModel::SetCheck(int nRow, bool bChecked)
{
    if (nRow >= 0 && nRow < GetItemCount())
        m_rows[size_t(nRow)].bChecked = bChecked;
}

void CFileListModel::SetAllChecks(bool bChecked)
{
    for (Row &row : m_rows)
        row.bChecked = bChecked;
}

int CFileListModel::CheckedCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row &row) { return row.bChecked; }));
}

void CFileListModel::CollectCheckedNames(QStringList &names) const
{
    names.clear();
    for (const Row &row : m_rows) {
        if (row.bChecked)
            names.append(row.item.m_strName);
    }
}

QList<FileListItem> CFileListModel::CheckedItems() const
{
    QList<FileListItem> items;
    for (const Row &row : m_rows) {
        if (row.bChecked)
            items.append(row.item);
    }
    return items;
}

bool &CFileListModel::AscendingFlag(int nColumn)
{
    switch (nColumn) {
    case COL_DATE:
        return s_bDateAscending;
    case COL_SIZE:
        return s_bSizeAscending;
    default:
        return s_bNameAscending;
    }
}

void CFileListModel::SortByColumn(int nColumn, std::vector<int> *pNewOrder)
{
    if (nColumn < 0 || nColumn >= COLUMN_COUNT)
        return;
    bool &bAscending = AscendingFlag(nColumn);

    // Sorting row numbers rather than rows keeps the moves cheap and yields the mapping that
    // a view needs to follow its current row. Stable, so that rows with equal keys keep the
    // order the previous header click gave them.
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareItems(m_rows[size_t(a)].item, m_rows[size_t(b)].item, nColumn, bAscending) < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (int nFrom : order)
        sorted.push_back(std::move(m_rows[size_t(nFrom)]));
    m_rows = std::move(sorted);
    if (pNewOrder)
        *pNewOrder = std::move(order);

    bAscending = !bAscending;
}

int CFileListModel::CompareNames(const QString &a, const QString &b)
{
    const qsizetype nCommon = std::min(a.size(), b.size());
    const char16_t *pA = reinterpret_cast<const char16_t *>(a.utf16());
    const char16_t *pB = reinterpret_cast<const char16_t *>(b.utf16());
    for (qsizetype i = 0; i < nCommon; ++i) {
        if (pA[i] == pB[i])
            continue;
        const char16_t chA = FoldAsciiUpper(pA[i]);
        const char16_t chB = FoldAsciiUpper(pB[i]);
        if (chA != chB)
            return chA < chB ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CFileListModel::CompareItems(const FileListItem &a, const FileListItem &b, int nColumn, bool bAscending)
{
    const FileListItem &first = bAscending ? a : b;
    const FileListItem &second = bAscending ? b : a;
    switch (nColumn) {
    case COL_DATE:
        return first.m_ftModified < second.m_ftModified ? -1
                                                        : (first.m_ftModified > second.m_ftModified ? 1 : 0);
    case COL_SIZE:
        return first.m_nSize < second.m_nSize ? -1 : (first.m_nSize > second.m_nSize ? 1 : 0);
    default:
        return CompareNames(first.m_strName, second.m_strName);
    }
}

QString CFileListModel::FormatDate(quint64 ftModified)
{
    return FileTime::ListText(ftModified);
}

QString CFileListModel::FormatSize(quint32 nSize)
{
    if (nSize < BYTES_PER_K)
        return QString::number(nSize) + u'B';
    return QString::number(nSize / BYTES_PER_K) + u'k';
}

QString CFileListModel::FormatCell(int nRow, int nColumn) const
{
    if (nRow < 0 || nRow >= GetItemCount())
        return {};
    const FileListItem &item = Item(nRow);
    switch (nColumn) {
    case COL_NAME:
        return item.m_strName;
    case COL_DATE:
        return FormatDate(item.m_ftModified);
    case COL_SIZE:
        return FormatSize(item.m_nSize);
    default:
        return {};
    }
}
