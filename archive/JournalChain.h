#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// The hash chain of the archive folder's journal. Each line carries "prev", the SHA-256 (lower-
// case hex) of the bytes of the line before it, its newline included; the first line of the file
// carries 64 zeros. Lines of older versions, without "prev", may stand only before the first
// chained line; the first chained line after them carries the hash of the last of them.
//
// A line changed, removed or inserted is found at the line after it (the last line's change shows
// in the head hash only). A journal rewritten whole from some line on, with new hashes, is not:
// the chain proves that the file is as it was written, by whoever can write it.
class JournalChain final
{
public:
    // The "prev" of a journal's first line.
    static QString FirstPrev();

    // The SHA-256 of one line's bytes, its newline included, as 64 lowercase hex digits.
    static QString LineHash(const QByteArray &lineWithNewline);

    // Where the journal's complete lines end. A writer that finds the last line torn (a write cut
    // short: no newline) cuts the file back to nWholeSize before appending.
    struct Tail
    {
        bool bTorn = false;
        qint64 nWholeSize = 0;
    };

    // The hash of the journal's last complete line, the "prev" of the next line to append: 64
    // zeros for an empty or missing journal. Reads only the end of the file. An empty string with
    // *pError set when the journal cannot be read.
    static QString TailHash(const QString &strJournalPath, QString *pError, Tail *pTail = nullptr);

    enum class Fault {
        PrevMismatch, // "prev" is not the hash of the line before: a line changed, removed or inserted
        Unchained,    // a line without "prev" after the first chained line
        NotJson,      // a line that is not a JSON object
        Torn,         // the last line lacks its newline: a write was cut short
    };

    struct Break
    {
        qint64 nLine = 0; // 1-based
        Fault eFault = Fault::PrevMismatch;

        bool operator==(const Break &other) const = default;
    };

    struct ChainCheck
    {
        QList<Break> breaks;
        qint64 nLines = 0;
        QString strHeadHash; // the hash of the last complete line (64 zeros when there is none)
        QString strError;    // the journal could not be read; nothing else is meaningful then

        bool IsIntact() const { return strError.isEmpty() && breaks.isEmpty(); }
    };

    // Reads the whole journal, one line at a time, and checks every line's link. A missing
    // journal is an error.
    static ChainCheck Verify(const QString &strJournalPath);

    // What a fault means, in a sentence for people.
    static QString FaultText(Fault eFault);
};
