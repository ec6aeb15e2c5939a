#include "ui/dialogs/OperationDialog.h"

#include "core/TextSource.h"
#include "protocol/ReportMessages.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/MessageBoxes.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

OperationDialog::OperationDialog(QWidget *pParent, const DialogFrame &frame)
    : QDialog(pParent)
    , m_receiver(this)
    , m_units(font())
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame.bCloseBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setModal(true);
    setWindowTitle(LoadText(frame.nCaptionId));
    // Sized by its template, as the window manager must leave it: neither resized nor maximised.
    setFixedSize(m_units.Size(frame.cx, frame.cy));
    setSizeGripEnabled(false);
}

void OperationDialog::LaunchJob()
{
    Job().m_hNotifyWnd = Target();
    Job().Launch();
}

void OperationDialog::EndAfterJob(int nResult)
{
    Job().Stop();
    done(nResult);
}

void OperationDialog::RequestJobStop(QPushButton *pButton)
{
    pButton->setEnabled(false);
    Job().RequestStop();
}

int OperationDialog::ShowResultBox(ResultTable table, RecorderResultCode code,
                                   QMessageBox::StandardButtons buttons)
{
    const ResultShown shown = ShownForResult(table, code);
    if (!shown.IsShown())
        return IDOK;
    return ShowMessageBox(this, LoadText(shown.nTextId), MessageBoxIcon(shown.icon), buttons);
}

bool OperationDialog::event(QEvent *pEvent)
{
    if (PostEvent *pPosted = PostEvent::From(pEvent)) {
        if (!m_bEnded)
            Dispatch(pPosted->Message());
        return true;
    }
    return QDialog::event(pEvent);
}

void OperationDialog::Dispatch(const PostedMessage &message)
{
    const auto *pText = message.Get<TextPost>();
    switch (message.nMessage) {
    case WM_JOB_MESSAGE:
        if (const auto *pJobText = message.Get<JobTextPost>())
            OnJobText(*pJobText);
        else if (const auto *pResult = message.Get<JobResultPost>())
            OnJobResult(*pResult);
        break;
    case WM_JOB_PROGRESS:
        if (const auto *pProgress = message.Get<ProgressPost>())
            OnProgress(*pProgress);
        break;
    case WM_JOB_RUN:
        if (const auto *pRun = message.Get<RunProgressPost>())
            OnRunProgress(*pRun);
        break;
    case WM_JOB_OUTPUT:
        if (const auto *pOutput = message.Get<JobOutputPost>())
            OnJobOutput(*pOutput);
        break;
    case WM_REC_FILE_ENTRY:
        if (const auto *pEntry = message.Get<FileEntryPost>())
            OnFileEntry(*pEntry);
        break;
    case WM_JOB_FILE:
        if (pText)
            OnJobFile(pText->strText);
        break;
    case WM_REC_DEVICE_INFO:
        if (pText)
            OnDeviceInfo(pText->strText);
        break;
    case WM_REC_CARD_INFO:
        if (pText)
            OnCardInfo(pText->strText);
        break;
    case WM_CLOSE:
        OnJobEnded();
        break;
    default:
        break;
    }
}

void OperationDialog::showEvent(QShowEvent *pEvent)
{
    QDialog::showEvent(pEvent);
    // The connect dialog at start-up runs before its owner is shown: centred over that hidden
    // window it would open in the screen's corner, so it opens in the middle of the screen.
    const QWidget *pOwner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!pEvent->spontaneous() && pOwner && !pOwner->isVisible() && !testAttribute(Qt::WA_Moved)) {
        const QRect area = screen()->availableGeometry();
        // move() places the frame's corner, so the frame is what is centred.
        move(area.center() - QRect(QPoint(), frameGeometry().size()).center());
        // As QDialog leaves it: not a place the program chose, so the next show centres again.
        setAttribute(Qt::WA_Moved, false);
    }
    if (!m_bOpened) {
        m_bOpened = true;
        OnOpening();
        LaunchJob();
    }
}

void OperationDialog::closeEvent(QCloseEvent *pEvent)
{
    // A close request never waits for the job here: Stop could block the window for the whole
    // join time-out.
    pEvent->ignore();
    if (isVisible() && !IsCloseRequested() && OnCloseRequest())
        AwaitJobEnd();
}

void OperationDialog::done(int nResult)
{
    m_bEnded = true;
    m_receiver.Detach();
    QDialog::done(nResult);
}

void OperationDialog::AwaitJobEnd()
{
    if (m_pCloseTimer || m_bEnded)
        return;
    m_pCloseTimer = new QTimer(this);
    m_pCloseTimer->setSingleShot(true);
    connect(m_pCloseTimer, &QTimer::timeout, this, [this] {
        if (m_bEnded)
            return;
        // The job has not ended in the time Stop would have waited: the thread runs on
        // unowned, on its own copy of the job, and the operation counts as not completed.
        Job().StopWithin(0);
        done(IDCANCEL);
    });
    m_pCloseTimer->start(m_nCloseWaitMs >= 0 ? m_nCloseWaitMs : Job().JoinTimeoutMs());
}
