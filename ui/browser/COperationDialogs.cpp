#include "COperationDialogs.h"

#include "CChildView.h"
#include "CDlgDelFiles.h"
#include "CDlgGetFile.h"
#include "CDlgInitDevice.h"
#include "CDlgOverwriteFiles.h"
#include "CDlgSaveTo.h"
#include "CDlgUpdateCF.h"
#include "CDlgUploadFile.h"
#include "DialogResult.h"

// Each dialog is constructed for one run and destroyed when it has ended. The main window is
// the owner of each, so that it opens centred over that window and stays in front of it; the
// update-data dialog is given its parent by the caller.
COperationDialogs::COperationDialogs(RecorderProtocol &protocol, CChildView &view)
    : m_protocol(protocol)
    , m_view(view)
{}

QWidget *COperationDialogs::Owner() const
{
    return m_view.window();
}

int COperationDialogs::RunInitDevice()
{
    CDlgInitDevice dialog(m_protocol, m_view, Owner());
    return dialog.exec();
}

int COperationDialogs::RunSaveTo(QString *pstrFolder)
{
    CDlgSaveTo dialog(Owner());
    const int nResult = dialog.exec();
    if (nResult == IDOK)
        *pstrFolder = dialog.m_strPath;
    return nResult;
}

int COperationDialogs::RunOverwriteFiles(const QStringList &existing)
{
    CDlgOverwriteFiles dialog(Owner());
    return dialog.ShowModal(existing);
}

int COperationDialogs::RunGetFile(const DownloadPlan &plan)
{
    CDlgGetFile dialog(m_protocol, Owner());
    return dialog.Execute(plan);
}

int COperationDialogs::RunUploadFile(const QString &strLocalPath)
{
    CDlgUploadFile dialog(m_protocol, Owner());
    return dialog.Execute(strLocalPath);
}

int COperationDialogs::RunDelFiles(const QStringList &names)
{
    CDlgDelFiles dialog(m_protocol, Owner());
    return dialog.Execute(names);
}

int COperationDialogs::RunUpdateCF(QWidget *pParent)
{
    CDlgUpdateCF dialog(m_protocol, pParent);
    return dialog.exec();
}
