#include "cli/ListingFormat.h"

#include "protocol/RecorderFileEntry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ListingFormat {

QString DateText(quint64 nFileTime)
{
    return FileTime::ListText(nFileTime);
}

QString IsoDateText(quint64 nFileTime)
{
    return FileTime::IsoText(nFileTime);
}

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

QString Line(const RecorderFileEntry &entry, bool bIsoDate)
{
    const quint64 nTime = entry.LastWriteTime();
    return PrintableName(entry.Name()) + QLatin1Char('\t') +
           (bIsoDate ? IsoDateText(nTime) : DateText(nTime)) + QLatin1Char('\t') +
           QString::number(entry.SizeLow());
}

QByteArray Json(const QList<RecorderFileEntry> &entries)
{
    QJsonArray array;
    for (const RecorderFileEntry &entry : entries) {
        QJsonObject object;
        object.insert(QStringLiteral("name"), entry.Name());
        object.insert(QStringLiteral("modified"), IsoDateText(entry.LastWriteTime()));
        object.insert(QStringLiteral("size"), qint64(entry.SizeLow()));
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace ListingFormat
