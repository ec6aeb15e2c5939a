#include "cli/CliContext.h"

#include "cli/ListingFormat.h"
#include "cli/ResultText.h"
#include "link/RecorderLink.h"
#include "link/TransportRegistry.h"
#include "link/UsbDeviceChoice.h"
#include "protocol/RecorderProtocol.h"
#include "protocol/ReportMessages.h"

#include <QDateTime>

#include <cstdlib>

int CliContext::EnvMilliseconds(const char *pszName)
{
    bool bOk = false;
    const int nMs = qEnvironmentVariable(pszName).toInt(&bOk);
    return bOk && nMs > 0 ? nMs : 0;
}

CliContext::CliContext(QString strLinkName, FILE *pOut, FILE *pErr)
    : m_strLinkName(std::move(strLinkName))
    , m_pOut(pOut)
    , m_pErr(pErr)
    , m_progress(pErr)
{}

CliContext::~CliContext()
{
    m_pProtocol.reset();
    m_pLink.reset();
}

int CliContext::PrepareLink()
{
    if (m_pLink)
        return 0;
    QString strError;
    std::unique_ptr<ITransport> pTransport = TransportRegistry::Create(m_strLinkName, &strError);
    if (!pTransport) {
        // A build without USB support cannot reach a recorder on the default link; that is
        // not the user's typing mistake.
        if (m_strLinkName == QLatin1String("usb"))
            return Fail(EXIT_UNREACHABLE,
                        QStringLiteral("cannot reach the recorder on \"usb\": ") + strError);
        return Usage(strError);
    }
    const bool bChoosable = pTransport->SetDeviceChoice([this] {
        std::lock_guard lock(m_deviceMutex);
        return m_bDeviceGiven ? m_strDevice : UsbDeviceChoice::Configured();
    });
    if (!bChoosable && !GivenDevice().value_or(QString()).isEmpty())
        return Usage(QStringLiteral("--device chooses among recorders on USB; the link \"%1\" reaches "
                                    "one recorder")
                         .arg(m_strLinkName));

    auto pLink = std::make_unique<RecorderLink>(std::move(pTransport));
    if (const int nMs = EnvMilliseconds(ENV_TIMEOUT_MS))
        pLink->SetTimeoutMs(nMs);
    std::lock_guard lock(m_linkMutex);
    m_pLink = std::move(pLink);
    // A signal that came before the link existed still counts.
    if (m_stop.IsSet() && !m_bUninterruptible)
        m_pLink->Interrupt();
    return 0;
}

int CliContext::Connect()
{
    QString strWhy;
    const int nStatus = TryConnect(&strWhy);
    if ((nStatus == EXIT_UNREACHABLE || nStatus == RESULT_CANCELLED) && !strWhy.isEmpty())
        Report(strWhy);
    return nStatus;
}

int CliContext::TryConnect(QString *pWhy)
{
    if (m_pProtocol)
        return 0;
    if (const int nStatus = PrepareLink())
        return nStatus;
    // Asked to stop before or while opening: nothing was said to the recorder yet.
    if (m_stop.IsSet() || (!m_pLink->Open() && m_pLink->IsInterrupted())) {
        m_pLink->Close();
        *pWhy = ResultText(RESULT_CANCELLED);
        return RESULT_CANCELLED;
    }
    if (!m_pLink->IsOpen()) {
        QString strMessage = QStringLiteral("cannot reach the recorder on \"%1\"").arg(m_strLinkName);
        const QString strWhy = m_pLink->LastOpenFailure();
        if (!strWhy.isEmpty())
            strMessage += QStringLiteral(": ") + strWhy;
        *pWhy = strMessage;
        return EXIT_UNREACHABLE;
    }
    m_pProtocol = std::make_unique<RecorderProtocol>(*m_pLink);
    if (const int nMs = EnvMilliseconds(ENV_SAVE_TIMEOUT_MS))
        m_pProtocol->SetSaveArchiveTimeoutMs(nMs);
    return 0;
}

void CliContext::Disconnect()
{
    m_pProtocol.reset();
    if (m_pLink)
        m_pLink->Close();
}

void CliContext::SetDevice(const QString &strDevice)
{
    std::lock_guard lock(m_deviceMutex);
    m_strDevice = strDevice;
    m_bDeviceGiven = true;
}

std::optional<QString> CliContext::GivenDevice() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_bDeviceGiven ? std::optional<QString>(m_strDevice) : std::nullopt;
}

PostTarget CliContext::ProgressTarget()
{
    m_nProgressReports = 0;
    return m_progressReceiver.Target();
}

void CliContext::ProgressReceiver::OnProgress(quint32 nSoFar, quint32 nTotal)
{
    ++context.m_nProgressReports;
    context.m_progress.Update(nSoFar, nTotal);
}

void CliContext::Print(const QString &strLine)
{
    const QByteArray line = (strLine + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), m_pOut);
}

void CliContext::Say(const QString &strLine)
{
    if (!m_bLogMode) {
        Print(strLine);
        return;
    }
    WriteError(strLine);
}

void CliContext::WriteError(const QString &strLine)
{
    const QString strTime =
        m_bLogMode ? QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
                   : QString();
    const QByteArray line = (strTime + strLine + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), m_pErr);
    std::fflush(m_pErr);
}

QString CliContext::RecorderSerial() const
{
    return m_pLink ? m_pLink->Serial() : QString();
}

void CliContext::PrintRaw(const QByteArray &data)
{
    std::fwrite(data.constData(), 1, size_t(data.size()), m_pOut);
}

void CliContext::Report(const QString &strMessage)
{
    WriteError(QStringLiteral("orvoconnect-cli: ") + strMessage);
}

int CliContext::Fail(int nStatus, const QString &strMessage)
{
    Report(strMessage);
    return nStatus;
}

int CliContext::Usage(const QString &strMessage)
{
    Report(strMessage + QStringLiteral(" (try orvoconnect-cli --help)"));
    return EXIT_USAGE;
}

void CliContext::OnSignal(int /*nSignal*/)
{
    std::fflush(m_pOut);
    if (!m_stop.IsSet()) {
        m_progress.Finish();
        if (m_bUninterruptible)
            Report(QStringLiteral("the recorder cannot be interrupted while it saves its archive data; "
                                  "waiting for it (press Ctrl-C again to leave at once)"));
        else if (m_bLogMode)
            Report(QStringLiteral("stopping (press Ctrl-C again to leave at once)"));
        else
            Report(QStringLiteral("cancelling... (press Ctrl-C again to leave at once)"));
        m_stop.Set();
        // A recorder saving its archive cannot be told to stop: its answer is awaited.
        std::lock_guard lock(m_linkMutex);
        if (m_pLink && !m_bUninterruptible)
            m_pLink->Interrupt();
        return;
    }
    if (m_bWritingLocalFile) {
        Report(QStringLiteral("still cancelling: waiting for the download to end cleanly"));
        return;
    }
    Report(QStringLiteral("interrupted"));
    std::_Exit(m_bSignalEndsWell ? RESULT_OK : RESULT_CANCELLED);
}
