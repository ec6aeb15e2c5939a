#pragma once

#include <QObject>
#include <QStringList>

class CChildView;
class QMimeData;

// Accepts files dropped on the file list and uploads them to the card one after another, then
// refreshes the list once. Shows the copy pointer for anything dragged over the list, and
// refuses a drop that carries no local file, so that its source sees that nothing was copied.
class CFileDropTarget final : public QObject
{
    Q_OBJECT

public:
    // Registers on the view's list.
    explicit CFileDropTarget(CChildView &view);
    ~CFileDropTarget() override;

    // The local files a drop carries, in order; empty when it carries none.
    static QStringList DroppedFiles(const QMimeData *pData);

    // Uploads the files and refreshes once; false when there were no files.
    bool HandleDrop(const QStringList &paths);

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    CChildView &m_view;
};
