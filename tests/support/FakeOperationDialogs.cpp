#include "support/FakeOperationDialogs.h"

#include "core/DownloadPlan.h"

int FakeOperationDialogs::RunInitDevice()
{
    log << "init";
    if (onInitDevice)
        onInitDevice();
    return nInitDeviceResult;
}

int FakeOperationDialogs::RunSaveTo(QString *pstrFolder)
{
    *pstrFolder = strSaveToFolder;
    return Logged("saveto", nSaveToResult);
}

int FakeOperationDialogs::RunOverwriteFiles(const QStringList &existing)
{
    return Logged("overwrite:" + existing.join(u','), nOverwriteResult);
}

int FakeOperationDialogs::RunGetFile(const DownloadPlan &plan)
{
    QStringList names;
    for (const DownloadPlan::Item &item : plan.ToDownload())
        names.append(item.strCardName);
    log << "get:" + (plan.Folder() == strSaveToFolder ? QString() : plan.Folder()) + names.join(u',');
    if (onGetFile)
        onGetFile();
    return IDOK;
}

int FakeOperationDialogs::RunUploadFile(const QString &strLocalPath)
{
    return Logged("upload:" + strLocalPath, IDCANCEL);
}

int FakeOperationDialogs::RunDelFiles(const QStringList &names)
{
    return Logged("delete:" + names.join(u','), nDelFilesResult);
}

int FakeOperationDialogs::RunUpdateCF()
{
    return Logged("update", IDOK);
}

int FakeOperationDialogs::RunArchiveStart(QString *pstrFolder, bool *pbDeleteAfter)
{
    *pstrFolder = strArchiveFolder;
    *pbDeleteAfter = false;
    return Logged("archive-start", nArchiveStartResult);
}

int FakeOperationDialogs::RunArchive(const QString &strFolder, bool)
{
    return Logged("archive:" + strFolder, IDOK);
}

int FakeOperationDialogs::Logged(const QString &strEntry, int nResult)
{
    log << strEntry;
    return nResult;
}
