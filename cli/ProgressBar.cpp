#include "ProgressBar.h"

#include <unistd.h>

namespace {

QString Megabytes(quint32 nBytes)
{
    return QString::number(double(nBytes) / (1024.0 * 1024.0), 'f', 1);
}

} // namespace

ProgressBar::ProgressBar(FILE *pStream)
    : ProgressBar(pStream, ::isatty(::fileno(pStream)) == 1)
{}

ProgressBar::ProgressBar(FILE *pStream, bool bEnabled)
    : m_pStream(pStream)
    , m_bEnabled(bEnabled)
{}

void ProgressBar::Start(const QString &strLabel)
{
    std::lock_guard lock(m_mutex);
    m_strLabel = strLabel;
    m_bDrawn = false;
    m_nLastWidth = 0;
    m_lastDraw.invalidate();
}

void ProgressBar::Update(quint32 nSoFar, quint32 nTotal)
{
    if (!m_bEnabled)
        return;
    std::lock_guard lock(m_mutex);
    const bool bFinal = nTotal > 0 && nSoFar >= nTotal;
    if (!bFinal && m_lastDraw.isValid() && m_lastDraw.elapsed() < REDRAW_INTERVAL_MS)
        return;
    m_lastDraw.start();
    Draw(Render(m_strLabel, nSoFar, nTotal));
}

void ProgressBar::Finish()
{
    if (!m_bEnabled)
        return;
    std::lock_guard lock(m_mutex);
    if (m_bDrawn)
        std::fputc('\n', m_pStream);
    std::fflush(m_pStream);
    m_bDrawn = false;
}

QString ProgressBar::Render(const QString &strLabel, quint32 nSoFar, quint32 nTotal)
{
    // The first report of a transfer carries no total yet.
    const int nPercent = nTotal == 0 ? 0 : int(qMin<quint64>(100, quint64(nSoFar) * 100 / nTotal));
    const int nFilled = nPercent * BAR_WIDTH / 100;
    return QStringLiteral("%1 [%2%3] %4% %5/%6 MB")
        .arg(strLabel)
        .arg(QString(nFilled, QLatin1Char('#')))
        .arg(QString(BAR_WIDTH - nFilled, QLatin1Char(' ')))
        .arg(nPercent, 3)
        .arg(Megabytes(nSoFar), Megabytes(nTotal));
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
