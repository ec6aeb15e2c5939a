#pragma once

#include "archive/ArchiveRecord.h"

#include <QStringList>

class ArchiveLock;
class CliArguments;
class CliContext;

// The command line of the archive run, shared by archive, sync and watch.
namespace ArchiveCommand {

// The flags and valued options that Parse understands, for CliArguments.
QStringList Flags();
QStringList ValuedOptions();
// Reads the options (the folder from --to, default the current folder). False with the usage
// error already reported and *pStatus set.
bool Parse(CliContext &context, const CliArguments &parsed, Archive::Options *pOptions, int *pStatus);

// The archive folder, created when missing, and its lock (none in a dry run). 0, or the status
// after saying why not.
int PrepareFolder(CliContext &context, const Archive::Options &options);
int LockFolder(CliContext &context, const Archive::Options &options, ArchiveLock &lock);

// Archives the recorder the context is connected to and prints what it did (or, in a dry run,
// would do), and the summary however the run ends. Returns the exit status.
int Run(CliContext &context, const Archive::Options &options, Archive::Summary *pSummary);

} // namespace ArchiveCommand
