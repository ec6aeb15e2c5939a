#pragma once

#include "jobs/CJobGetFile.h"
#include "ui/dialogs/TransferDialog.h"

#include <QElapsedTimer>
#include <QStringList>

class RecorderProtocol;

// "Downloading files from recorder": downloads the listed recorder files one after another
// into a local folder, showing the current name and its progress, and on a line of its own where
// the whole run stands; failures in message boxes.
class CDlgGetFile final : public JobDialog<CJobGetFile, TransferDialog>
{
    Q_OBJECT

public:
    explicit CDlgGetFile(RecorderProtocol &protocol, QWidget *pParent = nullptr);

    // strDestFolder ends with "/"; fileNames must stay unchanged until this returns.
    // IDOK, or IDCANCEL when a failure was reported.
    int Execute(const QString &strDestFolder, const QStringList &fileNames);
    // The files the plan keeps, into its folder, under its local names and with its dates; the
    // plan must stay unchanged until this returns.
    int Execute(const DownloadPlan &plan);

    // For tests and screenshots.
    ElidedLabel *FileNameLabel() const { return NameLabel(); }
    ElidedLabel *RunLabel() const { return m_pRun; }

protected:
    void OnOpening() override;
    void OnJobFile(const QString &strName) override;
    void OnRunProgress(const RunProgressPost &post) override;
    void OnProgress(const ProgressPost &post) override;
    void OnJobText(const JobTextPost &post) override;
    void OnJobEnded() override;
    bool OnCloseRequest() override;

private:
    void ShowRun(quint64 nDoneBytes);

    ElidedLabel *m_pRun;
    RunProgressPost m_run;
    QElapsedTimer m_runTime;
    bool m_bFailed = false;
    QString m_strDestFolder;
    const QStringList *m_pFileNames = nullptr; // the caller's, until Execute returns
    const DownloadPlan *m_pPlan = nullptr;     // the caller's, until Execute returns
};
