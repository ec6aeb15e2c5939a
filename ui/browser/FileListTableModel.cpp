#include "ui/browser/FileListTableModel.h"

#include "core/StringIds.h"
#include "core/TextSource.h"

FileListTableModel::FileListTableModel(QObject *pParent)
    : QAbstractTableModel(pParent)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FLUSH_INTERVAL_MS);
    connect(&m_flushTimer, &QTimer::timeout, this, &FileListTableModel::FlushPendingRows);
}

FileListTableModel::~FileListTableModel() = default;

void FileListTableModel::RemoveAll()
{
    m_flushTimer.stop();
    beginResetModel();
    m_model.RemoveAll();
    m_nShownRows = 0;
    endResetModel();
}

void FileListTableModel::AddItem(int nIndex, const RecorderFileEntry &entry)
{
    if (nIndex < 0 || nIndex >= m_model.GetItemCount()) {
        // Appending: the row joins the next batch; views see nothing of it until then.
        m_model.AddItem(nIndex, entry);
        if (!m_flushTimer.isActive())
            m_flushTimer.start();
        return;
    }
    // An insertion among existing rows shifts them, so the views must hear of it at once.
    FlushPendingRows();
    beginInsertRows({}, nIndex, nIndex);
    m_model.AddItem(nIndex, entry);
    ++m_nShownRows;
    endInsertRows();
}

void FileListTableModel::FlushPendingRows()
{
    m_flushTimer.stop();
    if (!HasPendingRows())
        return;
    // The rows already sit behind the announced ones; views ask nothing beyond rowCount(),
    // which moves only here.
    beginInsertRows({}, m_nShownRows, m_model.GetItemCount() - 1);
    m_nShownRows = m_model.GetItemCount();
    endInsertRows();
    ++m_nFlushCount;
}

void FileListTableModel::SetCheck(int nRow, bool bChecked)
{
    FlushPendingRows();
    if (nRow < 0 || nRow >= m_model.GetItemCount() || m_model.GetCheck(nRow) == bChecked)
        return;
    m_model.SetCheck(nRow, bChecked);
    const QModelIndex cell = index(nRow, CFileListModel::COL_NAME);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void FileListTableModel::SetAllChecks(bool bChecked)
{
    FlushPendingRows();
    m_model.SetAllChecks(bChecked);
    if (m_nShownRows > 0) {
        emit dataChanged(index(0, CFileListModel::COL_NAME),
                         index(m_nShownRows - 1, CFileListModel::COL_NAME), {Qt::CheckStateRole});
    }
}

void FileListTableModel::SortByColumn(int nColumn)
{
    FlushPendingRows();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newOrder;
    m_model.SortByColumn(nColumn, &newOrder);

    // Current row and selection follow their rows to the new places.
    const QModelIndexList oldIndexes = persistentIndexList();
    if (!oldIndexes.isEmpty()) {
        std::vector<int> oldToNew(newOrder.size());
        for (size_t nNew = 0; nNew < newOrder.size(); ++nNew)
            oldToNew[size_t(newOrder[nNew])] = int(nNew);
        QModelIndexList newIndexes;
        newIndexes.reserve(oldIndexes.size());
        for (const QModelIndex &old : oldIndexes) {
            const bool bValid = old.isValid() && size_t(old.row()) < oldToNew.size();
            newIndexes.append(bValid ? index(oldToNew[size_t(old.row())], old.column()) : QModelIndex());
        }
        changePersistentIndexList(oldIndexes, newIndexes);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

Qt::Alignment FileListTableModel::ColumnAlignment(int nColumn)
{
    switch (nColumn) {
    case CFileListModel::COL_DATE:
        return Qt::AlignCenter;
    case CFileListModel::COL_SIZE:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

int FileListTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_nShownRows;
}

int FileListTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CFileListModel::COLUMN_COUNT;
}

void FileListTableModel::SetArchiveMarks(QHash<QString, QString> marks)
{
    FlushPendingRows();
    if (marks == m_marks)
        return;
    m_marks = std::move(marks);
    if (m_nShownRows > 0)
        emit dataChanged(index(0, CFileListModel::COL_NAME),
                         index(m_nShownRows - 1, CFileListModel::COL_NAME),
                         {Qt::DecorationRole, Qt::ToolTipRole});
}

QVariant FileListTableModel::data(const QModelIndex &index, int nRole) const
{
    if (!index.isValid() || index.row() >= m_nShownRows)
        return {};
    switch (nRole) {
    case Qt::DisplayRole:
        return m_model.FormatCell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAlignment(index.column()));
    case Qt::CheckStateRole:
        if (index.column() == CFileListModel::COL_NAME)
            return m_model.GetCheck(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
    case Qt::ToolTipRole:
        if (index.column() == CFileListModel::COL_NAME && !m_marks.isEmpty()) {
            const auto it = m_marks.constFind(m_model.Item(index.row()).m_strName);
            if (it != m_marks.cend())
                return nRole == Qt::ToolTipRole ? QVariant(*it) : m_markDecoration;
        }
        return {};
    default:
        return {};
    }
}

bool FileListTableModel::setData(const QModelIndex &index, const QVariant &value, int nRole)
{
    if (!index.isValid() || nRole != Qt::CheckStateRole || index.column() != CFileListModel::COL_NAME)
        return false;
    SetCheck(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags FileListTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == CFileListModel::COL_NAME)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant FileListTableModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (nRole == Qt::TextAlignmentRole)
        return QVariant::fromValue(ColumnAlignment(nSection));
    if (nRole != Qt::DisplayRole)
        return {};
    switch (nSection) {
    case CFileListModel::COL_NAME:
        return LoadText(StringId::IDS_COL_FILE_NAME);
    case CFileListModel::COL_DATE:
        return LoadText(StringId::IDS_COL_DATE);
    case CFileListModel::COL_SIZE:
        return LoadText(StringId::IDS_COL_SIZE);
    default:
        return {};
    }
}
