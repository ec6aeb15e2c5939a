#include "core/PrintableText.h"

namespace PrintableText {

QString PrintableName(const QString &strName)
{
    QString strPrintable = strName;
    for (QChar &ch : strPrintable) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch.category() == QChar::Other_Control)
            ch = QLatin1Char('?');
    }
    return strPrintable;
}

QString Quoted(const QString &strName)
{
    return QLatin1Char('"') + PrintableName(strName) + QLatin1Char('"');
}

QString TerminalText(const QString &strText)
{
    // The recorder ends its lines the desktop way and usually ends its texts with a line break.
    QString strLines = strText;
    strLines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (strLines.endsWith(QLatin1Char('\n')))
        strLines.chop(1);
    for (QChar &ch : strLines) {
        if (ch != QLatin1Char('\n') && ch != QLatin1Char('\t') &&
            (ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch.category() == QChar::Other_Control))
            ch = QLatin1Char('?');
    }
    return strLines;
}

} // namespace PrintableText
