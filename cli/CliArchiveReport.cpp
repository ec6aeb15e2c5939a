#include "cli/CliArchiveReport.h"

#include "cli/ArchiveReport.h"
#include "cli/CliContext.h"
#include "core/PrintableText.h"

CliArchiveReport::CliArchiveReport(CliContext &context, bool bJson)
    : m_context(context)
    , m_bJson(bJson)
{}

void CliArchiveReport::Line(const QString &strLine)
{
    if (!m_bJson)
        m_context.Say(strLine);
}

void CliArchiveReport::Problem(const QString &strLine)
{
    m_context.Report(strLine);
}

void CliArchiveReport::FileDone(const Archive::FileRecord &record)
{
    if (record.outcome == Archive::Outcome::Failed)
        Problem(QStringLiteral("cannot archive %1: %2")
                    .arg(PrintableText::Quoted(record.strCardName), record.strError));
    else
        Line(Archive::OutcomeLine(record));
}

void CliArchiveReport::RunStarted(int nFiles, quint64 nBytes)
{
    m_context.Progress().StartRun(nFiles, nBytes);
}

void CliArchiveReport::FileStarted(const Archive::FileRecord &record)
{
    m_context.Progress().Start(PrintableText::PrintableName(record.strCardName));
}

void CliArchiveReport::FileProgress(quint32 nSoFar, quint32 nTotal)
{
    m_context.Progress().Update(nSoFar, nTotal);
}

void CliArchiveReport::FileFinished(bool bComplete)
{
    m_context.Progress().Finish(bComplete);
}

void CliArchiveReport::RunEnded()
{
    m_context.Progress().EndRun();
}

void CliArchiveReport::WritingLocalFile(bool bWriting)
{
    m_context.SetWritingLocalFile(bWriting);
}

void CliArchiveReport::Uninterruptible(bool bUninterruptible)
{
    m_context.SetUninterruptible(bUninterruptible);
}
