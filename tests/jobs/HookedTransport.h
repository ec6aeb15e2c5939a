#pragma once

#include "link/ITransport.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// Passes the link's traffic to another transport (the emulator's), and lets a test act at a
// chosen request or make the recorder vanish. onCommand runs on the writing thread before the
// request reaches the recorder.
class HookedTransport final : public ITransport
{
public:
    explicit HookedTransport(std::unique_ptr<ITransport> pInner);

    // Set before the job is launched.
    std::function<void(quint16 nCode, const QString &strName)> onCommand;
    quint16 nGoneOnCommand = 0; // this request leaves, then the recorder is gone

    bool Open(LinkOpenFailure *pFailure) override { return m_pInner->Open(pFailure); }
    void Close() override { m_pInner->Close(); }
    bool IsOpen() const override { return m_pInner->IsOpen(); }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    bool IsGone() const override { return m_bGone; }

    void SetGone() { m_bGone = true; }
    // The requests written, in order; read only once the job's thread has ended.
    const QList<quint16> &WrittenCodes() const { return m_codes; }

private:
    std::unique_ptr<ITransport> m_pInner;
    std::atomic<bool> m_bGone{false};
    QList<quint16> m_codes;
};
