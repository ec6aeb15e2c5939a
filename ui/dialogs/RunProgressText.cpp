#include "ui/dialogs/RunProgressText.h"

#include "core/StringIds.h"
#include "core/TextSource.h"
#include "protocol/ReportMessages.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Between the parts of the line; not a word, so the same in every language.
const QString SEPARATOR = QStringLiteral(" \u00b7 ");

constexpr double KILOBYTE = 1000.0;
constexpr double MEGABYTE = 1000.0 * KILOBYTE;
constexpr double GIGABYTE = 1000.0 * MEGABYTE;

} // namespace

QString RunProgressText::Line(const RunProgressPost &run, quint64 nDoneBytes, qint64 nElapsedMs)
{
    QStringList parts{FileOf(run.nFile, run.nFiles)};
    if (run.nTotalBytes > 0) {
        const quint64 nDone = std::min(nDoneBytes, run.nTotalBytes);
        parts << BytesOf(nDone, run.nTotalBytes);
        const QString strLeft = TimeLeft(nDone, run.nTotalBytes, nElapsedMs);
        if (!strLeft.isEmpty())
            parts << strLeft;
    }
    return parts.join(SEPARATOR);
}

QString RunProgressText::FileOf(quint32 nFile, quint32 nFiles)
{
    const QLocale locale;
    return LoadText(StringId::IDS_RUN_FILE_OF).arg(locale.toString(nFile), locale.toString(nFiles));
}

QString RunProgressText::BytesOf(quint64 nDone, quint64 nTotal)
{
    // The unit of the total for both; a decimal only while the total is under ten of it. Done
    // rounds down and the total up, so a run shows its total only once it is complete.
    quint32 nTextId = StringId::IDS_RUN_KB_OF;
    double dUnit = KILOBYTE;
    if (double(nTotal) >= GIGABYTE) {
        nTextId = StringId::IDS_RUN_GB_OF;
        dUnit = GIGABYTE;
    } else if (double(nTotal) >= MEGABYTE) {
        nTextId = StringId::IDS_RUN_MB_OF;
        dUnit = MEGABYTE;
    }
    const int nDecimals = double(nTotal) / dUnit < 10.0 ? 1 : 0;
    const double dScale = std::pow(10.0, nDecimals);
    const double dDone = std::floor(double(nDone) / dUnit * dScale) / dScale;
    const double dTotal = std::ceil(double(nTotal) / dUnit * dScale) / dScale;
    const QLocale locale;
    return LoadText(nTextId).arg(locale.toString(dDone, 'f', nDecimals),
                                 locale.toString(dTotal, 'f', nDecimals));
}

QString RunProgressText::TimeLeft(quint64 nDone, quint64 nTotal, qint64 nElapsedMs)
{
    if (nElapsedMs < ESTIMATE_AFTER_MS || nDone == 0 || nDone >= nTotal)
        return {};
    const double dSecondsLeft = double(nElapsedMs) / 1000.0 * double(nTotal - nDone) / double(nDone);
    const QLocale locale;
    if (dSecondsLeft < 90.0) {
        // In steps of five seconds, never "0 s" while something is left.
        const int nSeconds = std::max(5, int(std::ceil(dSecondsLeft / 5.0)) * 5);
        return LoadText(StringId::IDS_RUN_SECONDS_LEFT).arg(locale.toString(nSeconds));
    }
    return LoadText(StringId::IDS_RUN_MINUTES_LEFT)
        .arg(locale.toString(int(std::lround(dSecondsLeft / 60.0))));
}
