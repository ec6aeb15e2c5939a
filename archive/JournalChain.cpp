#include "archive/JournalChain.h"

#include "archive/Sha256.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

const QString PREV = QStringLiteral("prev");
// The first read of the journal's end; doubled while the last line does not fit.
constexpr qint64 TAIL_CHUNK = 16 * 1024;

} // namespace

QString JournalChain::FirstPrev()
{
    return QString(64, QLatin1Char('0'));
}

QString JournalChain::LineHash(const QByteArray &lineWithNewline)
{
    Sha256 hash;
    hash.Add(lineWithNewline.constData(), lineWithNewline.size());
    // Empty only when libcrypto failed: no hash rather than a wrong one.
    return QString::fromLatin1(hash.Hex());
}

QString JournalChain::TailHash(const QString &strJournalPath, QString *pError, Tail *pTail)
{
    Tail tail;
    QFile file(strJournalPath);
    if (!file.exists()) {
        if (pTail)
            *pTail = tail;
        return FirstPrev();
    }
    const auto fail = [&](const QString &strWhy) {
        if (pError)
            *pError = strWhy;
        return QString();
    };
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const qint64 nSize = file.size();
    QString strHash = FirstPrev();
    // Widen the window from the end until it holds the last complete line from its start.
    for (qint64 nWindow = TAIL_CHUNK;; nWindow *= 2) {
        const qint64 nStart = qMax<qint64>(0, nSize - nWindow);
        if (!file.seek(nStart))
            return fail(file.errorString());
        const QByteArray window = file.read(nSize - nStart);
        if (window.size() != nSize - nStart)
            return fail(file.error() != QFileDevice::NoError
                            ? file.errorString()
                            : QStringLiteral("the journal shrank while read"));
        const qsizetype nEnd = window.lastIndexOf('\n');
        if (nEnd < 0 && nStart == 0)
            break; // no complete line at all
        if (nEnd >= 0) {
            const qsizetype nBefore = nEnd > 0 ? window.lastIndexOf('\n', nEnd - 1) : -1;
            if (nBefore >= 0 || nStart == 0) {
                strHash = LineHash(window.mid(nBefore + 1, nEnd - nBefore));
                tail.nWholeSize = nStart + nEnd + 1;
                break;
            }
        }
    }
    tail.bTorn = tail.nWholeSize < nSize;
    if (pTail)
        *pTail = tail;
    return strHash;
}

JournalChain::ChainCheck JournalChain::Verify(const QString &strJournalPath)
{
    ChainCheck check;
    QFile file(strJournalPath);
    if (!file.open(QIODevice::ReadOnly)) {
        check.strError = file.errorString();
        return check;
    }
    QString strExpected = FirstPrev();
    bool bChained = false;
    // One line at a time: a journal grows for years.
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.isEmpty())
            break;
        const qint64 nLine = ++check.nLines;
        if (!line.endsWith('\n')) {
            // Only the end of the file lacks a newline; the next writer cuts it off.
            check.breaks.append({nLine, Fault::Torn});
            break;
        }
        const QJsonDocument document = QJsonDocument::fromJson(line.chopped(1));
        if (!document.isObject()) {
            check.breaks.append({nLine, Fault::NotJson});
        } else if (const QJsonValue prev = document.object().value(PREV); prev.isUndefined()) {
            if (bChained)
                check.breaks.append({nLine, Fault::Unchained});
        } else {
            bChained = true;
            if (prev.toString() != strExpected)
                check.breaks.append({nLine, Fault::PrevMismatch});
        }
        // The next line links to this one whatever it holds.
        strExpected = LineHash(line);
    }
    if (file.error() != QFileDevice::NoError) {
        check.strError = file.errorString();
        return check;
    }
    check.strHeadHash = strExpected;
    return check;
}

QString JournalChain::FaultText(Fault eFault)
{
    switch (eFault) {
    case Fault::PrevMismatch:
        return QStringLiteral(
            "its \"prev\" is not the hash of the line before: a line before it was changed, "
            "removed or inserted");
    case Fault::Unchained:
        return QStringLiteral(
            "it has no \"prev\" but follows a chained line: it was inserted or its link removed");
    case Fault::NotJson:
        return QStringLiteral("it is not a JSON object");
    case Fault::Torn:
        return QStringLiteral("it lacks its newline: a write was cut short");
    }
    return QString();
}
