#pragma once

#include "archive/ArchiveVerifier.h"
#include "jobs/CJobVerifyArchive.h"
#include "ui/dialogs/TransferDialog.h"

#include <QElapsedTimer>

#include <memory>

class VerifyOutcome;

// "Verifying archive": checks the archive folder on the worker thread, showing the file being
// read, the bar of the whole check and, on a line of its own, file k of n with the bytes and the
// time left. Cancel (and Escape, and a close request) stops the check; it ends without a result.
class VerifyArchiveDialog final : public TransferDialog
{
    Q_OBJECT

public:
    explicit VerifyArchiveDialog(QWidget *pParent = nullptr);
    ~VerifyArchiveDialog() override;

    // The check, then what it found in the result dialog. IDCANCEL when it was cancelled.
    static int Run(QWidget *pOwner, const QString &strFolder);

    // IDOK when the check ran to its end (Result then says what it found), else IDCANCEL.
    int Execute(const QString &strFolder);
    const ArchiveVerifier::Result *Result() const;

    // For tests and screenshots.
    ElidedLabel *RunLabel() const { return m_pRun; }

protected:
    RecorderJob &Job() override { return m_job; }
    void OnOpening() override;
    void OnJobFile(const QString &strName) override;
    void OnRunProgress(const RunProgressPost &post) override;
    void OnJobOutput(const JobOutputPost &post) override;
    void OnJobEnded() override;
    bool OnCloseRequest() override;

private:
    CJobVerifyArchive m_job;
    QString m_strFolder;
    ElidedLabel *m_pRun;
    QElapsedTimer m_runTime;
    std::shared_ptr<const VerifyOutcome> m_pOutcome;
};
