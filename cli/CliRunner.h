#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

struct CliCommand;

// The top of orvoconnect-cli: global options, the choice of command, and the worker thread
// that runs it while SIGINT and SIGTERM cancel through the stop event.
class CliRunner final
{
public:
    CliRunner(FILE *pOut, FILE *pErr)
        : m_pOut(pOut)
        , m_pErr(pErr)
    {}

    // args without the program name; returns the exit status.
    int Run(const QStringList &args);

    static QString UsageText();
    // What `help NAME` and `NAME --help` print.
    static QString CommandHelpText(const CliCommand &command);

private:
    FILE *m_pOut;
    FILE *m_pErr;
};
