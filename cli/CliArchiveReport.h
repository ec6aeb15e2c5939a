#pragma once

#include "archive/IArchiveReport.h"

class CliContext;

// An archive run on the terminal: what it does on standard output (or in the log of watch),
// problems on standard error, progress on the bar. --json keeps standard output for the summary.
class CliArchiveReport final : public IArchiveReport
{
public:
    CliArchiveReport(CliContext &context, bool bJson);

    void Line(const QString &strLine) override;
    void Problem(const QString &strLine) override;
    void FileDone(const Archive::FileRecord &record) override;
    void RunStarted(int nFiles, quint64 nBytes) override;
    void FileStarted(const Archive::FileRecord &record) override;
    void FileProgress(quint32 nSoFar, quint32 nTotal) override;
    void FileFinished(bool bComplete) override;
    void RunEnded() override;
    void WritingLocalFile(bool bWriting) override;
    void Uninterruptible(bool bUninterruptible) override;

private:
    CliContext &m_context;
    bool m_bJson;
};
