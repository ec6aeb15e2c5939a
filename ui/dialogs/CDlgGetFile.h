#pragma once

#include "jobs/CJobGetFile.h"
#include "ui/dialogs/OperationDialog.h"

#include <QStringList>

class ElidedLabel;
class QProgressBar;
class QPushButton;
class RecorderProtocol;

// "Downloading files from recorder": downloads the listed recorder files one after another
// into a local folder, showing the current name and its progress; failures in message boxes.
class CDlgGetFile final : public OperationDialog
{
    Q_OBJECT

public:
    explicit CDlgGetFile(RecorderProtocol &protocol, QWidget *pParent = nullptr);
    ~CDlgGetFile() override;

    // strDestFolder ends with "/"; fileNames must stay unchanged until this returns.
    // IDOK, or IDCANCEL when a failure was reported.
    int Execute(const QString &strDestFolder, const QStringList &fileNames);
    // The files the plan keeps, into its folder, under its local names and with its dates; the
    // plan must stay unchanged until this returns.
    int Execute(const DownloadPlan &plan);

    // For tests and screenshots.
    ElidedLabel *FileNameLabel() const { return m_pFileName; }
    QProgressBar *ProgressBar() const { return m_pProgress; }
    QPushButton *CancelButton() const { return m_pCancel; }

protected:
    void OnOpening() override;
    void OnPosted(PostedMessage &message) override;
    void reject() override;
    void accept() override {}
    void closeEvent(QCloseEvent *pEvent) override;

private:
    void EndOfJob();

    bool m_bFailed = false;
    QString m_strDestFolder;
    const QStringList *m_pFileNames = nullptr;
    const DownloadPlan *m_pPlan = nullptr;
    CJobGetFile m_job;
    QProgressBar *m_pProgress;
    ElidedLabel *m_pFileName;
    QPushButton *m_pCancel;
};
