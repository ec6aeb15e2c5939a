#include "ui/dialogs/CDlgUploadFile.h"

#include "core/StringIds.h"
#include "ui/dialogs/DialogResult.h"
#include "ui/dialogs/ElidedLabel.h"

#include <QProgressBar>
#include <QPushButton>

CDlgUploadFile::CDlgUploadFile(RecorderProtocol &protocol, QWidget *pParent)
    : JobDialog(protocol, pParent, DialogFrame{StringId::IDS_DLG_UPLOADFILE_CAPTION, 187, 78, true},
                TransferTexts{StringId::IDS_DLG_UPLOADFILE_UPLOADING, StringId::IDS_DLG_UPLOADFILE_FILE_NAME,
                              Qt::ElideMiddle, StringId::IDS_DLG_UPLOADFILE_CANCEL})
{}

int CDlgUploadFile::Execute(const QString &strFilePath)
{
    m_strFilePath = strFilePath;
    return exec();
}

void CDlgUploadFile::OnOpening()
{
    NameLabel()->setText(m_strFilePath);
    m_job.m_strFilePath = m_strFilePath;
    m_job.m_bOverwrite = false;
}

void CDlgUploadFile::OnJobResult(const JobResultPost &post)
{
    // The worker is joined before anyone is asked anything or the job runs again.
    m_job.Stop();
    if (post.result == RESULT_FILE_EXISTS) {
        if (ShowResultBox(ResultTable::Upload, RESULT_FILE_EXISTS, QMessageBox::Ok | QMessageBox::Cancel) !=
            IDOK) {
            done(IDCANCEL);
            return;
        }
        // The second run is an upload like the first: a Cancel pressed before the refusal was
        // answered by the question, and the new run can be cancelled again.
        ProgressBar()->setValue(0);
        CancelButton()->setEnabled(true);
        m_job.m_bOverwrite = true;
        LaunchJob();
        return;
    }
    ShowResultBox(ResultTable::Upload, post.result);
    done(post.result.IsOk() ? IDOK : IDCANCEL);
}

bool CDlgUploadFile::OnCloseRequest()
{
    // The close box is the Cancel button: the dialog stays up until the job's result arrives.
    reject();
    return false;
}
