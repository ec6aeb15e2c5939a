#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The archive folder's journal: one JSON object a line for each download, adoption and
// deletion, appended, so an operator can tell later which recorder a file came from and when.
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
    QString Error() const { return m_strError; }
    QString Path() const { return m_strPath; }

private:
    QString m_strPath;
    QString m_strRecorder;
    int m_nFd = -1;
    QString m_strError;
};
