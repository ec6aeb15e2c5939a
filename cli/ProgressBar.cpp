#include "cli/ProgressBar.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int DEFAULT_COLUMNS = 80;
constexpr double KILOBYTE = 1024.0;
constexpr double MEGABYTE = 1024.0 * 1024.0;

// "so far/total unit", both in the unit that suits the total.
QString Amounts(quint32 nSoFar, quint32 nTotal)
{
    const bool bSmall = nTotal < MEGABYTE;
    const double dUnit = bSmall ? KILOBYTE : MEGABYTE;
    return QStringLiteral("%1/%2 %3")
        .arg(QString::number(double(nSoFar) / dUnit, 'f', 1), QString::number(double(nTotal) / dUnit, 'f', 1),
             bSmall ? QStringLiteral("kB") : QStringLiteral("MB"));
}

// The label cut in its middle to nWidth characters, keeping both ends (a name's start and
// its extension tell files apart best).
QString Shortened(const QString &strLabel, qsizetype nWidth)
{
    if (strLabel.size() <= nWidth)
        return strLabel;
    if (nWidth <= 0)
        return QString();
    const QString strEllipsis = QStringLiteral("...");
    if (nWidth <= strEllipsis.size())
        return strLabel.left(nWidth);
    const qsizetype nKeep = nWidth - strEllipsis.size();
    const qsizetype nTail = nKeep / 2;
    return strLabel.left(nKeep - nTail) + strEllipsis + strLabel.right(nTail);
}

} // namespace

ProgressBar::ProgressBar(FILE *pStream)
    : ProgressBar(pStream, ::isatty(::fileno(pStream)) == 1)
{}

ProgressBar::ProgressBar(FILE *pStream, bool bEnabled)
    : m_pStream(pStream)
    , m_bEnabled(bEnabled)
{}

void ProgressBar::StartRun(int nFiles, quint64 nTotalBytes)
{
    std::lock_guard lock(m_mutex);
    m_bRun = true;
    m_nRunFiles = nFiles;
    m_nRunFile = 0;
    m_nRunTotal = nTotalBytes;
    m_nRunDoneBefore = 0;
    m_nFileDone = 0;
    m_runTimer.start();
}

void ProgressBar::EndRun()
{
    std::lock_guard lock(m_mutex);
    m_bRun = false;
}

void ProgressBar::Start(const QString &strLabel)
{
    std::lock_guard lock(m_mutex);
    if (m_bRun) {
        m_nRunDoneBefore += m_nFileDone;
        m_nFileDone = 0;
        ++m_nRunFile;
    }
    m_strLabel = strLabel;
    // A line still drawn (files of a run that share one line, without Finish between them)
    // keeps its width, so that the next file's shorter line wipes it.
    if (!m_bDrawn)
        m_nLastWidth = 0;
    m_nTotal = 0;
    m_lastDraw.invalidate();
}

void ProgressBar::Update(quint32 nSoFar, quint32 nTotal)
{
    if (!m_bEnabled)
        return;
    std::lock_guard lock(m_mutex);
    m_nTotal = nTotal;
    m_nFileDone = nSoFar;
    const bool bFinal = nTotal > 0 && nSoFar >= nTotal;
    if (!bFinal && m_lastDraw.isValid() && m_lastDraw.elapsed() < REDRAW_INTERVAL_MS)
        return;
    m_lastDraw.start();
    DrawState(false);
}

void ProgressBar::DrawState(bool bComplete)
{
    if (!m_bRun) {
        Draw(Render(m_strLabel, bComplete ? m_nTotal : m_nFileDone, m_nTotal, Columns(), bComplete));
        return;
    }
    RunState run;
    run.nFile = m_nRunFile;
    run.nFiles = m_nRunFiles;
    run.nDone = m_nRunDoneBefore + (bComplete ? m_nTotal : m_nFileDone);
    run.nTotal = qMax(m_nRunTotal, run.nDone);
    const double dSeconds = m_runTimer.isValid() ? m_runTimer.elapsed() / 1000.0 : 0.0;
    run.dBytesPerSecond = dSeconds > 0.2 ? double(run.nDone) / dSeconds : 0.0;
    Draw(RenderRun(m_strLabel, run, Columns()));
}

void ProgressBar::Finish(bool bComplete)
{
    if (!m_bEnabled)
        return;
    std::lock_guard lock(m_mutex);
    if (bComplete) {
        DrawState(true);
        m_nFileDone = m_nTotal;
    }
    if (m_bDrawn)
        std::fputc('\n', m_pStream);
    std::fflush(m_pStream);
    m_bDrawn = false;
}

QString ProgressBar::Render(const QString &strLabel, quint32 nSoFar, quint32 nTotal, int nColumns,
                            bool bComplete)
{
    // The first report of a transfer carries no total yet.
    int nPercent = nTotal == 0 ? 0 : int(qMin<quint64>(100, quint64(nSoFar) * 100 / nTotal));
    if (bComplete)
        nPercent = 100;
    const int nFilled = nPercent * BAR_WIDTH / 100;
    const QString strBar = QStringLiteral(" [%1%2] %3% %4")
                               .arg(QString(nFilled, QLatin1Char('#')))
                               .arg(QString(BAR_WIDTH - nFilled, QLatin1Char(' ')))
                               .arg(nPercent, 3)
                               .arg(Amounts(nSoFar, nTotal));
    if (nColumns <= 0)
        return strLabel + strBar;
    const QString strLine = Shortened(strLabel, nColumns - 1 - strBar.size()) + strBar;
    return strLine.left(nColumns - 1);
}

QString ProgressBar::RenderRun(const QString &strLabel, const RunState &run, int nColumns)
{
    const int nPercent = run.nTotal == 0 ? 100 : int(qMin<quint64>(100, run.nDone * 100 / run.nTotal));
    const int nFilled = nPercent * BAR_WIDTH / 100;
    const bool bSmall = double(run.nTotal) < MEGABYTE;
    const double dUnit = bSmall ? KILOBYTE : MEGABYTE;
    QString strTail = QStringLiteral(" [%1%2] %3% %4/%5 %6")
                          .arg(QString(nFilled, QLatin1Char('#')))
                          .arg(QString(BAR_WIDTH - nFilled, QLatin1Char(' ')))
                          .arg(nPercent, 3)
                          .arg(QString::number(double(run.nDone) / dUnit, 'f', 1),
                               QString::number(double(run.nTotal) / dUnit, 'f', 1),
                               bSmall ? QStringLiteral("kB") : QStringLiteral("MB"));
    if (run.dBytesPerSecond > 0) {
        const qint64 nLeft = qint64(double(run.nTotal - run.nDone) / run.dBytesPerSecond + 0.5);
        strTail += QStringLiteral(" %1 MB/s %2:%3 left")
                       .arg(QString::number(run.dBytesPerSecond / MEGABYTE, 'f', 1))
                       .arg(nLeft / 60)
                       .arg(nLeft % 60, 2, 10, QLatin1Char('0'));
    }
    const QString strHead = QStringLiteral("[%1/%2] ").arg(run.nFile).arg(run.nFiles);
    if (nColumns <= 0)
        return strHead + strLabel + strTail;
    const QString strLine =
        strHead + Shortened(strLabel, nColumns - 1 - strHead.size() - strTail.size()) + strTail;
    return strLine.left(nColumns - 1);
}

int ProgressBar::Columns() const
{
    winsize size{};
    if (::ioctl(::fileno(m_pStream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return DEFAULT_COLUMNS;
}

void ProgressBar::Draw(const QString &strLine)
{
    // Pad with blanks so a shorter line wipes the end of a longer one.
    QString strPadded = strLine;
    if (strPadded.size() < m_nLastWidth)
        strPadded += QString(m_nLastWidth - strPadded.size(), QLatin1Char(' '));
    m_nLastWidth = int(strLine.size());
    std::fputc('\r', m_pStream);
    std::fputs(strPadded.toLocal8Bit().constData(), m_pStream);
    std::fflush(m_pStream);
    m_bDrawn = true;
}
