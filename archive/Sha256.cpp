#include "archive/Sha256.h"

#include <QFile>

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int DIGEST_BYTES = 32;

void SetError(QString *pError, const QString &strError)
{
    if (pError)
        *pError = strError;
}

} // namespace

Sha256::Sha256()
    : m_pContext(EVP_MD_CTX_new())
{
    Reset();
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(m_pContext);
}

void Sha256::Reset()
{
    m_bFailed = m_pContext == nullptr || EVP_DigestInit_ex(m_pContext, EVP_sha256(), nullptr) != 1;
}

void Sha256::Add(const void *pData, qsizetype nLen)
{
    if (!m_bFailed && nLen > 0)
        m_bFailed = EVP_DigestUpdate(m_pContext, pData, size_t(nLen)) != 1;
}

QByteArray Sha256::Hex() const
{
    if (m_bFailed)
        return {};
    // Finishing a digest ends its context: a copy is finished, so that more can be added.
    EVP_MD_CTX *pCopy = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int nDigest = 0;
    const bool bOk = pCopy != nullptr && EVP_MD_CTX_copy_ex(pCopy, m_pContext) == 1 &&
                     EVP_DigestFinal_ex(pCopy, digest, &nDigest) == 1 && nDigest == DIGEST_BYTES;
    EVP_MD_CTX_free(pCopy);
    if (!bOk)
        return {};
    return QByteArray(reinterpret_cast<const char *>(digest), DIGEST_BYTES).toHex();
}

QByteArray Sha256::FileHex(int nFd, const Progress &progress, QString *pError)
{
    struct stat st = {};
    if (::fstat(nFd, &st) != 0) {
        SetError(pError, qt_error_string(errno));
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        SetError(pError, QStringLiteral("not a regular file"));
        return {};
    }
    ::posix_fadvise(nFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    Sha256 hash;
    QByteArray buffer(READ_CHUNK, Qt::Uninitialized);
    qint64 nOffset = 0;
    for (;;) {
        // pread: the descriptor's own position does not matter and is left alone.
        const ssize_t n = ::pread(nFd, buffer.data(), size_t(buffer.size()), off_t(nOffset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetError(pError, qt_error_string(errno));
            return {};
        }
        if (n == 0)
            break;
        hash.Add(buffer.constData(), n);
        nOffset += n;
        if (progress && !progress(nOffset)) {
            SetError(pError, QStringLiteral("cancelled"));
            return {};
        }
    }
    QByteArray hex = hash.Hex();
    if (hex.isEmpty())
        SetError(pError, QStringLiteral("SHA-256 is not available"));
    return hex;
}

QByteArray Sha256::FileHex(const QString &strPath, const Progress &progress, QString *pError)
{
    // O_NONBLOCK: opening a named pipe must not wait for a writer; it is refused as not a
    // regular file, and a regular file's reads ignore the flag.
    const int nFd =
        ::open(QFile::encodeName(strPath).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0) {
        SetError(pError,
                 errno == ELOOP
                     ? QStringLiteral("%1 is a symbolic link, which is never read through").arg(strPath)
                     : QStringLiteral("cannot read %1: %2").arg(strPath, qt_error_string(errno)));
        return {};
    }
    QString strError;
    QByteArray hex = FileHex(nFd, progress, &strError);
    ::close(nFd);
    if (hex.isEmpty())
        SetError(pError, QStringLiteral("cannot read %1: %2").arg(strPath, strError));
    return hex;
}
