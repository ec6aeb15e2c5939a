#pragma once

#include "core/DownloadPlan.h"
#include "core/IDownloadSink.h"
#include "core/SafeFileWriter.h"

// The usual end of a download: one planned file written safely into the plan's folder, under
// its local name and with the card's date.
class FileDownloadSink final : public IDownloadSink
{
public:
    // Replaces a regular file of the item's local name when the plan replaces existing files.
    FileDownloadSink(const DownloadPlan &plan, const DownloadPlan::Item &item);
    FileDownloadSink(const DownloadPlan &plan, const DownloadPlan::Item &item, bool bReplace);

    RecorderResult Open() override;
    RecorderResult Write(const quint8 *pData, quint32 nLen) override;
    RecorderResult Flush() override;
    RecorderResult Commit() override;
    void Discard() override;

private:
    SafeFileWriter m_writer;
    DownloadPlan::Item m_item;
    bool m_bReplace;
};
