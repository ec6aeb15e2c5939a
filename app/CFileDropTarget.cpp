#include "app/CFileDropTarget.h"

#include "ui/browser/CChildView.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QUrl>

CFileDropTarget::CFileDropTarget(CChildView &view)
    : QObject(&view)
    , m_view(view)
{
    QWidget *pTarget = view.ListControl()->viewport();
    pTarget->setAcceptDrops(true);
    pTarget->installEventFilter(this);
}

CFileDropTarget::~CFileDropTarget() = default;

QStringList CFileDropTarget::DroppedFiles(const QMimeData *pData)
{
    QStringList paths;
    if (!pData || !pData->hasUrls())
        return paths;
    for (const QUrl &url : pData->urls()) {
        const QString strPath = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!strPath.isEmpty())
            paths << strPath;
    }
    return paths;
}

bool CFileDropTarget::HandleDrop(const QStringList &paths)
{
    if (paths.isEmpty())
        return false;
    for (const QString &strPath : paths)
        m_view.UploadLocalFile(strPath);
    m_view.RefreshView();
    return true;
}

bool CFileDropTarget::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    switch (pEvent->type()) {
    case QEvent::DragEnter: {
        auto *pDrag = static_cast<QDragEnterEvent *>(pEvent);
        pDrag->setDropAction(Qt::CopyAction);
        pDrag->accept();
        return true;
    }
    case QEvent::DragMove: {
        auto *pDrag = static_cast<QDragMoveEvent *>(pEvent);
        pDrag->setDropAction(Qt::CopyAction);
        pDrag->accept();
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto *pDrop = static_cast<QDropEvent *>(pEvent);
        const QStringList paths = DroppedFiles(pDrop->mimeData());
        if (paths.isEmpty()) {
            // Nothing was copied: the program the drag came from must not act on a copy (the
            // drag itself still showed the copy pointer).
            pDrop->setDropAction(Qt::IgnoreAction);
            pDrop->ignore();
            return true;
        }
        pDrop->setDropAction(Qt::CopyAction);
        pDrop->accept();
        // The uploads run their modal dialogs after the drop has returned to the program the
        // files came from, so that program is not left waiting on our transfers.
        QPointer<CFileDropTarget> pSelf(this);
        QTimer::singleShot(0, this, [pSelf, paths] {
            if (pSelf)
                pSelf->HandleDrop(paths);
        });
        return true;
    }
    default:
        return QObject::eventFilter(pWatched, pEvent);
    }
}
