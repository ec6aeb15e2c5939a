#pragma once

#include "core/RecorderResult.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// The SHA256SUMS file of an archive folder: one line a file, exactly as coreutils' sha256sum
// writes it, so that `cd DIR && sha256sum -c --strict SHA256SUMS` checks the folder without
// this program. Lines are only ever appended (in one write, synced); a line that must change
// takes a rewrite of the whole file, which replaces it in one step. Names are the folder's file
// names as bytes on disk (QFile::encodeName and decodeName), and the file is never read or
// written through a symbolic link.
class Manifest final
{
public:
    struct Entry
    {
        QString strName;
        QByteArray hex; // 64 lowercase hex characters
    };

    struct Contents
    {
        // Each name's digest; a name on several lines has the digest of its last one.
        QMap<QString, QByteArray> hashes;
        // The file does not end with a newline: its last line was cut short (RepairTornTail).
        bool bTornTail = false;
        // Complete lines that are not in the format; sha256sum --strict fails on them, so the
        // file is to be rewritten.
        int nBadLines = 0;
    };

    // strFolder: the archive folder; it may itself be a symbolic link.
    explicit Manifest(QString strFolder);

    // One line with its newline: "HASH  NAME". A name holding a backslash, a newline or a
    // carriage return is escaped ("\\", "\n", "\r") and the line starts with a backslash.
    static QByteArray Line(const QString &strName, const QByteArray &hex);
    // A line without its newline, as sha256sum -c reads it (a '*' before the name, binary mode,
    // and upper-case digits are read too); false when it is not one.
    static bool ParseLine(const QByteArray &line, QString *pName, QByteArray *pHex);

    // A missing file reads as empty.
    RecorderResult Read(Contents *pContents) const;
    // Cuts a last line that has no newline, so that lines can be appended again. *pName is
    // the name that line held when it can be read as far as a name and a file of that name is
    // in the folder (the caller hashes it again from disk); otherwise it is empty.
    RecorderResult RepairTornTail(QString *pName) const;
    // Appends the entries' lines in one write and syncs them; creates the file when missing.
    // Refused while the file ends in a torn line.
    RecorderResult Append(const QList<Entry> &entries) const;
    // Replaces the whole file by one line a name, in the order of the names.
    RecorderResult Rewrite(const QMap<QString, QByteArray> &hashes) const;

    QString Path() const;

private:
    RecorderResult Failure(LocalReason reason, const QString &strWhat, int nErrno) const;
    // The manifest opened with flags, never through a link, and only when it is a regular file;
    // *pMissing tells a failure because there is no file of the name.
    RecorderResult OpenFile(int nFlags, int *pFd, bool *pMissing = nullptr) const;

    QString m_strFolder;
};
