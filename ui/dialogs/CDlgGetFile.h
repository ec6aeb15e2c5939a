#pragma once

#include "jobs/CJobGetFile.h"
#include "ui/dialogs/TransferDialog.h"

#include <QStringList>

class RecorderProtocol;

// "Downloading files from recorder": downloads the listed recorder files one after another
// into a local folder, showing the current name and its progress; failures in message boxes.
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

protected:
    void OnOpening() override;
    void OnJobFile(const QString &strName) override;
    void OnJobText(const JobTextPost &post) override;
    void OnJobEnded() override;
    bool OnCloseRequest() override;

private:
    bool m_bFailed = false;
    QString m_strDestFolder;
    const QStringList *m_pFileNames = nullptr; // the caller's, until Execute returns
    const DownloadPlan *m_pPlan = nullptr;     // the caller's, until Execute returns
};
