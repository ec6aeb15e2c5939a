#pragma once

#include "core/ITextSource.h"
#include "HookedTransport.h"
#include "jobs/CWorkerThread.h"
#include "link/RecorderLink.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderProtocol.h"
#include "sim/EmulatorFaults.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>
#include <mutex>

// Texts that name their identifier ("T165"); the two per-file lines keep their placeholder.
class TestTextSource final : public ITextSource
{
public:
    QString Text(quint32 nId) const override;
};

// One post as the window would have received it, and whether the job had signalled finished
// when it was posted.
struct LoggedPost : PostedMessage
{
    bool bAfterFinished = false;
};

// Collects the posts of one job in posting order, on the posting thread.
class PostLog final
{
public:
    // A target whose posts are logged together with pJob's finished state at that moment.
    PostTarget Target(const CWorkerThread *pJob);
    QList<LoggedPost> Posts() const;
    // Texts of the WM_JOB_MESSAGE text form, as "text|flag".
    QStringList JobTexts() const;
    QList<LoggedPost> Of(quint32 nMessage) const;

private:
    mutable std::mutex m_mutex;
    QList<LoggedPost> m_posts;
};

// A window stand-in: counts the messages posted to it and cuts its targets off when destroyed.
class Receiver final : public QObject
{
public:
    PostReceiver m_receiver{this};
    int m_nPosts = 0;

    bool event(QEvent *pEvent) override;
};

class RecorderEmulator;

// What the emulated recorder holds and how it misbehaves.
struct RecorderSetup
{
    QMap<QString, QByteArray> files; // the card
    EmulatorFaults faults;
    std::function<void(quint16 nCode, const QString &strName)> onCommand; // see HookedTransport
    quint16 nGoneOnCommand = 0;
};

// The emulated recorder over a temporary card, reached through a hooked transport, with the program's link
// and protocol objects on top of it.
struct RecorderRig
{
    explicit RecorderRig(const RecorderSetup &setup = {});

    QByteArray CardFile(const QString &strName) const;
    QStringList CardFiles() const;

    QTemporaryDir cardDir;
    std::shared_ptr<RecorderEmulator> pEmulator;
    HookedTransport *pTransport; // owned by link
    RecorderLink link;
    RecorderProtocol protocol;
};

// Waits (without asking it to stop) until the job signals finished, then joins it with Stop.
bool FinishAndJoin(CWorkerThread &job, int nTimeoutMs = 10000);
// Waits until no worker thread of any job is left.
bool WaitNoLiveThreads(int nTimeoutMs = 10000);
