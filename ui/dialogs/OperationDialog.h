#pragma once

#include "jobs/RecorderJob.h"
#include "jobs/ResultTexts.h"
#include "protocol/PostTarget.h"
#include "ui/dialogs/DialogUnits.h"

#include <QDialog>
#include <QMessageBox>

#include <utility>

class QPushButton;
class QTimer;

// What a dialog's template fixes: its caption, its client size in dialog units, and whether it
// has a system menu with a close box.
struct DialogFrame
{
    quint32 nCaptionId = 0;
    int cx = 0;
    int cy = 0;
    bool bCloseBox = false;
};

// Base of the dialogs that run a recorder job; JobDialog below adds the job. It does what the
// five have in common: it launches the job when the dialog opens, hands the job's posts to typed
// handlers on the user-interface thread in posting order, joins the job before the dialog ends,
// and answers a close request without blocking the window. Each dialog keeps its own key and
// close rules. Controls are laid out in dialog units of the dialog's own font.
class OperationDialog : public QDialog
{
    Q_OBJECT

public:
    // Tests shorten how long a close request waits for the job; the program waits the job's
    // join time-out.
    void SetCloseWaitMs(int nWaitMs) { m_nCloseWaitMs = nWaitMs; }

protected:
    OperationDialog(QWidget *pParent, const DialogFrame &frame);

    virtual RecorderJob &Job() = 0;
    // Where the job posts its messages.
    PostTarget Target() const { return m_receiver.Target(); }
    const DialogUnits &Units() const { return m_units; }

    // A control of this dialog at a rectangle in dialog units; args go to its constructor
    // before the parent.
    template <class TControl, class... TArgs>
    TControl *AddControl(int x, int y, int cx, int cy, TArgs &&...args)
    {
        auto *pControl = new TControl(std::forward<TArgs>(args)..., this);
        pControl->setGeometry(m_units.Rect(x, y, cx, cy));
        return pControl;
    }

    // Called once, when the dialog is first shown: the dialog's opening steps and the job's
    // inputs. The job is launched right after it, before the event loop delivers anything.
    virtual void OnOpening() = 0;
    // Gives the job this dialog as its window and launches it (again, for a second run).
    void LaunchJob();
    // Joins the job, then ends the dialog with nResult.
    void EndAfterJob(int nResult);

    // The job's posts; each dialog handles those its job sends.
    virtual void OnJobText(const JobTextPost &) {}
    virtual void OnJobResult(const JobResultPost &) {}
    virtual void OnJobFile(const QString &) {}
    virtual void OnProgress(const ProgressPost &) {}
    virtual void OnRunProgress(const RunProgressPost &) {}
    virtual void OnJobOutput(const JobOutputPost &) {}
    virtual void OnFileEntry(const FileEntryPost &) {}
    virtual void OnDeviceInfo(const QString &) {}
    virtual void OnCardInfo(const QString &) {}
    // WM_CLOSE from the job: it is over.
    virtual void OnJobEnded() {}

    // A close request (Alt+F4, a close box), answered by the dialog's own rule. Returns true
    // when the rule asked the job to stop and the dialog is to wait for the job's end: it then
    // stays up until that end arrives and ends as Cancel would have ended it; should the job not
    // end within the wait, its thread is let go and the dialog ends with IDCANCEL.
    virtual bool OnCloseRequest() = 0;
    bool IsCloseRequested() const { return m_pCloseTimer != nullptr; }

    // Asks the job to stop and greys out the button that asked.
    void RequestJobStop(QPushButton *pButton);
    // The box that table shows for code, owned by this dialog; IDOK when it shows none.
    int ShowResultBox(ResultTable table, RecorderResultCode code,
                      QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    bool event(QEvent *pEvent) override;
    void showEvent(QShowEvent *pEvent) override;
    void closeEvent(QCloseEvent *pEvent) override;
    // Only the job's end or the dialog's own rules end it, through done(); the standard OK and
    // Cancel paths do nothing unless a dialog gives them its rule.
    void accept() override {}
    void reject() override {}
    // Once ended, the dialog takes no more posts: a job stopped by a close request may still
    // have queued a few.
    void done(int nResult) override;

private:
    void Dispatch(const PostedMessage &message);
    void AwaitJobEnd();

    PostReceiver m_receiver;
    DialogUnits m_units;
    bool m_bOpened = false;
    bool m_bEnded = false;
    int m_nCloseWaitMs = -1;
    QTimer *m_pCloseTimer = nullptr;
};

// An operation dialog with its job TJob, owned by value as m_job; TBase is OperationDialog or a
// kind of it. Whatever way the dialog ends, the job is joined before it goes.
template <class TJob, class TBase = OperationDialog> class JobDialog : public TBase
{
protected:
    template <class... TArgs>
    explicit JobDialog(RecorderProtocol &protocol, TArgs &&...args)
        : TBase(std::forward<TArgs>(args)...)
        , m_job(&protocol)
    {}
    ~JobDialog() override { m_job.Stop(); }

    RecorderJob &Job() override { return m_job; }

    TJob m_job;
};
