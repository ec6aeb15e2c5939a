#pragma once

#include "archive/Sha256.h"
#include "core/IDownloadSink.h"

#include <QByteArray>

#include <functional>

// Hashes a download on its way to another sink: each block is hashed as it is handed on, so
// the file's digest costs neither a second read nor a pass of its own. The digest is there once
// the wrapped sink has committed the file; until then, and after a failure, it is empty. A
// step that must come between the last byte and the file's name (the journal's note of what is
// being stored) runs with the digest just before the commit; its failure fails the commit.
class HashingSink final : public IDownloadSink
{
public:
    using BeforeCommit = std::function<RecorderResult(const QByteArray &hex, quint64 nBytes)>;

    // inner must outlive this sink.
    explicit HashingSink(IDownloadSink &inner, BeforeCommit beforeCommit = {});

    RecorderResult Open() override;
    RecorderResult Write(const quint8 *pData, quint32 nLen) override;
    RecorderResult Flush() override;
    RecorderResult Commit() override;
    void Discard() override;

    // 64 lowercase hex characters of the committed file's SHA-256; empty before the commit (and,
    // should libcrypto ever fail, after it: then the file is to be hashed from disk).
    const QByteArray &Hex() const { return m_hex; }
    // The bytes handed on so far.
    quint64 Bytes() const { return m_nBytes; }

private:
    IDownloadSink &m_inner;
    BeforeCommit m_beforeCommit;
    Sha256 m_hash;
    quint64 m_nBytes = 0;
    QByteArray m_hex;
};
