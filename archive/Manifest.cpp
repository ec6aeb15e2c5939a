#include "archive/Manifest.h"

#include "core/LocalFileName.h"
#include "core/SafeFileWriter.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype HEX_DIGITS = 64;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool IsUnsupported(int nErrno)
{
    return nErrno == EINVAL || nErrno == ENOSYS || nErrno == EOPNOTSUPP || nErrno == ENOTSUP;
}

// The bytes of a name as sha256sum -c reads them back from an escaped line; false on an
// escape it does not know.
bool Unescape(const QByteArray &escaped, QByteArray *pName)
{
    pName->clear();
    pName->reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        char ch = escaped.at(i);
        if (ch == '\\') {
            if (++i == escaped.size())
                return false;
            switch (escaped.at(i)) {
            case '\\':
                ch = '\\';
                break;
            case 'n':
                ch = '\n';
                break;
            case 'r':
                ch = '\r';
                break;
            default:
                return false;
            }
        }
        pName->append(ch);
    }
    return true;
}

bool WriteAll(int nFd, const QByteArray &bytes)
{
    qsizetype nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n = ::write(nFd, bytes.constData() + nDone, size_t(bytes.size() - nDone));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        nDone += n;
    }
    return true;
}

bool ReadAll(int nFd, QByteArray *pBytes)
{
    pBytes->clear();
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(nFd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        pBytes->append(buffer, n);
    }
}

} // namespace

Manifest::Manifest(QString strFolder)
    : m_strFolder(std::move(strFolder))
{
    if (m_strFolder.endsWith(QLatin1Char('/')) && m_strFolder.size() > 1)
        m_strFolder.chop(1);
}

QString Manifest::Path() const
{
    return m_strFolder + QLatin1Char('/') + QLatin1String(LocalNames::MANIFEST);
}

QByteArray Manifest::Line(const QString &strName, const QByteArray &hex)
{
    const QByteArray name = QFile::encodeName(strName);
    QByteArray line;
    line.reserve(hex.size() + 4 + name.size() * 2);
    const bool bEscaped = name.contains('\\') || name.contains('\n') || name.contains('\r');
    if (bEscaped)
        line += '\\';
    line += hex;
    line += "  ";
    if (!bEscaped)
        return line + name + '\n';
    for (const char ch : name) {
        if (ch == '\\')
            line += "\\\\";
        else if (ch == '\n')
            line += "\\n";
        else if (ch == '\r')
            line += "\\r";
        else
            line += ch;
    }
    return line + '\n';
}

bool Manifest::ParseLine(const QByteArray &line, QString *pName, QByteArray *pHex)
{
    qsizetype i = 0;
    while (i < line.size() && IsBlank(line.at(i)))
        ++i;
    const bool bEscaped = i < line.size() && line.at(i) == '\\';
    if (bEscaped)
        ++i;
    if (line.size() - i < HEX_DIGITS + 3)
        return false;
    const QByteArray hex = line.mid(i, HEX_DIGITS).toLower();
    for (const char ch : hex) {
        if (!((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f')))
            return false;
    }
    i += HEX_DIGITS;
    // A blank, then ' ' (text) or '*' (binary), then the name.
    if (!IsBlank(line.at(i)) || (line.at(i + 1) != ' ' && line.at(i + 1) != '*'))
        return false;
    const QByteArray written = line.mid(i + 2);
    QByteArray name = written;
    if (bEscaped && !Unescape(written, &name))
        return false;
    // A raw carriage return is what a line ending edited elsewhere leaves; sha256sum fails it.
    if (name.isEmpty() || name.contains('\0') || (!bEscaped && written.contains('\r')))
        return false;
    *pName = QFile::decodeName(name);
    *pHex = hex;
    return true;
}

RecorderResult Manifest::Failure(LocalReason reason, const QString &strWhat, int nErrno) const
{
    QString strDetail = strWhat.arg(Path());
    if (nErrno != 0)
        strDetail += QStringLiteral(": ") + qt_error_string(nErrno);
    return RecorderResult::Local(reason, strDetail);
}

RecorderResult Manifest::OpenFile(int nFlags, int *pFd, bool *pMissing) const
{
    // O_NONBLOCK: a named pipe of the name must not block the open; it is refused below.
    *pFd = ::open(QFile::encodeName(Path()).constData(), nFlags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (pMissing)
        *pMissing = *pFd < 0 && errno == ENOENT;
    if (*pFd < 0) {
        if (errno == ELOOP)
            return Failure(LocalReason::SymbolicLink,
                           QStringLiteral("%1 is a symbolic link, which is never written through"), 0);
        const LocalReason reason = (nFlags & O_ACCMODE) == O_RDONLY ? LocalReason::CannotRead
                                   : (nFlags & O_CREAT)             ? LocalReason::CannotCreate
                                                                    : LocalReason::CannotWrite;
        return Failure(reason, QStringLiteral("cannot open %1"), errno);
    }
    struct stat st = {};
    if (::fstat(*pFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(*pFd);
        *pFd = -1;
        return Failure(LocalReason::NotARegularFile, QStringLiteral("%1 is not a regular file"), 0);
    }
    return RESULT_OK;
}

RecorderResult Manifest::Read(Contents *pContents) const
{
    *pContents = Contents();
    int nFd = -1;
    bool bMissing = false;
    if (RecorderResult result = OpenFile(O_RDONLY, &nFd, &bMissing); !result.IsOk())
        return bMissing ? RecorderResult() : result;
    QByteArray bytes;
    const bool bRead = ReadAll(nFd, &bytes);
    const int nErrno = errno;
    ::close(nFd);
    if (!bRead)
        return Failure(LocalReason::CannotRead, QStringLiteral("cannot read %1"), nErrno);

    pContents->bTornTail = !bytes.isEmpty() && !bytes.endsWith('\n');
    qsizetype nStart = 0;
    for (;;) {
        const qsizetype nEnd = bytes.indexOf('\n', nStart);
        if (nEnd < 0)
            break;
        QString strName;
        QByteArray hex;
        if (ParseLine(bytes.mid(nStart, nEnd - nStart), &strName, &hex))
            pContents->hashes.insert(strName, hex);
        else
            ++pContents->nBadLines;
        nStart = nEnd + 1;
    }
    return RESULT_OK;
}

RecorderResult Manifest::RepairTornTail(QString *pName) const
{
    pName->clear();
    int nFd = -1;
    bool bMissing = false;
    if (RecorderResult result = OpenFile(O_RDWR, &nFd, &bMissing); !result.IsOk())
        return bMissing ? RecorderResult() : result;
    QByteArray bytes;
    if (!ReadAll(nFd, &bytes)) {
        const int nErrno = errno;
        ::close(nFd);
        return Failure(LocalReason::CannotRead, QStringLiteral("cannot read %1"), nErrno);
    }
    if (bytes.isEmpty() || bytes.endsWith('\n')) {
        ::close(nFd);
        return RESULT_OK;
    }
    const qsizetype nCut = bytes.lastIndexOf('\n') + 1;
    if (::ftruncate(nFd, off_t(nCut)) != 0 || ::fdatasync(nFd) != 0) {
        const int nErrno = errno;
        ::close(nFd);
        return Failure(LocalReason::CannotWrite, QStringLiteral("cannot repair %1"), nErrno);
    }
    ::close(nFd);

    // A line cut inside its name leaves a shorter name, which seldom names a file.
    QString strName;
    QByteArray hex;
    struct stat st = {};
    if (ParseLine(bytes.mid(nCut), &strName, &hex) && IsSafeLocalFileName(strName) &&
        ::lstat(QFile::encodeName(m_strFolder + QLatin1Char('/') + strName).constData(), &st) == 0 &&
        S_ISREG(st.st_mode))
        *pName = strName;
    return RESULT_OK;
}

RecorderResult Manifest::Append(const QList<Entry> &entries) const
{
    if (entries.isEmpty())
        return RESULT_OK;
    QByteArray lines;
    for (const Entry &entry : entries)
        lines += Line(entry.strName, entry.hex);

    int nFd = -1;
    bool bMissing = false;
    RecorderResult result = OpenFile(O_RDWR | O_APPEND, &nFd, &bMissing);
    if (bMissing)
        result = OpenFile(O_RDWR | O_APPEND | O_CREAT | O_EXCL, &nFd);
    const bool bCreated = bMissing && result.IsOk();
    if (!result.IsOk())
        return result;

    struct stat st = {};
    char last = '\n';
    if (::fstat(nFd, &st) != 0 || (st.st_size > 0 && ::pread(nFd, &last, 1, st.st_size - 1) != 1)) {
        const int nErrno = errno;
        ::close(nFd);
        return Failure(LocalReason::CannotRead, QStringLiteral("cannot read %1"), nErrno);
    }
    if (last != '\n') {
        ::close(nFd);
        return Failure(LocalReason::CannotWrite, QStringLiteral("%1 ends in a line cut short"), 0);
    }
    if (!WriteAll(nFd, lines) || ::fdatasync(nFd) != 0) {
        const int nErrno = errno;
        // Part of the lines may be on the disk: they are taken back, so the file stays whole.
        if (::ftruncate(nFd, st.st_size) == 0)
            ::fdatasync(nFd);
        ::close(nFd);
        return Failure(LocalReason::CannotWrite, QStringLiteral("cannot write %1"), nErrno);
    }
    ::close(nFd);
    if (bCreated) {
        // The new file's name is durable only once the folder is.
        const int nFolderFd =
            ::open(QFile::encodeName(m_strFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int nSync = nFolderFd >= 0 ? ::fsync(nFolderFd) : -1;
        const int nErrno = errno;
        if (nFolderFd >= 0)
            ::close(nFolderFd);
        if (nSync != 0 && !IsUnsupported(nErrno) && nErrno != EROFS)
            return Failure(LocalReason::CannotFinish, QStringLiteral("cannot finish %1"), nErrno);
    }
    return RESULT_OK;
}

RecorderResult Manifest::Rewrite(const QMap<QString, QByteArray> &hashes) const
{
    QByteArray lines;
    for (auto it = hashes.cbegin(); it != hashes.cend(); ++it)
        lines += Line(it.key(), it.value());
    // The new file takes the old one's place in one rename, after its data is on the disk.
    SafeFileWriter writer(m_strFolder);
    if (RecorderResult result = writer.Open(QLatin1String(LocalNames::MANIFEST)); !result.IsOk())
        return result;
    if (RecorderResult result =
            writer.Append(reinterpret_cast<const quint8 *>(lines.constData()), lines.size());
        !result.IsOk())
        return result;
    return writer.Commit(true, QDateTime());
}
