#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

struct evp_md_ctx_st;

// SHA-256 over libcrypto's digest interface, which uses the processor's SHA instructions where
// it has them (about five times the speed of QCryptographicHash here). Bytes are added as they
// come; the digest of what was added so far can be read at any time.
class Sha256 final
{
    Q_DISABLE_COPY_MOVE(Sha256)

public:
    // Reads of a file hashed from disk.
    static constexpr qsizetype READ_CHUNK = 1024 * 1024;
    // Called after each read with the bytes hashed so far; false stops the hashing.
    using Progress = std::function<bool(qint64 nHashed)>;

    Sha256();
    ~Sha256();

    void Add(const void *pData, qsizetype nLen);
    // The digest of the bytes added since the start or the last Reset: 64 lowercase hex
    // characters; empty only when libcrypto failed.
    QByteArray Hex() const;
    void Reset();

    // The digest of a file read from its start to its end. Empty on failure, with the reason in
    // *pError (English, for messages): a read error, a file that is not a regular file, or
    // progress returning false. The open file descriptor is read from its start and not closed.
    static QByteArray FileHex(int nFd, const Progress &progress = {}, QString *pError = nullptr);
    // The same for a file named by its path, never through a symbolic link.
    static QByteArray FileHex(const QString &strPath, const Progress &progress = {},
                              QString *pError = nullptr);

private:
    evp_md_ctx_st *m_pContext = nullptr;
    bool m_bFailed = false;
};
