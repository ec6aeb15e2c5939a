#include "ui/dialogs/OperationDialog.h"

#include "jobs/CWorkerThread.h"
#include "ui/dialogs/DialogResult.h"

#include <QTimer>

OperationDialog::OperationDialog(QWidget *pParent, bool bCloseBox)
    : QDialog(pParent)
    , m_receiver(this)
    , m_units(font())
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (bCloseBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setModal(true);
}

void OperationDialog::SetClientSize(int cx, int cy)
{
    setFixedSize(m_units.Size(cx, cy));
}

bool OperationDialog::event(QEvent *pEvent)
{
    if (PostEvent *pPosted = PostEvent::From(pEvent)) {
        if (!m_bEnded)
            OnPosted(pPosted->Message());
        return true;
    }
    return QDialog::event(pEvent);
}

void OperationDialog::showEvent(QShowEvent *pEvent)
{
    QDialog::showEvent(pEvent);
    if (!m_bOpened) {
        m_bOpened = true;
        OnOpening();
    }
}

void OperationDialog::done(int nResult)
{
    m_bEnded = true;
    m_receiver.Detach();
    QDialog::done(nResult);
}

void OperationDialog::AwaitJobEndAfterClose(CWorkerThread &job)
{
    if (m_pCloseTimer || m_bEnded)
        return;
    m_pCloseTimer = new QTimer(this);
    m_pCloseTimer->setSingleShot(true);
    connect(m_pCloseTimer, &QTimer::timeout, this, [this, &job] {
        if (m_bEnded)
            return;
        // The job has not ended in the time Stop would have waited: the thread runs on
        // unowned, on its own copy of the job, and the operation counts as not completed.
        job.StopWithin(0);
        done(IDCANCEL);
    });
    m_pCloseTimer->start(m_nCloseWaitMs >= 0 ? m_nCloseWaitMs : job.JoinTimeoutMs());
}
