#pragma once

#include "protocol/PostTarget.h"
#include "ui/dialogs/DialogUnits.h"

#include <QDialog>

class CWorkerThread;
class QTimer;

// Base of the dialogs that run a recorder job: receives the job's posted messages on the
// user-interface thread, lays its controls out in dialog units of its own font, and can do
// without a close box.
class OperationDialog : public QDialog
{
    Q_OBJECT

public:
    // Tests shorten how long a close request waits for the job; the program waits the job's
    // join time-out.
    void SetCloseWaitMs(int nWaitMs) { m_nCloseWaitMs = nWaitMs; }

protected:
    OperationDialog(QWidget *pParent, bool bCloseBox);

    // Where the job posts its messages.
    PostTarget Target() const { return m_receiver.Target(); }
    const DialogUnits &Units() const { return m_units; }
    void SetClientSize(int cx, int cy);

    // One posted message from the job, in posting order.
    virtual void OnPosted(PostedMessage &message) = 0;
    // Called once, when the dialog is first shown, before the event loop delivers anything.
    virtual void OnOpening() = 0;

    // After a close request has asked the job to stop, as the dialog's Cancel does: the dialog
    // stays up and ends when the job's own end arrives, so it ends as Cancel would have ended
    // it. Should the job not end within the wait, its thread is let go and the dialog ends
    // with IDCANCEL. Nothing blocks the window meanwhile.
    void AwaitJobEndAfterClose(CWorkerThread &job);
    bool IsCloseRequested() const { return m_pCloseTimer != nullptr; }

    bool event(QEvent *pEvent) override;
    // Once ended, the dialog takes no more posts: a job stopped by a close request may still
    // have queued a few.
    void done(int nResult) override;
    void showEvent(QShowEvent *pEvent) override;

private:
    PostReceiver m_receiver;
    DialogUnits m_units;
    bool m_bOpened = false;
    bool m_bEnded = false;
    int m_nCloseWaitMs = -1;
    QTimer *m_pCloseTimer = nullptr;
};
