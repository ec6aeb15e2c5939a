#pragma once

#include "link/ITransport.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

// The program's one path to the recorder: opens it through a transport and moves 1024-byte
// blocks, each transfer bounded by the link time-out.
class RecorderLink final
{
    Q_DISABLE_COPY_MOVE(RecorderLink)

public:
    static constexpr int BLOCK_SIZE = 1024;
    static constexpr int DEFAULT_TIMEOUT_MS = 15000;
    // Each transfer after Interrupt: long enough to tell a recorder that still listens to abort,
    // too short to hold a program that is asked to stop.
    static constexpr int STOPPING_TIMEOUT_MS = 250;

    // Takes the transport named by ORVOCONNECT_LINK (usb when unset).
    RecorderLink();
    explicit RecorderLink(std::unique_ptr<ITransport> pTransport);
    ~RecorderLink();

    // Always closes first, then tries afresh. Overlapped mode is the only mode kept: every
    // transfer is bounded by the time-out.
    bool Open(bool bOverlapped = true);
    void Close();
    bool IsOpen() const;

    // Why the last Open failed, when the transport could tell (empty otherwise): the reason,
    // which the window words in its language, and the same in English.
    const LinkOpenFailure &OpenFailureReason() const { return m_openFailure; }
    QString LastOpenFailure() const { return m_openFailure.EnglishText(); }

    // nBlocks consecutive blocks; the transport may move them in one transfer and partial reads
    // are joined, so callers see whole blocks only. 0 on success, 1 on any failure (including
    // the time-out). *pWritten / *pReceived get the byte count moved. After a failure the
    // recorder may be out of step: before the next write, what it still sends is read and thrown
    // away (StaleInput), so that a late reply is never taken as the answer to the next request.
    int WriteBlocks(const quint8 *pSource, int nBlocks, quint32 *pWritten);
    int ReadBlocks(quint8 *pTarget, int nBlocks, quint32 *pReceived);
    // One block.
    int ReadBlock(quint8 *pTarget, quint32 *pReceived);

    // For the frame layer: what arrived did not make a frame in time, so the recorder is out of
    // step as after a failed transfer.
    void NoteOutOfStep() { m_bOutOfStep = true; }

    // From any thread (a program asked to stop): the transfer that waits ends at once as failed,
    // and from then on each transfer is bounded by STOPPING_TIMEOUT_MS. Lasts for the life of
    // the link. The window never calls it: its Cancel waits for the transfer to end.
    void Interrupt();
    bool IsInterrupted() const { return m_bInterrupted; }

    bool RegisterNotifications(ITransport::NoticeCallback callback);

    // True once the transport knows the recorder has gone away.
    bool IsGone() const;
    // The open recorder's serial number, where the transport knows it.
    QString Serial() const;

    int TimeoutMs() const { return m_nTimeoutMs; }
    // Tests shorten the time-out; the program keeps the default.
    void SetTimeoutMs(int nTimeoutMs) { m_nTimeoutMs = nTimeoutMs; }

    ITransport *Transport() const { return m_pTransport.get(); }

    // Counters for diagnostics and tests.
    quint64 BlocksWritten() const { return m_nBlocksWritten; }
    quint64 BlocksRead() const { return m_nBlocksRead; }

private:
    std::unique_ptr<ITransport> m_pTransport;
    LinkOpenFailure m_openFailure;
    // The time-out of the next transfer: the link's, or the short one once interrupted.
    int TransferTimeoutMs() const;
    // Before a write: throws away what a recorder out of step still sends.
    void Resynchronise();

    int m_nTimeoutMs = DEFAULT_TIMEOUT_MS;
    bool m_bOutOfStep = false;
    std::atomic<bool> m_bInterrupted{false};
    quint64 m_nBlocksWritten = 0;
    quint64 m_nBlocksRead = 0;
};
