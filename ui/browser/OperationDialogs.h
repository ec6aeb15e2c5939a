#pragma once

#include "ui/browser/IOperationDialogs.h"

class CChildView;
class QWidget;
class RecorderProtocol;

// The program's own operation dialogs and prompts, each constructed for one run. The connect
// dialog fills the given view's list and the information pane.
class OperationDialogs final : public IOperationDialogs
{
public:
    OperationDialogs(RecorderProtocol &protocol, CChildView &view);

    int RunInitDevice() override;
    int RunSaveTo(QString *pstrFolder) override;
    int RunOverwriteFiles(const QStringList &existing) override;
    int RunGetFile(const DownloadPlan &plan) override;
    int RunUploadFile(const QString &strLocalPath) override;
    int RunDelFiles(const QStringList &names) override;
    int RunUpdateCF() override;
    int RunArchiveStart(QString *pstrFolder, bool *pbDeleteAfter) override;
    int RunArchive(const QString &strFolder, bool bDeleteAfter) override;

private:
    // The window that owns the dialogs: the view's top-level window.
    QWidget *Owner() const;

    RecorderProtocol &m_protocol;
    CChildView &m_view;
};
