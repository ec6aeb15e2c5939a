#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

// The archive folder's journal, its audit trail: one JSON object a line for each pass's start
// and end, each file stored, adopted, hashed or deleted, appended and never rewritten. Every
// line names the recorder (its identity, and its texts as it sends them), who ran the program
// on which host with which version, the time in UTC, and carries "prev", the SHA-256 of the
// line before it, so that a changed, removed or inserted line shows.
class ArchiveJournal final
{
    Q_DISABLE_COPY_MOVE(ArchiveJournal)

public:
    // What every line of a pass says besides its own fields.
    struct Context
    {
        QString strRecorder; // the identity: never empty
        QString strIdentification;
        QString strCardInfo;
    };

    ArchiveJournal(const QString &strFolder, Context context);
    // Syncs what was written.
    ~ArchiveJournal();

    // Appends one line: the action and its fields (card_name, local_name, size, card_date,
    // sha256, ...). bSync makes it durable before returning (a line that must precede a step on
    // the disk). False (with Error() set) when it could not be written; later lines try again.
    bool Append(const QString &strAction, QJsonObject fields, bool bSync = false);

    // The hash of the last line written (or found at the journal's end): its head.
    QString HeadHash() const { return m_strPrev; }
    QString Error() const { return m_strError; }
    // "cannot write the journal PATH: WHY", for messages.
    QString FailureText() const
    {
        return QStringLiteral("cannot write the journal %1: %2").arg(m_strPath, m_strError);
    }
    QString Path() const { return m_strPath; }

    // The user and the host the lines name.
    static QString UserName();
    static QString HostName();

private:
    bool Open();

    QString m_strPath;
    Context m_context;
    QString m_strUser;
    QString m_strHost;
    int m_nFd = -1;
    QString m_strPrev;
    QString m_strError;
};
