#pragma once

#include "core/RecorderResult.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Keeping the card's files in an archive folder: what is new is downloaded, what is there
// already is left, a changed file is kept beside the old one. The run's choices and records.
namespace Archive {

struct Options
{
    QString strDir; // ends with "/"
    bool bDryRun = false;
    bool bJson = false;
    bool bSaveFirst = false;
    bool bDeleteAfter = false;
    bool bReplaceChanged = false;
    QStringList includes; // wildcards, case-insensitive; empty: every name
    QStringList excludes;
    QDate since; // invalid: any date
    // For the journal's run-start line: the command and its arguments as given.
    QString strCommand;
    QStringList arguments;
};

// What is to become of one card file.
enum class Action {
    Download,   // not in the folder: downloaded under its name
    KeepBeside, // another file of that name is there: downloaded as "NAME (n).EXT"
    Replace,    // another file of that name is there: replaced (--replace-changed)
    Compare,    // a copy of that size is there, not known to hold this card file: compared by content
    Skip,       // already archived: the journal says so, or an unrecorded file of its name, size and date
    Refuse,     // the folder cannot take the name
};

// What became of it.
enum class Outcome {
    None,       // not handled (a dry run, or the run ended first)
    Downloaded, // stored under its own name
    KeptBeside, // stored beside another version
    Replaced,   // stored over the other version
    Adopted,    // the folder's copy has its bytes: only its date was set
    Archived,   // already archived before this run
    Failed,
};

// The word of the journal and of --json for an outcome ("downloaded", "kept-beside", ...).
QString OutcomeWord(Outcome outcome);

struct FileRecord
{
    QString strCardName;
    quint32 nSize = 0;     // as listed; after a real run, as stored
    quint64 nFileTime = 0; // as listed
    quint32 nListedSize = 0;
    QDateTime modified; // the card's date as local time
    Action action = Action::Download;
    QString strLocalName; // where it goes (or is, for Skip and Compare)
    QString strNewName;   // Compare: where a different file goes
    QString strWhy;       // Refuse: the reason
    // After a real run.
    Outcome outcome = Outcome::None;
    QString strError;
    RecorderResultCode failure = RESULT_OK; // Failed: the code it failed with
    LocalReason reason = LocalReason::None; // Refuse, or Failed locally: why, where known
    bool bDeleted = false;
    QString strKeptOnCard; // why a file archived by this run was not deleted from the card
    QString strSha256;     // the stored (or adopted) bytes' SHA-256, as they arrived
};

struct Summary
{
    QString strRecorder;    // the recorder's identity
    QString strJournalHead; // the hash of the journal's last line after the run
    bool bDecided = false;  // the card was listed and every file decided
    int nDownloaded = 0;
    int nKeptBeside = 0;
    int nAlreadyArchived = 0;
    int nFailed = 0;
    int nDeleted = 0;
    quint64 nBytes = 0;
    double dSeconds = 0.0;
    QList<FileRecord> files;
};

} // namespace Archive
