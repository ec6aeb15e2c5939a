#pragma once

#include "archive/Sha256.h"
#include "core/IDownloadSink.h"

#include <QByteArray>

// Hashes a download on its way to another sink: each block is hashed as it is handed on, so
// the file's digest costs neither a second read nor a pass of its own. The digest is there once
// the wrapped sink has committed the file; until then, and after a failure, it is empty.
class HashingSink final : public IDownloadSink
{
public:
    // inner must outlive this sink.
    explicit HashingSink(IDownloadSink &inner);

    RecorderResult Open() override;
    RecorderResult Write(const quint8 *pData, quint32 nLen) override;
    RecorderResult Flush() override;
    RecorderResult Commit() override;
    void Discard() override;

    // 64 lowercase hex characters of the committed file's SHA-256; empty before the commit (and,
    // should libcrypto ever fail, after it: then the file is to be hashed from disk).
    const QByteArray &Hex() const { return m_hex; }

private:
    IDownloadSink &m_inner;
    Sha256 m_hash;
    QByteArray m_hex;
};
