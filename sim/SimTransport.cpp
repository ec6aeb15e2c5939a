#include "sim/SimTransport.h"

#include "link/TransportRegistry.h"
#include "sim/RecorderEmulator.h"
#include "sim/SimLog.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <utility>

namespace {
// A read without a time-out still looks again now and then.
constexpr qint64 FOREVER_NAP_MS = 1000;
} // namespace

SimTransport::SimTransport(std::shared_ptr<RecorderEmulator> pEmulator)
    : m_pEmulator(std::move(pEmulator))
{}

SimTransport::~SimTransport() = default;

std::unique_ptr<SimTransport> SimTransport::FromArgument(const QString &strArgument, QString *pError)
{
    const qsizetype nQuery = strArgument.lastIndexOf(QLatin1Char('?'));
    const QString strDir = nQuery < 0 ? strArgument : strArgument.left(nQuery);
    if (strDir.isEmpty()) {
        if (pError)
            *pError = QStringLiteral("invalid link \"sim:%1\" (expected sim:DIR)").arg(strArgument);
        return nullptr;
    }
    EmulatorFaults faults;
    if (nQuery >= 0) {
        static const QRegularExpression separators(QStringLiteral("[,&]"));
        const QStringList options = strArgument.mid(nQuery + 1).split(separators, Qt::SkipEmptyParts);
        for (const QString &strOption : options) {
            const qsizetype nEquals = strOption.indexOf(QLatin1Char('='));
            const QString strName = nEquals < 0 ? strOption : strOption.left(nEquals);
            const QString strValue = nEquals < 0 ? QString() : strOption.mid(nEquals + 1);
            if (!faults.SetOption(strName, strValue, pError))
                return nullptr;
        }
    }
    return std::make_unique<SimTransport>(std::make_shared<RecorderEmulator>(strDir, faults));
}

bool SimTransport::Open(LinkOpenFailure *pFailure)
{
    std::lock_guard lock(m_mutex);
    if (!QFileInfo(m_pEmulator->CardDir()).isDir()) {
        if (pFailure)
            *pFailure = LinkOpenFailure::Described(
                QStringLiteral("emulator card folder %1 does not exist").arg(m_pEmulator->CardDir()));
        m_bOpen = false;
        return false;
    }
    // A fresh connection finds the recorder idle, as after plugging it in.
    m_pEmulator->Reset();
    m_bOpen = true;
    return true;
}

void SimTransport::Close()
{
    std::lock_guard lock(m_mutex);
    m_bOpen = false;
}

bool SimTransport::IsOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_bOpen;
}

void SimTransport::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_bWake = true;
    }
    m_wakeUp.notify_all();
}

bool SimTransport::Write(const quint8 *pData, qsizetype nLen, int /*nTimeoutMs*/)
{
    std::lock_guard lock(m_mutex);
    // The emulator takes every write at once: only a wake already pending fails one.
    if (!m_bOpen || std::exchange(m_bWake, false))
        return false;
    m_pEmulator->HostWrite(pData, nLen);
    return true;
}

qsizetype SimTransport::Read(quint8 *pData, qsizetype nMax, int nTimeoutMs)
{
    if (nMax <= 0)
        return -1;
    const QDeadlineTimer deadline(nTimeoutMs);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_bOpen || std::exchange(m_bWake, false))
            return -1;
        if (m_pEmulator->Available() > 0)
            return m_pEmulator->HostRead(pData, nMax);
        if (deadline.hasExpired())
            return -1;
        // Only a delayed reply can still come; without one the recorder is silent and the read
        // waits out its time-out like one on a real link, unless woken.
        const qint64 nLeft = deadline.isForever() ? FOREVER_NAP_MS : deadline.remainingTime();
        auto wakeUp = RecorderEmulator::Clock::now() + std::chrono::milliseconds(nLeft);
        if (const auto due = m_pEmulator->NextDue(); due && *due < wakeUp)
            wakeUp = *due;
        m_wakeUp.wait_until(lock, wakeUp);
    }
}

void RegisterSimTransport()
{
    TransportRegistry::RegisterScheme(QStringLiteral("sim"), [](const QString &strArgument, QString *pError) {
        return std::unique_ptr<ITransport>(SimTransport::FromArgument(strArgument, pError));
    });
}
