#pragma once

// Archive folders for tests, written as the archive writes them: the files with the card's
// dates, a SHA256SUMS line and a chained journal line for each.

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace TestArchive {

struct File
{
    QString strName;
    QByteArray bytes;
    QDateTime cardDate; // local time, as the card shows it
};

// Writes each file, its manifest line and a "downloaded" journal line; false on any failure.
bool Write(const QString &strDir, const QList<File> &files);
// Appends one line to the journal, linked to the line before it ("prev" is added).
bool AppendJournal(const QString &strDir, QJsonObject line);
// The journal's path in the folder.
QString JournalPath(const QString &strDir);

} // namespace TestArchive
