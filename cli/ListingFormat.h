#pragma once

#include "core/PrintableText.h"

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

// Names and recorder texts made safe to print.
using PrintableText::PrintableName;
using PrintableText::Quoted;
using PrintableText::TerminalText;

// "name<TAB>date<TAB>size", without the line end; the date as DateText, or as IsoDateText.
QString Line(const RecorderFileEntry &entry, bool bIsoDate = false);
// An array of {"name", "modified", "size"} objects, in the given order.
QByteArray Json(const QList<RecorderFileEntry> &entries);

} // namespace ListingFormat
