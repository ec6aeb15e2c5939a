#pragma once

#include "jobs/CJobUploadFile.h"
#include "ui/dialogs/OperationDialog.h"

class ElidedLabel;
class QProgressBar;
class QPushButton;
class RecorderProtocol;

// "Upload file to recorder": sends one local file to the card and turns the job's result
// into a message box; when the card already holds the name it asks whether to overwrite and
// runs the same job again with the overwrite flag.
class CDlgUploadFile final : public OperationDialog
{
    Q_OBJECT

public:
    explicit CDlgUploadFile(RecorderProtocol &protocol, QWidget *pParent = nullptr);
    ~CDlgUploadFile() override;

    // IDOK after a successful upload, IDCANCEL otherwise.
    int Execute(const QString &strFilePath);

    // For tests and screenshots.
    ElidedLabel *PathLabel() const { return m_pPath; }
    QProgressBar *ProgressBar() const { return m_pProgress; }
    QPushButton *CancelButton() const { return m_pCancel; }

protected:
    void OnOpening() override;
    void OnPosted(PostedMessage &message) override;
    void reject() override;
    void accept() override {}

private:
    void OnResult(int nResult);

    QString m_strFilePath;
    CJobUploadFile m_job;
    ElidedLabel *m_pPath;
    QProgressBar *m_pProgress;
    QPushButton *m_pCancel;
};
