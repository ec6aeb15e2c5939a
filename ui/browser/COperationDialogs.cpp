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

// Each dialog is constructed for one run and destroyed when it has ended. All but the
// update-data dialog are made without a parent, as the application's modal windows.
COperationDialogs::COperationDialogs(RecorderProtocol &protocol, CChildView &view)
    : m_protocol(protocol)
    , m_view(view)
{}

int COperationDialogs::RunInitDevice()
{
    CDlgInitDevice dialog(m_protocol, m_view);
    return dialog.exec();
}

int COperationDialogs::RunSaveTo(QString *pstrFolder)
{
    CDlgSaveTo dialog;
    const int nResult = dialog.exec();
    if (nResult == IDOK)
        *pstrFolder = dialog.m_strPath;
    return nResult;
}

int COperationDialogs::RunOverwriteFiles(const QStringList &existing)
{
    CDlgOverwriteFiles dialog;
    return dialog.ShowModal(existing);
}

int COperationDialogs::RunGetFile(const QString &strFolder, const QStringList &names)
{
    CDlgGetFile dialog(m_protocol);
    return dialog.Execute(strFolder, names);
}

int COperationDialogs::RunUploadFile(const QString &strLocalPath)
{
    CDlgUploadFile dialog(m_protocol);
    return dialog.Execute(strLocalPath);
}

int COperationDialogs::RunDelFiles(const QStringList &names)
{
    CDlgDelFiles dialog(m_protocol);
    return dialog.Execute(names);
}

int COperationDialogs::RunUpdateCF(QWidget *pParent)
{
    CDlgUpdateCF dialog(m_protocol, pParent);
    return dialog.exec();
}
