#pragma once

#include "ui/dialogs/DialogResult.h"

#include <QString>
#include <QStringList>

class DownloadPlan;

// How the file browser runs its operation dialogs and prompts: each call constructs the
// dialog for one use, runs it modally and returns its end code (IDOK, IDCANCEL). The program uses
// the real dialogs; tests put their own answers in.
class IOperationDialogs
{
public:
    virtual ~IOperationDialogs() = default;

    // The connect dialog; it fills the file list and the information pane as reports arrive.
    virtual int RunInitDevice() = 0;
    // The destination prompt; on IDOK *pstrFolder is the chosen folder ending with "/".
    virtual int RunSaveTo(QString *pstrFolder) = 0;
    // The overwrite prompt for the names that already exist in the destination.
    virtual int RunOverwriteFiles(const QStringList &existing) = 0;
    // The download dialog for the names the plan keeps, into the plan's folder.
    virtual int RunGetFile(const DownloadPlan &plan) = 0;
    virtual int RunUploadFile(const QString &strLocalPath) = 0;
    virtual int RunDelFiles(const QStringList &names) = 0;
    // The update-data dialog, parented to the view's own parent window.
    virtual int RunUpdateCF() = 0;
    // The archive start dialog; on IDOK *pstrFolder (absolute, ending with "/") and
    // *pbDeleteAfter are the choices.
    virtual int RunArchiveStart(QString *pstrFolder, bool *pbDeleteAfter) = 0;
    // The archive run into strFolder, then its summary.
    virtual int RunArchive(const QString &strFolder, bool bDeleteAfter) = 0;
};
