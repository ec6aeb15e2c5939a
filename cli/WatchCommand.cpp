// watch: archives each recorder when it arrives, and again every few minutes while it stays,
// holding it only while archiving.

#include "archive/ArchiveLock.h"
#include "archive/WatchSchedule.h"
#include "cli/ArchiveCommand.h"
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ResultText.h"
#include "cli/WatchNotices.h"
#include "link/TransportRegistry.h"
#include "link/UsbDeviceChoice.h"
#include "link/UsbTransport.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/ProtocolCodes.h"

#include <QDeadlineTimer>
#include <QSet>

#include <optional>
#include <vector>

namespace {

const QString OPT_EVERY = QStringLiteral("--every");
const QString OPT_PER_RECORDER = QStringLiteral("--per-recorder");
const QString OPT_NO_NOTIFY = QStringLiteral("--no-notify");
constexpr int DEFAULT_POLL_MS = 10000;
// How often a wait looks at the stop event; a signal ends the watch within this.
constexpr int STOP_CHECK_MS = 200;
constexpr qint64 MINUTE_MS = 60000;
constexpr qint64 EVERY_MAX_MINUTES = 7 * 24 * 60;

using Served = WatchSchedule::Recorder;

QString Describe(const UsbDeviceIdentity &device)
{
    return device.strSerial.isEmpty()
               ? QStringLiteral("recorder at port %1").arg(device.strPortPath)
               : QStringLiteral("recorder %1 at port %2").arg(device.strSerial, device.strPortPath);
}

class Watcher final
{
public:
    Watcher(CliContext &context, WatchNotices &notices, Archive::Options options, qint64 nEveryMs,
            bool bPerRecorder)
        : m_context(context)
        , m_notices(notices)
        , m_options(std::move(options))
        , m_nEveryMs(nEveryMs)
        , m_bPerRecorder(bPerRecorder)
        , m_givenDevice(context.GivenDevice())
        , m_nPollMs(CliContext::EnvMilliseconds(CliContext::ENV_WATCH_POLL_MS))
    {
        if (m_nPollMs == 0)
            m_nPollMs = DEFAULT_POLL_MS;
    }

    int WatchUsb(UsbTransport &listener);
    int WatchPolled();

private:
    QList<UsbDeviceIdentity> Choose(const QList<UsbDeviceIdentity> &attached, QString *pProblem) const;
    void Update(const QList<UsbDeviceIdentity> &present);
    // Archives one recorder (connecting when not connected yet). False once the watch is stopped.
    bool Serve(Served &served);
    // Waits nMs (-1: until woken), or until pWake is set. False once the watch is stopped.
    bool Wait(qint64 nMs, const ManualResetEvent *pWake = nullptr) const;

    CliContext &m_context;
    WatchNotices &m_notices;
    const Archive::Options m_options;
    const qint64 m_nEveryMs;
    const bool m_bPerRecorder;
    const std::optional<QString> m_givenDevice;
    int m_nPollMs;
    std::vector<Served> m_served;
};

bool Watcher::Wait(qint64 nMs, const ManualResetEvent *pWake) const
{
    const QDeadlineTimer deadline(nMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(nMs));
    while (!m_context.IsStopped()) {
        const qint64 nLeft = deadline.remainingTime();
        if (nLeft == 0)
            return true;
        const int nSlice = nLeft < 0 ? STOP_CHECK_MS : int(qMin<qint64>(nLeft, STOP_CHECK_MS));
        if (pWake ? pWake->Wait(nSlice) : m_context.Stop().Wait(nSlice))
            break;
    }
    return !m_context.IsStopped();
}

bool Watcher::Serve(Served &served)
{
    Archive::Options options = m_options;
    if (!served.strFolder.isEmpty())
        options.strDir += served.strFolder + QLatin1Char('/');
    // Each pass holds the folder's lock from before the recorder is opened to the pass's end,
    // and never between passes.
    ArchiveLock lock;
    int nStatus = ArchiveCommand::PrepareFolder(m_context, options);
    if (nStatus == RESULT_OK)
        nStatus = ArchiveCommand::LockFolder(m_context, options, lock);
    if (nStatus == RESULT_OK && !m_context.IsConnected()) {
        // Exactly the recorder the scan found, whatever the choice says by now.
        if (!served.strPortPath.isEmpty())
            m_context.SetDevice(served.strPortPath);
        QString strWhy;
        if (m_context.TryConnect(&strWhy) != 0) {
            if (m_context.IsStopped())
                return false;
            if (strWhy != served.strLastFailure) {
                m_notices.Busy(served.strName);
                m_context.Say(
                    QStringLiteral("busy: the %1 cannot be opened now (trying again every %2 s): %3")
                        .arg(served.strName)
                        .arg(m_nPollMs / 1000.0)
                        .arg(strWhy));
            }
            served.strLastFailure = strWhy;
            served.Busy(m_nPollMs);
            return !m_context.IsStopped();
        }
    }
    served.strLastFailure.clear();
    Archive::Summary summary;
    if (nStatus == RESULT_OK) {
        m_notices.Archiving(served.strName);
        nStatus = ArchiveCommand::Run(m_context, options, &summary);
    }
    m_context.Disconnect();
    lock.Release();
    if (m_context.IsStopped())
        return false;
    m_notices.PassDone(summary, served.strName, options.strDir);
    served.PassEnded(nStatus, m_nEveryMs, m_nPollMs);
    return true;
}

QList<UsbDeviceIdentity> Watcher::Choose(const QList<UsbDeviceIdentity> &attached, QString *pProblem) const
{
    if (m_bPerRecorder)
        return attached;
    const UsbDeviceChoice choice(m_givenDevice ? *m_givenDevice : UsbDeviceChoice::Configured());
    for (const UsbDeviceIdentity &device : attached) {
        if (choice.Matches(device))
            return {device};
    }
    if (!attached.isEmpty())
        *pProblem = QStringLiteral("the chosen recorder \"%1\" is not attached (attached: %2)")
                        .arg(choice.Text(), UsbDeviceChoice::ListText(attached));
    return {};
}

void Watcher::Update(const QList<UsbDeviceIdentity> &present)
{
    const QList<QString> folders = WatchSchedule::FolderNames(present);
    QSet<QString> keys;
    for (qsizetype i = 0; i < present.size(); ++i) {
        const UsbDeviceIdentity &device = present.at(i);
        // A recorder plugged in again gets another address, so it counts as arriving again.
        const QString strKey =
            QStringLiteral("%1@%2/%3").arg(device.strPortPath).arg(device.nAddress).arg(device.strSerial);
        keys.insert(strKey);
        auto it = std::find_if(m_served.begin(), m_served.end(),
                               [&strKey](const Served &served) { return served.strKey == strKey; });
        if (it == m_served.end()) {
            Served served;
            served.strKey = strKey;
            served.strPortPath = device.strPortPath;
            served.strName = Describe(device);
            m_context.Say(QStringLiteral("arrived: %1").arg(served.strName));
            it = m_served.insert(m_served.end(), served);
        }
        if (m_bPerRecorder)
            it->strFolder = folders.at(i);
    }
    for (auto it = m_served.begin(); it != m_served.end();) {
        if (keys.contains(it->strKey)) {
            ++it;
            continue;
        }
        m_context.Say(QStringLiteral("removed: %1").arg(it->strName));
        it = m_served.erase(it);
        if (m_served.empty())
            m_notices.Waiting();
    }
}

int Watcher::WatchUsb(UsbTransport &listener)
{
    // The listener hears every recorder of the configured ids; Choose applies the choice.
    listener.SetDeviceChoice([] { return QString(); });
    ManualResetEvent wake;
    const bool bNotices = listener.RegisterNotifications([&wake](quint32) { wake.Set(); });
    if (!bNotices)
        m_context.Say(QStringLiteral("USB notices are not available: looking for recorders every %1 s")
                          .arg(m_nPollMs / 1000.0));
    QString strProblem;
    for (;;) {
        wake.Reset();
        LinkOpenFailure failure;
        const std::optional<QList<UsbDeviceIdentity>> attached = listener.AttachedDevices(&failure);
        QString strNow;
        const QList<UsbDeviceIdentity> present =
            attached ? Choose(*attached, &strNow) : QList<UsbDeviceIdentity>();
        if (!attached)
            strNow = failure.EnglishText();
        if (!strNow.isEmpty() && strNow != strProblem)
            m_context.Say(QStringLiteral("waiting: ") + strNow);
        strProblem = strNow;
        Update(present);
        for (Served &served : m_served) {
            if (served.IsDueNow() && !Serve(served))
                return RESULT_OK;
        }

        // Until a notice, the next try or --every; ids configured later, and hosts without
        // notices, need a look now and then.
        const qint64 nWait = WatchSchedule::NextWaitMs(m_served, !attached || !bNotices ? m_nPollMs : -1);
        if (!Wait(nWait, &wake))
            return RESULT_OK;
    }
}

int Watcher::WatchPolled()
{
    // Without notices, an arrival is the change from unreachable to reachable.
    Served served;
    served.strName = QStringLiteral("recorder on \"%1\"").arg(m_context.LinkName());
    bool bReachable = false;
    QString strLastWhy;
    for (;;) {
        QString strWhy;
        const bool bNow = m_context.TryConnect(&strWhy) == RESULT_OK;
        if (m_context.IsStopped())
            return RESULT_OK;
        if (bNow && !bReachable) {
            m_context.Say(QStringLiteral("arrived: the %1 is reachable").arg(served.strName));
            served.Arrived();
        } else if (!bNow && bReachable) {
            m_context.Say(QStringLiteral("removed: %1").arg(strWhy));
            m_notices.Waiting();
        } else if (!bNow && strWhy != strLastWhy) {
            m_context.Say(QStringLiteral("waiting: %1").arg(strWhy));
        }
        bReachable = bNow;
        strLastWhy = strWhy;
        if (bNow && served.IsDueNow()) {
            if (!Serve(served))
                return RESULT_OK;
        } else {
            m_context.Disconnect();
        }
        if (!Wait(m_nPollMs))
            return RESULT_OK;
    }
}

} // namespace

int RunWatch(CliContext &context, const QStringList &args)
{
    CliArguments parsed;
    QString strError;
    if (!parsed.Parse(args, ArchiveCommand::Flags() << OPT_PER_RECORDER << OPT_NO_NOTIFY,
                      ArchiveCommand::ValuedOptions() << OPT_EVERY, &strError))
        return context.Usage(strError);
    if (!parsed.Has(QStringLiteral("--to")))
        return context.Usage(QStringLiteral("watch needs the archive folder: --to DIR"));
    Archive::Options options;
    int nStatus = 0;
    if (!ArchiveCommand::Parse(context, parsed, &options, &nStatus))
        return nStatus;
    options.strCommand = QStringLiteral("watch");
    options.arguments = args;
    qint64 nEveryMs = 0;
    if (parsed.Has(OPT_EVERY)) {
        bool bOk = false;
        const qint64 nMinutes = parsed.Value(OPT_EVERY).toLongLong(&bOk);
        if (!bOk || nMinutes < 1 || nMinutes > EVERY_MAX_MINUTES)
            return context.Usage(QStringLiteral("--every takes a number of minutes from 1 to %1, not \"%2\"")
                                     .arg(EVERY_MAX_MINUTES)
                                     .arg(parsed.Value(OPT_EVERY)));
        nEveryMs = nMinutes * MINUTE_MS;
    }
    const bool bPerRecorder = parsed.Has(OPT_PER_RECORDER);
    if (bPerRecorder && !context.GivenDevice().value_or(QString()).isEmpty())
        return context.Usage(QStringLiteral("--per-recorder serves every recorder; --device chooses one"));
    if (const int nLink = context.PrepareLink())
        return nLink;
    // A link of its own hears the notices: the one that archives is closed in between.
    std::unique_ptr<ITransport> pListener = TransportRegistry::Create(context.LinkName(), &strError);
    auto *pUsb = dynamic_cast<UsbTransport *>(pListener.get());
    if (bPerRecorder && !pUsb)
        return context.Usage(
            QStringLiteral("--per-recorder serves recorders on USB; the link \"%1\" reaches one recorder")
                .arg(context.LinkName()));
    if (const int nFolder = ArchiveCommand::PrepareFolder(context, options))
        return nFolder;

    context.SetLogMode(true);
    context.SetSignalEndsWell(true);
    context.Say(QStringLiteral("watching \"%1\" for %2, archiving into %3")
                    .arg(context.LinkName(),
                         bPerRecorder ? QStringLiteral("every recorder") : QStringLiteral("the recorder"),
                         options.strDir));
    // Ready before the first pass, which can be long.
    WatchNotices notices(!parsed.Has(OPT_NO_NOTIFY));
    notices.Ready();
    Watcher watcher(context, notices, options, nEveryMs, bPerRecorder);
    nStatus = pUsb ? watcher.WatchUsb(*pUsb) : watcher.WatchPolled();
    notices.Stopping();
    context.Say(QStringLiteral("stopped"));
    return nStatus;
}
