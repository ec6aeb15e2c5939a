#include "core/FileDownloadSink.h"

FileDownloadSink::FileDownloadSink(const DownloadPlan &plan, const DownloadPlan::Item &item)
    : FileDownloadSink(plan, item, plan.ReplacesExisting())
{}

FileDownloadSink::FileDownloadSink(const DownloadPlan &plan, const DownloadPlan::Item &item, bool bReplace)
    : m_writer(plan.Folder())
    , m_item(item)
    , m_bReplace(bReplace)
{}

RecorderResult FileDownloadSink::Open()
{
    if (m_item.IsRefused())
        return RecorderResult::Local(
            m_item.refusal,
            QStringLiteral("refusing the card file name \"%1\": %2").arg(m_item.strCardName, m_item.strWhy));
    return m_writer.Open(m_item.strLocalName);
}

RecorderResult FileDownloadSink::Write(const quint8 *pData, quint32 nLen)
{
    return m_writer.Append(pData, nLen);
}

RecorderResult FileDownloadSink::Flush()
{
    return m_writer.Flush();
}

RecorderResult FileDownloadSink::Commit()
{
    return m_writer.Commit(m_bReplace, m_item.modified);
}

void FileDownloadSink::Discard()
{
    m_writer.Discard();
}
