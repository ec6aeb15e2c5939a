#pragma once

#include "jobs/CJobUploadFile.h"
#include "ui/dialogs/TransferDialog.h"

class RecorderProtocol;

// "Upload file to recorder": sends one local file to the card and turns the job's result
// into a message box; when the card already holds the name it asks whether to overwrite and
// runs the same job again with the overwrite flag.
class CDlgUploadFile final : public JobDialog<CJobUploadFile, TransferDialog>
{
    Q_OBJECT

public:
    explicit CDlgUploadFile(RecorderProtocol &protocol, QWidget *pParent = nullptr);

    // IDOK after a successful upload, IDCANCEL otherwise.
    int Execute(const QString &strFilePath);

    // For tests and screenshots.
    ElidedLabel *PathLabel() const { return NameLabel(); }

protected:
    void OnOpening() override;
    void OnJobResult(const JobResultPost &post) override;
    bool OnCloseRequest() override;

private:
    QString m_strFilePath;
};
