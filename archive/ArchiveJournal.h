#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

// The archive folder's journal: one JSON object a line for each download, adoption and
// deletion, appended, so an operator can tell later which recorder a file came from and when.
// Every line names the recorder (its identity: never empty) and the time in UTC.
class ArchiveJournal final
{
    Q_DISABLE_COPY_MOVE(ArchiveJournal)

public:
    ArchiveJournal(const QString &strFolder, QString strRecorder);
    // Syncs what was written.
    ~ArchiveJournal();

    // False (with Error() set) when the line could not be written; later lines are tried again.
    bool Append(const QString &strAction, const QString &strCardName, const QString &strLocalName,
                quint32 nSize, const QString &strCardDate);
    // A line about a local file alone (a stale temporary file removed).
    bool AppendLocal(const QString &strAction, const QString &strLocalName);
    QString Error() const { return m_strError; }
    QString Path() const { return m_strPath; }

private:
    bool Write(const QString &strAction, QJsonObject line);

    QString m_strPath;
    QString m_strRecorder;
    int m_nFd = -1;
    QString m_strError;
};
