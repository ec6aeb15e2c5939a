#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CliContext;
class RecorderFileEntry;
namespace UdevRule {
struct System;
}

// One command of orvoconnect-cli. A new command is one function and one row in the table
// (CliCommand.cpp); the runner, the usage text and the signal handling come with the row.
struct CliCommand
{
    using Runner = int (*)(CliContext &context, const QStringList &args);

    const char *pszName;
    const char *pszSynopsis; // arguments after the name, for the usage text
    const char *pszSummary;  // one line for the usage text
    const char *pszHelp;     // what `help NAME` adds: the options, one a line
    Runner pRun;             // runs on the worker thread; returns the exit status
};

// Every command, in the order the usage text lists them.
const QList<CliCommand> &CliCommands();
// The command of that name, or null.
const CliCommand *FindCliCommand(const QString &strName);

// The commands themselves (RecorderCommands.cpp, FileCommands.cpp, UsbScanCommand.cpp,
// UdevRuleCommand.cpp, JournalCommand.cpp,
// VerifyCommand.cpp).
int RunInfo(CliContext &context, const QStringList &args);
int RunList(CliContext &context, const QStringList &args);
int RunSave(CliContext &context, const QStringList &args);
int RunGet(CliContext &context, const QStringList &args);
int RunSync(CliContext &context, const QStringList &args);
int RunArchive(CliContext &context, const QStringList &args);
int RunWatch(CliContext &context, const QStringList &args);
int RunJournal(CliContext &context, const QStringList &args);
int RunVerify(CliContext &context, const QStringList &args);
int RunPut(CliContext &context, const QStringList &args);
int RunRemove(CliContext &context, const QStringList &args);
int RunUsbScan(CliContext &context, const QStringList &args);
int RunUdevRule(CliContext &context, const QStringList &args);
// udev-rule on the given machine (UdevRuleCommand.cpp); RunUdevRule uses the real one.
int RunUdevRuleOn(CliContext &context, const QStringList &args, const UdevRule::System &system);

// The card's files in the recorder's order. On failure it has said why on stderr and returns
// the result of the listing.
int ListCardFiles(CliContext &context, QList<RecorderFileEntry> *pEntries);
