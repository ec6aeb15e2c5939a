#include "COperationDialogs.h"

#include "CChildView.h"

// Interim: the operation dialogs are not in the tree yet. Every run reports that the user
// cancelled, which leaves the view not connected and changes nothing on disk.
COperationDialogs::COperationDialogs(RecorderProtocol &protocol, CChildView &view)
    : m_protocol(protocol)
    , m_view(view)
{}

int COperationDialogs::RunInitDevice()
{
    return ID_CANCEL;
}

int COperationDialogs::RunSaveTo(QString * /*pstrFolder*/)
{
    return ID_CANCEL;
}

int COperationDialogs::RunOverwriteFiles(const QStringList & /*existing*/)
{
    return ID_CANCEL;
}

int COperationDialogs::RunGetFile(const QString & /*strFolder*/, const QStringList & /*names*/)
{
    return ID_CANCEL;
}

int COperationDialogs::RunUploadFile(const QString & /*strLocalPath*/)
{
    return ID_CANCEL;
}

int COperationDialogs::RunDelFiles(const QStringList & /*names*/)
{
    return ID_CANCEL;
}

int COperationDialogs::RunUpdateCF(QWidget * /*pParent*/)
{
    return ID_CANCEL;
}
