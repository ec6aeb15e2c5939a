#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

class RecorderFileEntry;

// How orvoconnect-cli writes the recorder's file list. The recorder's clock is shown as it
// stands: no time zone is applied.
namespace ListingFormat {

// "07/03/09 (14:05:09)": day, month, year modulo 100, time; fractions of a second dropped.
QString DateText(quint64 nFileTime);
// "2009-03-07T14:05:09": ISO 8601 without a zone, fractions of a second dropped.
QString IsoDateText(quint64 nFileTime);

// A name made safe to print on a line: control characters (which could break the line
// format or drive the terminal) become '?'. The JSON listing keeps names exact.
QString PrintableName(const QString &strName);
// The printable name in double quotes, for messages.
QString Quoted(const QString &strName);

// A recorder text (identification, card information) made safe to print: its line breaks
// become plain ones with none at the end, tabs stay, and every other control character
// (which could drive the terminal) becomes '?'.
QString TerminalText(const QString &strText);

// "name<TAB>date<TAB>size", without the line end; the date as DateText, or as IsoDateText.
QString Line(const RecorderFileEntry &entry, bool bIsoDate = false);
// An array of {"name", "modified", "size"} objects, in the given order.
QByteArray Json(const QList<RecorderFileEntry> &entries);

} // namespace ListingFormat
