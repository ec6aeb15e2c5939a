#pragma once

#include "core/RecorderResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Writes one file into a folder so that it appears under its name only when it is complete and
// on the disk, and never through a symbolic link. The data goes to an unnamed file in the
// folder (or, where the file system has none, to a short temporary name), so a failed or
// cancelled download leaves nothing behind and any name the folder can hold works. Commit runs
// in the order that survives a power cut: data synced, date set, name given, folder synced.
class SafeFileWriter final
{
    Q_DISABLE_COPY_MOVE(SafeFileWriter)

public:
    static constexpr qsizetype WRITE_CHUNK = 1024 * 1024;

    // strFolder: the destination folder; it may itself be a symbolic link.
    explicit SafeFileWriter(QString strFolder);
    // Whatever was not committed is thrown away.
    ~SafeFileWriter();

    // Creates the file that takes the data. strName is the final name, for messages.
    RecorderResult Open(const QString &strName);
    // Takes the next bytes; writes when a chunk is full.
    RecorderResult Append(const quint8 *pData, qsizetype nLen);
    // Writes what is gathered.
    RecorderResult Flush();
    // Makes the data durable, sets the modification time (an invalid one leaves the time of
    // writing, and so does a date the file system cannot store), and gives the file its name.
    // An existing regular file of that name is replaced only when bReplace; a symbolic link,
    // a folder or a special file of that name is never replaced.
    RecorderResult Commit(bool bReplace, const QDateTime &modified);
    void Discard();

    // Sets an open file's modification (and access) time; a date the file system cannot store
    // would come back changed, and then the file keeps the times it had.
    static void SetModified(int nFd, const QDateTime &modified);

private:
    RecorderResult Failure(LocalReason reason, const QString &strWhat, int nErrno) const;
    RecorderResult WriteOut(const char *pData, qsizetype nLen);
    RecorderResult Link(bool bReplace);
    RecorderResult CheckReplaceable() const;
    // Why an existing entry of the name is left alone: not replaceable, or simply there.
    RecorderResult RefuseExisting() const;
    void CloseAll();

    QString m_strFolder;
    QString m_strName;
    QByteArray m_encodedName;
    QByteArray m_tempName; // set when the file has a temporary name in the folder
    int m_nFolderFd = -1;
    int m_nFd = -1;
    QByteArray m_buffer;
    qint64 m_nWritten = 0;
};
