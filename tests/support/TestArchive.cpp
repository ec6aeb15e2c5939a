#include "support/TestArchive.h"

#include "archive/JournalChain.h"
#include "archive/Manifest.h"
#include "archive/Sha256.h"
#include "core/LocalFileName.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace TestArchive {

QString JournalPath(const QString &strDir)
{
    return QDir(strDir).filePath(QLatin1String(LocalNames::JOURNAL));
}

bool AppendJournal(const QString &strDir, QJsonObject line)
{
    QString strError;
    const QString strPrev = JournalChain::TailHash(JournalPath(strDir), &strError);
    if (strPrev.isEmpty())
        return false;
    line.insert(QStringLiteral("prev"), strPrev);
    const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    QFile file(JournalPath(strDir));
    return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
}

bool Write(const QString &strDir, const QList<File> &files)
{
    if (!QDir().mkpath(strDir))
        return false;
    QList<Manifest::Entry> entries;
    for (const File &file : files) {
        const QString strPath = QDir(strDir).filePath(file.strName);
        Sha256 hash;
        hash.Add(file.bytes.constData(), file.bytes.size());
        const QByteArray hex = hash.Hex();
        if (!TestFiles::Write(strPath, file.bytes, file.cardDate))
            return false;
        entries.append({file.strName, hex});
        const QJsonObject line{{"time", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                               {"recorder", "REC-A"},
                               {"action", "downloaded"},
                               {"card_name", file.strName},
                               {"local_name", file.strName},
                               {"size", file.bytes.size()},
                               {"card_date", file.cardDate.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))},
                               {"sha256", QString::fromLatin1(hex)}};
        if (!AppendJournal(strDir, line))
            return false;
    }
    return Manifest(strDir).Append(entries).IsOk();
}

} // namespace TestArchive
