#pragma once

#include "archive/ArchiveJournal.h"
#include "archive/ArchiveRecord.h"

#include <QList>
#include <QString>

#include <functional>

class ArchiveLock;
class IArchiveReport;
class ManualResetEvent;
class RecorderFileEntry;
class RecorderProtocol;

// The archive run for any front end: the command line's archive, sync and watch, and the
// window's archive job. Every function reports through the report and returns 0 or the status
// the run ends with (the RESULT_* codes), having said why.
namespace Archive {

// What a run works with: the opened recorder, the stop request and where it reports.
struct Session
{
    RecorderProtocol &protocol;
    const ManualResetEvent &stop;
    IArchiveReport &report;
    QString strLinkName; // names a recorder that sends no identification
};

// Creates the folder when missing (not in a dry run).
int PrepareFolder(IArchiveReport &report, const Options &options);
// Takes the folder's lock (not in a dry run), waiting for another run that holds it and saying
// so once; isStopped ends the wait as cancelled. A lock file that cannot be had is status 5.
int LockFolder(IArchiveReport &report, const Options &options, ArchiveLock &lock,
               const std::function<bool()> &isStopped);
// The recorder as the journal names it: its identity (its USB serial number where the link has
// one, else its identification text exactly as it sends it; never empty), and its
// identification and card information texts as it sends them.
int ReadRecorder(Session &session, ArchiveJournal::Context *pRecorder);
// The card's list, in the recorder's order.
int ListCard(Session &session, QList<RecorderFileEntry> *pEntries);

// Archives the recorder into options.strDir (with bDryRun: decides only). 0 when every selected
// file is archived, else the first failure's status; deletion refusals alone give 2. The
// folder's lock is the caller's to hold. The summary holds every file's record.
int Run(Session &session, const Options &options, Summary *pSummary);

} // namespace Archive
