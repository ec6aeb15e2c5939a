#include "ui/browser/OperationDialogs.h"

#include "ui/browser/CChildView.h"
#include "ui/dialogs/ArchiveRunDialog.h"
#include "ui/dialogs/ArchiveStartDialog.h"
#include "ui/dialogs/CDlgDelFiles.h"
#include "ui/dialogs/CDlgGetFile.h"
#include "ui/dialogs/CDlgInitDevice.h"
#include "ui/dialogs/CDlgOverwriteFiles.h"
#include "ui/dialogs/CDlgSaveTo.h"
#include "ui/dialogs/CDlgUpdateCF.h"
#include "ui/dialogs/CDlgUploadFile.h"
#include "ui/dialogs/DialogResult.h"

// Each dialog is constructed for one run and destroyed when it has ended. The main window is
// the owner of each, so that it opens centred over that window and stays in front of it; the
// update-data dialog's parent is the view's own parent window (the splitter).
OperationDialogs::OperationDialogs(RecorderProtocol &protocol, CChildView &view)
    : m_protocol(protocol)
    , m_view(view)
{}

QWidget *OperationDialogs::Owner() const
{
    return m_view.window();
}

int OperationDialogs::RunInitDevice()
{
    CDlgInitDevice dialog(m_protocol, m_view, Owner());
    return dialog.exec();
}

int OperationDialogs::RunSaveTo(QString *pstrFolder)
{
    CDlgSaveTo dialog(Owner());
    const int nResult = dialog.exec();
    if (nResult == IDOK)
        *pstrFolder = dialog.m_strPath;
    return nResult;
}

int OperationDialogs::RunOverwriteFiles(const QStringList &existing)
{
    CDlgOverwriteFiles dialog(Owner());
    return dialog.ShowModal(existing);
}

int OperationDialogs::RunGetFile(const DownloadPlan &plan)
{
    CDlgGetFile dialog(m_protocol, Owner());
    return dialog.Execute(plan);
}

int OperationDialogs::RunUploadFile(const QString &strLocalPath)
{
    CDlgUploadFile dialog(m_protocol, Owner());
    return dialog.Execute(strLocalPath);
}

int OperationDialogs::RunDelFiles(const QStringList &names)
{
    CDlgDelFiles dialog(m_protocol, Owner());
    return dialog.Execute(names);
}

int OperationDialogs::RunUpdateCF()
{
    CDlgUpdateCF dialog(m_protocol, m_view.parentWidget());
    return dialog.exec();
}

int OperationDialogs::RunArchiveStart(QString *pstrFolder, bool *pbDeleteAfter)
{
    ArchiveStartDialog dialog(Owner());
    const int nResult = dialog.exec();
    if (nResult == IDOK) {
        *pstrFolder = dialog.m_strFolder;
        *pbDeleteAfter = dialog.m_bDeleteAfter;
    }
    return nResult;
}

int OperationDialogs::RunArchive(const QString &strFolder, bool bDeleteAfter)
{
    ArchiveRunDialog dialog(m_protocol, Owner());
    return dialog.Execute(strFolder, bDeleteAfter);
}
