#include "archive/JournalTrail.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace {

QString Text(const QJsonObject &object, const char *pszKey)
{
    const QJsonValue value = object.value(QLatin1String(pszKey));
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toInteger());
    return QString();
}

// An option list as the run gave it: a string, an array of words or an object of settings.
QString OptionsText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isArray()) {
        QStringList words;
        for (const QJsonValue &word : value.toArray())
            words.append(word.toVariant().toString());
        return words.join(QLatin1Char(' '));
    }
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    return QString();
}

} // namespace

JournalTrail::Row JournalTrail::RowOf(const QByteArray &line, qint64 nLine)
{
    Row row;
    row.nLine = nLine;
    const QJsonDocument document = QJsonDocument::fromJson(line);
    if (!document.isObject()) {
        row.strAction = QLatin1String(UNREADABLE);
        row.strDetail = QStringLiteral("line %1").arg(nLine);
        return row;
    }
    const QJsonObject object = document.object();
    row.strTime = Text(object, "time");
    // Lines of older versions may carry a local time without a zone: read as this host's.
    row.time = QDateTime::fromString(row.strTime, Qt::ISODateWithMs).toUTC();
    row.strUser = Text(object, "user");
    row.strHost = Text(object, "host");
    row.strRecorder = Text(object, "recorder");
    row.strAction = Text(object, "action");
    row.strCardName = Text(object, "card_name");
    row.strLocalName = Text(object, "local_name");
    if (const QJsonValue size = object.value(QLatin1String("size")); size.isDouble())
        row.nSize = size.toInteger(-1);
    row.strCardDate = Text(object, "card_date");
    row.strSha256 = Text(object, "sha256");
    row.strDetail = DetailOf(row.strAction, object);
    return row;
}

QString JournalTrail::DetailOf(const QString &strAction, const QJsonObject &object)
{
    if (strAction == QLatin1String("run-start")) {
        const QString strOptions = OptionsText(object.value(QLatin1String("options")));
        const QString strCommand = Text(object, "command");
        return strOptions.isEmpty() ? strCommand : strCommand + QLatin1Char(' ') + strOptions;
    }
    if (strAction == QLatin1String("run-end")) {
        static const char *const COUNTS[][2] = {{"downloaded", "downloaded"},
                                                {"kept_beside", "kept beside"},
                                                {"already_archived", "already archived"},
                                                {"failed", "failed"},
                                                {"deleted", "deleted"}};
        QStringList parts;
        for (const auto &count : COUNTS) {
            if (object.contains(QLatin1String(count[0])))
                parts.append(QStringLiteral("%1 %2").arg(QLatin1String(count[1]), Text(object, count[0])));
        }
        return parts.join(QStringLiteral(", "));
    }
    return QString();
}

bool JournalTrail::Read(const QString &strJournalPath, const QDate &since, QList<Row> *pRows, QString *pError,
                        bool *pbMissing)
{
    QFile file(strJournalPath);
    if (pbMissing)
        *pbMissing = !file.exists();
    if (!file.open(QIODevice::ReadOnly)) {
        *pError = file.errorString();
        return false;
    }
    qint64 nLine = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.isEmpty())
            break;
        ++nLine;
        if (line.endsWith('\n'))
            line.chop(1);
        Row row = RowOf(line, nLine);
        if (since.isValid() && (!row.time.isValid() || row.time.date() < since))
            continue;
        pRows->append(std::move(row));
    }
    if (file.error() != QFileDevice::NoError) {
        *pError = file.errorString();
        return false;
    }
    return true;
}

QString JournalTrail::FileText(const Row &row)
{
    if (row.strCardName.isEmpty())
        return row.strLocalName;
    if (row.strLocalName.isEmpty() || row.strLocalName == row.strCardName)
        return row.strCardName;
    return row.strCardName + QStringLiteral(" \u2192 ") + row.strLocalName;
}

QString JournalTrail::TimeText(const Row &row)
{
    return row.time.isValid() ? row.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : row.strTime;
}
