#pragma once

#include <QString>

// The recorder's names and texts made safe to print on a terminal or in a log line.
namespace PrintableText {

// A name made safe to print on a line: control characters (which could break the line
// format or drive the terminal) become '?'. The JSON listing keeps names exact.
QString PrintableName(const QString &strName);
// The printable name in double quotes, for messages.
QString Quoted(const QString &strName);

// A recorder text (identification, card information) made safe to print: its line breaks
// become plain ones with none at the end, tabs stay, and every other control character
// (which could drive the terminal) becomes '?'.
QString TerminalText(const QString &strText);

} // namespace PrintableText
