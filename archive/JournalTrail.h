#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QtGlobal>

// The archive journal read for people: one row a line, the fields an auditor asks for first
// (when, who, which recorder, what was done to which file, and the file's hash). The texts are
// kept exact; whoever shows them makes them printable.
class JournalTrail final
{
public:
    struct Row
    {
        qint64 nLine = 0; // 1-based line of the journal
        QDateTime time;   // UTC; invalid when the line has no readable time
        QString strTime;  // as the line writes it
        QString strUser;
        QString strHost;
        QString strRecorder;
        QString strAction; // the line's action; "unreadable" for a line that is not a JSON object
        QString strCardName;
        QString strLocalName;
        qint64 nSize = -1; // -1 when the line names no size
        QString strCardDate;
        QString strSha256;
        QString strDetail; // run-start: the command and its options; run-end: the summary;
                           // an unreadable line: its number
    };

    // What a line that is not a JSON object shows as its action.
    static constexpr const char *UNREADABLE = "unreadable";

    // The row of one line, without its newline.
    static Row RowOf(const QByteArray &line, qint64 nLine);

    // The journal's rows in order; with a valid since, only lines of that UTC day or later. False
    // with *pError set when the journal cannot be read (pbMissing says whether it is absent).
    static bool Read(const QString &strJournalPath, const QDate &since, QList<Row> *pRows, QString *pError,
                     bool *pbMissing = nullptr);

    // The file a row is about: "CARD → LOCAL", or one name when the other is empty or the same.
    static QString FileText(const Row &row);
    // The time in UTC as "yyyy-MM-dd hh:mm:ss", or the line's own text when it is not readable.
    static QString TimeText(const Row &row);

private:
    static QString DetailOf(const QString &strAction, const QJsonObject &object);
};
