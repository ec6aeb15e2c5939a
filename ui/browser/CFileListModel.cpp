#include "CFileListModel.h"

#include "RecorderFileEntry.h"

#include <algorithm>
#include <numeric>

bool CFileListModel::s_bNameAscending = true;
bool CFileListModel::s_bDateAscending = true;
bool CFileListModel::s_bSizeAscending = true;

namespace {

constexpr quint64 TICKS_PER_SECOND = 10000000ULL;
constexpr quint64 SECONDS_PER_DAY = 86400ULL;
constexpr qint64 DAYS_1601_TO_1970 = 134774;
constexpr quint32 BYTES_PER_K = 1024;

char16_t FoldAsciiUpper(char16_t ch)
{
    return (ch >= u'A' && ch <= u'Z') ? char16_t(ch - u'A' + u'a') : ch;
}

// Proleptic Gregorian date of a day count from 1970-01-01 (after H. Hinnant's civil_from_days).
void CivilFromDays(qint64 nDays, qint64 &nYear, int &nMonth, int &nDay)
{
    nDays += 719468;
    const qint64 nEra = (nDays >= 0 ? nDays : nDays - 146096) / 146097;
    const qint64 nDayOfEra = nDays - nEra * 146097;
    const qint64 nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    const qint64 nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    const qint64 nMonthIndex = (5 * nDayOfYear + 2) / 153;
    nDay = int(nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1);
    nMonth = int(nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9);
    nYear = nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0);
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
    // a view needs to follow its current row.
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
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
    // Plain integer calendar arithmetic covers every 64-bit value, so no time is unprintable.
    const quint64 nSeconds = ftModified / TICKS_PER_SECOND;
    const qint64 nDays = qint64(nSeconds / SECONDS_PER_DAY);
    const int nSecondOfDay = int(nSeconds % SECONDS_PER_DAY);
    qint64 nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    CivilFromDays(nDays - DAYS_1601_TO_1970, nYear, nMonth, nDay);
    return QString::asprintf("%02d/%02d/%02d (%02d:%02d:%02d)", nDay, nMonth, int(nYear % 100),
                             nSecondOfDay / 3600, nSecondOfDay / 60 % 60, nSecondOfDay % 60);
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
