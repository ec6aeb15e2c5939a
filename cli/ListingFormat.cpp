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
