#pragma once

#include "archive/JournalTrail.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The journal's rows as CSV for a spreadsheet (RFC 4180): a header row, CRLF line ends, UTF-8.
// The texts stay exact, except that a cell a spreadsheet would take for a formula is defused.
namespace TrailCsv {

// One cell: a text beginning with '=', '+', '-' or '@' gets a leading "'" (so a hostile card
// name cannot become a formula); a text holding a comma, a quote, CR or LF is quoted, its
// quotes doubled.
QString Cell(const QString &strText);

// The header row and one row a journal line, each ended by CRLF.
QByteArray Document(const QList<JournalTrail::Row> &rows);

} // namespace TrailCsv
