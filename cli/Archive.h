#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class ArchiveLock;
class CliArguments;
class CliContext;

// Keeping the card's files in an archive folder: what is new is downloaded, what is there
// already is left, a changed file is kept beside the old one. Used by archive, sync and watch.
namespace Archive {

struct Options
{
    QString strDir;
    bool bDryRun = false;
    bool bJson = false;
    bool bSaveFirst = false;
    bool bDeleteAfter = false;
    bool bReplaceChanged = false;
    QStringList includes; // wildcards, case-insensitive; empty: every name
    QStringList excludes;
    QDate since; // invalid: any date
};

// The flags and valued options that Parse understands, for CliArguments.
QStringList Flags();
QStringList ValuedOptions();
// Reads the options (the folder from --to, default the current folder). False with the usage
// error already reported and *pStatus set.
bool Parse(CliContext &context, const CliArguments &parsed, Options *pOptions, int *pStatus);

// What became of one card file.
enum class Action {
    Download,   // not in the folder: downloaded under its name
    KeepBeside, // another file of that name is there: downloaded as "NAME (n).EXT"
    Replace,    // another file of that name is there: replaced (--replace-changed)
    Compare,    // a copy of that size is there, not known to hold this card file: compared by content
    Skip,       // already archived: the journal says so, or an unrecorded file of its name, size and date
    Refuse,     // the folder cannot take the name
};

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
    QString strOutcome; // "downloaded", "kept-beside", "replaced", "adopted", "archived", "failed"
    QString strError;
    bool bDeleted = false;
    QString strKeptOnCard; // why a file archived by this run was not deleted from the card
};

struct Summary
{
    QString strRecorder; // the recorder's identity
    int nDownloaded = 0;
    int nKeptBeside = 0;
    int nAlreadyArchived = 0;
    int nFailed = 0;
    int nDeleted = 0;
    quint64 nBytes = 0;
    double dSeconds = 0.0;
    QList<FileRecord> files;
};

// Creates the folder when missing (not in a dry run). 0, or the status after saying why not.
int PrepareFolder(CliContext &context, const Options &options);
// Takes the folder's lock (not in a dry run), waiting for another run that holds it and saying
// so once. 0, or the status after saying why not (cancelled while waiting, no lock file).
int LockFolder(CliContext &context, const Options &options, ArchiveLock &lock);
// What tells this recorder from others in the journal: its USB serial number where the link
// has one, else its identification text as it sends it. 0, or the status after saying why not.
int RecorderIdentity(CliContext &context, QString *pIdentity);

// Archives the recorder the context is connected to into options.strDir and prints what it
// did (or, with bDryRun, would do). Returns the exit status: 0 when every selected file is
// archived, else the first failure's status; deletion refusals alone give 2. The folder's lock
// is the caller's to hold.
int Run(CliContext &context, const Options &options, Summary *pSummary);
// "3 downloaded, 1 kept beside, ..." for the log and the terminal.
QString SummaryText(const Summary &summary);

} // namespace Archive
