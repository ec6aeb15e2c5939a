// journal: the archive folder's journal printed for people, as a table or as CSV.

#include "archive/JournalTrail.h"
#include "archive/TrailCsv.h"
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ListingFormat.h"
#include "core/LocalFileName.h"
#include "core/RecorderResult.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const QString OPT_SINCE = QStringLiteral("--since");
const QString OPT_CSV = QStringLiteral("--csv");

// The columns of the table: every cell made printable, each column as wide as its widest cell,
// the size to the right.
// A recorder known by its identification text shows it on one line: its lines joined.
QString OneLine(const QString &strText)
{
    QStringList parts;
    for (const QString &strPart : strText.split(QRegularExpression(QStringLiteral("[\\r\\n]+")))) {
        if (!strPart.trimmed().isEmpty())
            parts.append(strPart.trimmed());
    }
    return parts.join(QStringLiteral(" / "));
}

QStringList Table(const QList<JournalTrail::Row> &rows)
{
    enum Column { TIME, USER, RECORDER, ACTION, FILE, SIZE, CARD_DATE, SHA256, COLUMNS };
    QList<QStringList> cells = {{QStringLiteral("TIME (UTC)"), QStringLiteral("USER"),
                                 QStringLiteral("RECORDER"), QStringLiteral("ACTION"), QStringLiteral("FILE"),
                                 QStringLiteral("SIZE"), QStringLiteral("CARD DATE"),
                                 QStringLiteral("SHA-256")}};
    for (const JournalTrail::Row &row : rows) {
        // A run's lines name no file: their command or summary stands in that column.
        const QString strFile = row.strDetail.isEmpty() ? JournalTrail::FileText(row) : row.strDetail;
        cells.append({JournalTrail::TimeText(row), row.strUser, OneLine(row.strRecorder), row.strAction,
                      strFile, row.nSize >= 0 ? QString::number(row.nSize) : QString(), row.strCardDate,
                      row.strSha256});
    }
    QList<qsizetype> widths(COLUMNS, 0);
    for (QStringList &line : cells) {
        for (int nColumn = 0; nColumn < COLUMNS; ++nColumn) {
            line[nColumn] = ListingFormat::PrintableName(line[nColumn]);
            widths[nColumn] = qMax(widths[nColumn], line[nColumn].size());
        }
    }
    QStringList lines;
    for (const QStringList &line : cells) {
        QString strLine;
        for (int nColumn = 0; nColumn < COLUMNS; ++nColumn) {
            if (nColumn > 0)
                strLine += QStringLiteral("  ");
            strLine += nColumn == SIZE ? line[nColumn].rightJustified(widths[nColumn])
                                       : line[nColumn].leftJustified(widths[nColumn]);
        }
        while (strLine.endsWith(QLatin1Char(' ')))
            strLine.chop(1);
        lines.append(strLine);
    }
    return lines;
}

} // namespace

int RunJournal(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, {OPT_CSV}, {OPT_SINCE}, &strError))
        return context.Usage(strError);
    if (parsed.Operands().size() != 1 || parsed.Operands().first().isEmpty())
        return context.Usage(QStringLiteral("journal takes one archive folder"));
    QDate since;
    if (parsed.Has(OPT_SINCE)) {
        since = QDate::fromString(parsed.Value(OPT_SINCE), Qt::ISODate);
        if (!since.isValid())
            return context.Usage(
                QStringLiteral("--since takes a day as YYYY-MM-DD, not \"%1\"").arg(parsed.Value(OPT_SINCE)));
    }

    const QString strPath = QDir(parsed.Operands().first()).filePath(QLatin1String(LocalNames::JOURNAL));
    QList<JournalTrail::Row> rows;
    bool bMissing = false;
    if (!JournalTrail::Read(strPath, since, &rows, &strError, &bMissing)) {
        return context.Fail(
            RESULT_HOST_IO_ERROR,
            bMissing
                ? QStringLiteral("%1 holds no archive journal (%2 is missing)")
                      .arg(ListingFormat::Quoted(parsed.Operands().first()), ListingFormat::Quoted(strPath))
                : QStringLiteral("cannot read %1: %2").arg(ListingFormat::Quoted(strPath), strError));
    }
    if (parsed.Has(OPT_CSV)) {
        context.PrintRaw(TrailCsv::Document(rows));
        return 0;
    }
    for (const QString &strLine : Table(rows))
        context.Print(strLine);
    return 0;
}
