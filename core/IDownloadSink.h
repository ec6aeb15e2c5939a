#pragma once

#include "core/RecorderResult.h"

#include <QtGlobal>

// Where the bytes of a download go. The protocol hands each block to the sink and decides when
// the file is complete; where the bytes land and what "complete" does belong to the sink.
class IDownloadSink
{
public:
    virtual ~IDownloadSink() = default;

    // Before the request goes out: prepares the local side. A failure means nothing is sent.
    virtual RecorderResult Open() = 0;
    virtual RecorderResult Write(const quint8 *pData, quint32 nLen) = 0;
    // Every byte has arrived; runs before the last block is acknowledged, so that a local
    // failure still reaches the recorder as an abort.
    virtual RecorderResult Flush() = 0;
    // After the last acknowledgement: the download is over and the file is to be kept.
    virtual RecorderResult Commit() = 0;
    // Throws away whatever was not committed.
    virtual void Discard() = 0;
};
