#pragma once

#include "cli/ProgressBar.h"
#include "protocol/ManualResetEvent.h"
#include "protocol/PostTarget.h"
#include "protocol/RecorderReceiver.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>

class RecorderLink;
class RecorderProtocol;

// What a command of orvoconnect-cli works with: the recorder (opened on demand), the stop
// event that Ctrl-C sets, the progress bar, and the two output streams.
class CliContext final
{
    Q_DISABLE_COPY_MOVE(CliContext)

public:
    // Test hooks: shorter link and archive-save time-outs, in milliseconds.
    static constexpr const char *ENV_TIMEOUT_MS = "ORVOCONNECT_TIMEOUT_MS";
    static constexpr const char *ENV_SAVE_TIMEOUT_MS = "ORVOCONNECT_SAVE_TIMEOUT_MS";
    // Test hook: how often watch tries a recorder again or looks for one without notices.
    static constexpr const char *ENV_WATCH_POLL_MS = "ORVOCONNECT_WATCH_POLL_MS";
    // A positive number of milliseconds from the environment, or 0 when unset or malformed.
    static int EnvMilliseconds(const char *pszName);

    CliContext(QString strLinkName, FILE *pOut, FILE *pErr);
    ~CliContext();

    // Creates the link without opening it. 0, or EXIT_USAGE (a malformed link name, --device on
    // a link that reaches one recorder) or EXIT_UNREACHABLE (no USB in this build), the reason
    // printed.
    int PrepareLink();
    // Opens the recorder. 0, or the exit status to leave with (EXIT_USAGE as above,
    // EXIT_UNREACHABLE when it cannot be opened, RESULT_CANCELLED after a signal), the reason
    // printed.
    int Connect();
    // The same without printing why the recorder cannot be opened: that goes to *pWhy.
    int TryConnect(QString *pWhy);
    // Closes the link, so that another program can use the recorder until the next Connect.
    void Disconnect();
    bool IsConnected() const { return m_pProtocol != nullptr; }
    RecorderProtocol &Protocol() { return *m_pProtocol; }
    QString LinkName() const { return m_strLinkName; }
    // The recorder chosen with --device (a USB serial number or port path); Connect opens it.
    // Without it, the "Device" setting chooses, read at each Connect.
    void SetDevice(const QString &strDevice);
    // The --device text, when given.
    std::optional<QString> GivenDevice() const;

    const ManualResetEvent &Stop() const { return m_stop; }
    bool IsStopped() const { return m_stop.IsSet(); }

    ProgressBar &Progress() { return m_progress; }
    // Feeds the operation's progress reports to the bar.
    PostTarget ProgressTarget();
    // How many progress reports arrived since the last ProgressTarget was made: a transfer reports
    // once before it starts and once per block after.
    int ProgressReports() const { return m_nProgressReports; }

    // One line on standard output.
    void Print(const QString &strLine);
    // A line of what a command is doing: on standard output, or, in log mode (watch), on
    // standard error with the time in front.
    void Say(const QString &strLine);
    void SetLogMode(bool bLog) { m_bLogMode = bLog; }
    // The recorder's serial number where the link knows it (USB), else empty.
    QString RecorderSerial() const;
    // Raw bytes on standard output.
    void PrintRaw(const QByteArray &data);
    // "orvoconnect-cli: message" on standard error; in log mode, with the time in front.
    void Report(const QString &strMessage);
    // Reports and returns nStatus, so commands can write `return Fail(...)`.
    int Fail(int nStatus, const QString &strMessage);
    // Reports a usage error with a hint and returns EXIT_USAGE.
    int Usage(const QString &strMessage);

    // While a local file is being written, a second Ctrl-C waits for the download to end
    // cleanly instead of leaving at once (which would strand its temporary file).
    void SetWritingLocalFile(bool bWriting) { m_bWritingLocalFile = bWriting; }

    // While the recorder runs an operation it cannot be told to stop (the archive save), the
    // first Ctrl-C says so instead of promising a cancellation.
    void SetUninterruptible(bool bUninterruptible) { m_bUninterruptible = bUninterruptible; }

    // For watch, whose normal end is a signal: a second signal that leaves at once (with no
    // local file being written) still leaves with status 0.
    void SetSignalEndsWell(bool bWell) { m_bSignalEndsWell = bWell; }

    // Runs on the signal watcher's thread for each SIGINT, SIGTERM or SIGHUP. The first sets the
    // stop event and interrupts the link, so a transfer that waits on a silent recorder ends at
    // once (unless the recorder cannot be interrupted); the run ends as cancelled.
    void OnSignal(int nSignal);

private:
    void WriteError(const QString &strLine);

    QString m_strLinkName;
    mutable std::mutex m_deviceMutex; // the link asks for the choice from its own thread too
    QString m_strDevice;
    bool m_bDeviceGiven = false;
    FILE *m_pOut;
    FILE *m_pErr;
    mutable std::mutex m_linkMutex; // the signal watcher interrupts the link from its thread
    std::unique_ptr<RecorderLink> m_pLink;
    std::unique_ptr<RecorderProtocol> m_pProtocol;
    ManualResetEvent m_stop;
    ProgressBar m_progress;
    // Feeds the transfers' progress to the bar.
    struct ProgressReceiver final : RecorderReceiver
    {
        explicit ProgressReceiver(CliContext &owner)
            : context(owner)
        {}
        void OnProgress(quint32 nSoFar, quint32 nTotal) override;
        CliContext &context;
    } m_progressReceiver{*this};
    std::atomic<bool> m_bWritingLocalFile{false};
    std::atomic<bool> m_bUninterruptible{false};
    std::atomic<int> m_nProgressReports{0};
    std::atomic<bool> m_bLogMode{false};
    std::atomic<bool> m_bSignalEndsWell{false};
};
