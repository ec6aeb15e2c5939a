#pragma once

#include "archive/ArchiveRecord.h"

#include <QString>
#include <QtGlobal>

// Where an archive run reports as it goes: the command line prints it, a window job posts it.
class IArchiveReport
{
public:
    virtual ~IArchiveReport() = default;

    // What the run is doing, for the operator ("removed ...", "waiting for ...").
    virtual void Line(const QString &strLine) = 0;
    // What went wrong, for the operator; the run's status says how it ends.
    virtual void Problem(const QString &strLine) = 0;
    // Another run holds the folder's lock (a watch, say): the run waits for it, until stopped.
    virtual void WaitingForFolder(const QString &strDir)
    {
        Problem(QStringLiteral("waiting for another archive run into %1 to end").arg(strDir));
    }
    // A file's outcome, once it is known (stored, adopted or failed).
    virtual void FileDone(const Archive::FileRecord &record) = 0;

    // The transfers of the run: their number and bytes, then each file's start, its bytes and
    // its end.
    virtual void RunStarted(int /*nFiles*/, quint64 /*nBytes*/) {}
    virtual void FileStarted(const Archive::FileRecord & /*record*/) {}
    virtual void FileProgress(quint32 /*nSoFar*/, quint32 /*nTotal*/) {}
    virtual void FileFinished(bool /*bComplete*/) {}
    virtual void RunEnded() {}

    // While a local file is being written, and while the recorder runs a step it cannot be told
    // to stop (the archive save): a program that ends on a signal waits then.
    virtual void WritingLocalFile(bool /*bWriting*/) {}
    virtual void Uninterruptible(bool /*bUninterruptible*/) {}
};
