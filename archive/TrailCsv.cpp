#include "archive/TrailCsv.h"

#include <QStringList>

namespace TrailCsv {

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString Line(const QStringList &cells)
{
    QStringList escaped;
    escaped.reserve(cells.size());
    for (const QString &strCell : cells)
        escaped.append(Cell(strCell));
    return escaped.join(QLatin1Char(',')) + CRLF;
}

} // namespace

QString Cell(const QString &strText)
{
    QString strCell = strText;
    if (!strCell.isEmpty() && QStringLiteral("=+-@").contains(strCell.front()))
        strCell.prepend(QLatin1Char('\''));
    if (strCell.contains(QLatin1Char(',')) || strCell.contains(QLatin1Char('"')) ||
        strCell.contains(QLatin1Char('\r')) || strCell.contains(QLatin1Char('\n'))) {
        strCell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        strCell = QLatin1Char('"') + strCell + QLatin1Char('"');
    }
    return strCell;
}

QByteArray Document(const QList<JournalTrail::Row> &rows)
{
    QString strCsv = Line({QStringLiteral("time"), QStringLiteral("user"), QStringLiteral("host"),
                           QStringLiteral("recorder"), QStringLiteral("action"), QStringLiteral("card_name"),
                           QStringLiteral("local_name"), QStringLiteral("size"), QStringLiteral("card_date"),
                           QStringLiteral("sha256"), QStringLiteral("detail")});
    for (const JournalTrail::Row &row : rows) {
        strCsv +=
            Line({row.strTime, row.strUser, row.strHost, row.strRecorder, row.strAction, row.strCardName,
                  row.strLocalName, row.nSize >= 0 ? QString::number(row.nSize) : QString(), row.strCardDate,
                  row.strSha256, row.strDetail});
    }
    return strCsv.toUtf8();
}

} // namespace TrailCsv
