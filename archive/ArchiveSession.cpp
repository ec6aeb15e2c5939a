// What an archive run needs before it decides: the folder, its lock, the recorder's identity
// and the card's list.

#include "archive/ArchiveLock.h"
#include "archive/ArchiveRun.h"
#include "archive/IArchiveReport.h"
#include "core/ResultText.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/RecorderFileEntry.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/RecorderReceiver.h"

#include "link/RecorderLink.h"

#include <QDir>
#include <QFileInfo>

namespace Archive {

int PrepareFolder(IArchiveReport &report, const Options &options)
{
    const auto fail = [&report](const QString &strWhy) {
        report.Problem(strWhy);
        return int(RESULT_HOST_IO_ERROR);
    };
    const QFileInfo info(options.strDir);
    if (!info.exists() && !options.bDryRun && !QDir().mkpath(options.strDir))
        return fail(QStringLiteral("cannot create the archive folder %1").arg(options.strDir));
    if (info.exists() && !info.isDir())
        return fail(QStringLiteral("%1 is not a folder").arg(options.strDir));
    if (info.exists() && !info.isWritable() && !options.bDryRun)
        return fail(QStringLiteral("%1 is not writable").arg(options.strDir));
    return RESULT_OK;
}

int LockFolder(IArchiveReport &report, const Options &options, ArchiveLock &lock,
               const std::function<bool()> &isStopped)
{
    if (options.bDryRun)
        return RESULT_OK;
    const ArchiveLock::Outcome outcome = lock.Acquire(
        options.strDir, isStopped, [&report, &options] { report.WaitingForFolder(options.strDir); });
    switch (outcome) {
    case ArchiveLock::Outcome::Held:
        return RESULT_OK;
    case ArchiveLock::Outcome::Stopped:
        report.Problem(ResultText(RESULT_CANCELLED));
        return RESULT_CANCELLED;
    case ArchiveLock::Outcome::Failed:
        break;
    }
    report.Problem(lock.Error());
    return RESULT_HOST_IO_ERROR;
}

int ReadRecorder(Session &session, ArchiveJournal::Context *pRecorder)
{
    struct : RecorderReceiver
    {
        QString strIdentification;
        QString strCardInfo;
        void OnDeviceInfo(const QString &strText) override { strIdentification = strText; }
        void OnCardInfo(const QString &strText) override { strCardInfo = strText; }
    } texts;
    const auto fail = [&session](const QString &strWhat) {
        // A stop wakes the read that waits: that failure is the cancellation.
        const int nFailure = session.stop.IsSet() ? RESULT_CANCELLED : RESULT_COMM_ERROR;
        session.report.Problem(QStringLiteral("cannot read %1: ").arg(strWhat) + ResultText(nFailure));
        return nFailure;
    };
    if (!session.protocol.GetDeviceInfo(texts.Target()))
        return fail(QStringLiteral("the recorder's identification"));
    if (!session.protocol.GetCardInfo(texts.Target()))
        return fail(QStringLiteral("the card information"));
    pRecorder->strIdentification = texts.strIdentification;
    pRecorder->strCardInfo = texts.strCardInfo;
    pRecorder->strRecorder = session.protocol.Link().Serial();
    // Without a serial number, the identification; a recorder that sends none at all is still
    // told from others by its link.
    if (pRecorder->strRecorder.isEmpty())
        pRecorder->strRecorder = texts.strIdentification;
    if (pRecorder->strRecorder.isEmpty())
        pRecorder->strRecorder = QStringLiteral("recorder on ") + session.strLinkName;
    return RESULT_OK;
}

int ListCard(Session &session, QList<RecorderFileEntry> *pEntries)
{
    struct Receiver : RecorderReceiver
    {
        explicit Receiver(QList<RecorderFileEntry> *pList)
            : pEntries(pList)
        {}
        QList<RecorderFileEntry> *pEntries;
        void OnFileEntry(const RecorderFileEntry &entry) override { pEntries->append(entry); }
    } receiver(pEntries);
    pEntries->clear();
    const RecorderResult result = session.protocol.ListFiles(session.stop, receiver.Target());
    if (!result.IsOk())
        session.report.Problem(QStringLiteral("cannot list the card: ") +
                               (result.Detail().isEmpty() ? ResultText(result) : result.Detail()));
    return result;
}

} // namespace Archive
