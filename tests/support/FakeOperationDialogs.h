#pragma once

#include "ui/browser/IOperationDialogs.h"

#include <QString>
#include <QStringList>

#include <functional>

// The operation dialogs of the window tests and the benchmarks: each answers as the caller set
// it up (by default the user agrees, and cancels an upload) and logs what was asked of it.
class FakeOperationDialogs final : public IOperationDialogs
{
public:
    QStringList log;
    int nInitDeviceResult = IDOK;
    std::function<void()> onInitDevice; // runs "inside" the connect dialog
    QString strSaveToFolder;
    int nSaveToResult = IDOK;
    int nOverwriteResult = IDOK;
    int nDelFilesResult = IDOK;
    std::function<void()> onGetFile;
    QString strArchiveFolder;
    int nArchiveStartResult = IDOK;

    int RunInitDevice() override;
    int RunSaveTo(QString *pstrFolder) override;
    int RunOverwriteFiles(const QStringList &existing) override;
    // Logs "get:" and the names, after the folder when it is not strSaveToFolder.
    int RunGetFile(const DownloadPlan &plan) override;
    int RunUploadFile(const QString &strLocalPath) override;
    int RunDelFiles(const QStringList &names) override;
    int RunUpdateCF() override;
    int RunArchiveStart(QString *pstrFolder, bool *pbDeleteAfter) override;
    int RunArchive(const QString &strFolder, bool bDeleteAfter) override;

private:
    int Logged(const QString &strEntry, int nResult);
};
