#pragma once

#include "link/ITransport.h"

#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>

class RecorderEmulator;

// The recorder emulator inside this process, behind the same interface as the real link.
// Writes feed the emulator at once; reads take what it has to say, or wait for a delayed
// reply, up to the time-out.
class SimTransport final : public ITransport
{
    Q_DISABLE_COPY_MOVE(SimTransport)

public:
    explicit SimTransport(std::shared_ptr<RecorderEmulator> pEmulator);
    ~SimTransport() override;

    // The argument of a "sim:" link name: "DIR", or "DIR?OPTION,OPTION=VALUE,..." with the
    // emulator's fault options (as on its command line, without the dashes; "&" also
    // separates), e.g. "sim:/tmp/card?split,stop-download-after=2,stop-code=abort".
    // Null with *pError set when an option is wrong.
    static std::unique_ptr<SimTransport> FromArgument(const QString &strArgument, QString *pError);

    // The emulator behind the transport, for tests that change its faults.
    std::shared_ptr<RecorderEmulator> Emulator() const { return m_pEmulator; }

    bool Open(LinkOpenFailure *pFailure) override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    void Wake() override;
    // The emulated recorder is never plugged in or out: there is nothing to announce, and
    // nothing has failed.
    bool RegisterNotifications(NoticeCallback) override { return true; }

private:
    std::shared_ptr<RecorderEmulator> m_pEmulator;
    mutable std::mutex m_mutex;
    std::condition_variable m_wakeUp;
    bool m_bOpen = false;
    bool m_bWake = false; // a wake not yet taken by a transfer
};

// Registers the "sim:DIR" link name.
void RegisterSimTransport();
