#include "JobTestSupport.h"

#include "core/StringIds.h"
#include "protocol/ReportMessages.h"
#include "sim/RecorderEmulator.h"
#include "sim/SimTransport.h"

#include <QDir>
#include <QFile>

QString TestTextSource::Text(quint32 nId) const
{
    if (nId == StringId::IDS_FILE_DELETED || nId == StringId::IDS_FILE_NOT_DELETED)
        return QStringLiteral("T%1 %s").arg(nId);
    return QStringLiteral("T%1").arg(nId);
}

bool Receiver::event(QEvent *pEvent)
{
    if (PostEvent::From(pEvent)) {
        ++m_nPosts;
        return true;
    }
    return QObject::event(pEvent);
}

PostTarget PostLog::Target(const CWorkerThread *pJob)
{
    return PostTarget::ForFunction([this, pJob](PostedMessage &&message) {
        LoggedPost post;
        static_cast<PostedMessage &>(post) = std::move(message);
        post.bAfterFinished = pJob && pJob->IsFinishedSignalled();
        std::lock_guard lock(m_mutex);
        m_posts.append(post);
    });
}

QList<LoggedPost> PostLog::Posts() const
{
    std::lock_guard lock(m_mutex);
    return m_posts;
}

QStringList PostLog::JobTexts() const
{
    QStringList texts;
    for (const LoggedPost &post : Of(WM_JOB_MESSAGE)) {
        if (const JobTextPost *pText = post.Get<JobTextPost>())
            texts << pText->strText + QLatin1Char('|') + QString::number(int(pText->bFailure));
    }
    return texts;
}

QList<LoggedPost> PostLog::Of(quint32 nMessage) const
{
    QList<LoggedPost> posts;
    for (const LoggedPost &post : Posts()) {
        if (post.nMessage == nMessage)
            posts.append(post);
    }
    return posts;
}

namespace {

// Writes the card's files before the emulator looks at its folder.
QString FilledCard(const QTemporaryDir &dir, const QMap<QString, QByteArray> &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(dir.filePath(it.key()));
        if (file.open(QIODevice::WriteOnly))
            file.write(it.value());
    }
    return dir.path();
}

} // namespace

RecorderRig::RecorderRig(const RecorderSetup &setup)
    : pEmulator(std::make_shared<RecorderEmulator>(FilledCard(cardDir, setup.files), setup.faults))
    , pTransport(new HookedTransport(std::make_unique<SimTransport>(pEmulator)))
    , link(std::unique_ptr<ITransport>(pTransport))
    , protocol(link)
{
    pTransport->onCommand = setup.onCommand;
    pTransport->nGoneOnCommand = setup.nGoneOnCommand;
    pEmulator->SetDeviceInfo(QStringLiteral("Recorder 42"));
    pEmulator->SetCardInfo(QStringLiteral("Card 128 MB"));
    link.SetTimeoutMs(200);
    link.Open();
}

QByteArray RecorderRig::CardFile(const QString &strName) const
{
    QFile file(cardDir.filePath(strName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList RecorderRig::CardFiles() const
{
    return QDir(cardDir.path()).entryList(QDir::Files, QDir::Name);
}

bool FinishAndJoin(CWorkerThread &job, int nTimeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!job.IsFinishedSignalled()) {
        if (elapsed.elapsed() > nTimeoutMs)
            return false;
        QThread::msleep(1);
    }
    job.Stop();
    return true;
}

bool WaitNoLiveThreads(int nTimeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (CWorkerThread::LiveThreadCount() != 0) {
        if (elapsed.elapsed() > nTimeoutMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}
