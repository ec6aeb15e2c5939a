#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QtGlobal>

// The local side of a download: a temporary file beside the target that replaces it only
// when complete, so a failed or cancelled download neither leaves a partial file nor
// destroys an old one. Blocks are gathered into large writes (one write per 32 KB block
// costs twice the time on a local disk), and each large write is handed to the kernel's
// write-back at once, so the sync before the final rename has little left to do.
class DownloadWriter final
{
    Q_DISABLE_COPY_MOVE(DownloadWriter)

public:
    static constexpr qsizetype WRITE_CHUNK = 1024 * 1024;

    explicit DownloadWriter(const QString &strTarget);
    // Whatever was not committed is thrown away.
    ~DownloadWriter();

    bool Open();
    // Takes a block; writes when a chunk is full. False when a write failed.
    bool Append(const quint8 *pData, qsizetype nLen);
    // Writes what is gathered. False when the write failed.
    bool Flush();
    // Writes the rest, syncs and puts the file in place. False on any failure.
    bool Commit();

    // Why the last operation failed, in the system's words ("No space left on device").
    QString ErrorString() const;

private:
    bool WriteOut(const char *pData, qsizetype nLen);

    QSaveFile m_file;
    QByteArray m_buffer;
    qint64 m_nWritten = 0;
    QString m_strWriteError;
};
