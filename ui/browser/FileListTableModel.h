#pragma once

#include "ui/browser/CFileListModel.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QTimer>

class RecorderFileEntry;

// The Qt item model of the file list: cell texts from FormatCell on request, the check box
// of each row in column 0. Rows appended while a list arrives are announced to the views in
// batches, at most one batch per screen refresh, so a card of 100,000 files costs a few
// hundred repaints rather than one per file. Every other change announces pending rows first.
class FileListTableModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileListTableModel)

public:
    // About one screen refresh.
    static constexpr int FLUSH_INTERVAL_MS = 16;

    explicit FileListTableModel(QObject *pParent = nullptr);
    ~FileListTableModel() override;

    // The rows themselves, including those not yet announced to the views.
    const CFileListModel &Rows() const { return m_model; }

    void RemoveAll();
    void AddItem(int nIndex, const RecorderFileEntry &entry);
    void SetCheck(int nRow, bool bChecked);
    void SetAllChecks(bool bChecked);
    void SortByColumn(int nColumn);

    // Announces the rows added since the last announcement now.
    void FlushPendingRows();
    bool HasPendingRows() const { return m_nShownRows < m_model.GetItemCount(); }
    // Number of batch announcements so far (for measurements).
    int FlushCount() const { return m_nFlushCount; }

    // The archive marks: by card name, the tooltip of a file the archive folder holds; its name
    // cell shows the decoration (set by the view, which has the icons).
    void SetArchiveMarks(QHash<QString, QString> marks);
    void SetMarkDecoration(const QVariant &decoration) { m_markDecoration = decoration; }
    const QHash<QString, QString> &ArchiveMarks() const { return m_marks; }

    static Qt::Alignment ColumnAlignment(int nColumn);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int nRole = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int nRole = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation,
                        int nRole = Qt::DisplayRole) const override;

private:
    CFileListModel m_model;
    int m_nShownRows = 0; // rows the views know of: always the leading part of m_model
    int m_nFlushCount = 0;
    QTimer m_flushTimer;
    QHash<QString, QString> m_marks;
    QVariant m_markDecoration;
};
