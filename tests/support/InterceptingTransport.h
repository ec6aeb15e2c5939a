#pragma once

// Stands between the link and the recorder (the emulator's transport) and lets a test act on
// the traffic: count the requests, fail one, hold the worker inside one, unplug the recorder,
// make it babble before a reply, or lie in a reply; refuse an open, and deliver device notices.
// Hooks are set before the traffic starts; the other members are safe from any thread.

#include "link/ITransport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class InterceptingTransport final : public ITransport
{
public:
    // One request as the host wrote it.
    struct Request
    {
        int nNumber = 0; // from 1
        quint16 nCode = 0;
        QString strName; // the UTF-16 text after the header (a file name), if any
        qsizetype nLength = 0;
    };

    explicit InterceptingTransport(std::unique_ptr<ITransport> pInner);

    // A whole frame (at least one block) with the code and payload, to babble or lie with.
    static QByteArray FrameBytes(quint16 nCode, const QByteArray &payload = {});

    // Before each request goes on; false fails the write and nothing reaches the recorder.
    std::function<bool(const Request &)> beforeWrite;
    // Before each read, with the number of requests so far (to pause, or to set a stop event).
    std::function<void(int nWrites)> beforeRead;
    // Each whole reply frame before the host sees it, with the code of the request it answers:
    // change it, replace it with any bytes, or clear it to swallow it.
    std::function<void(quint16 nRequestCode, QByteArray &reply)> lie;
    // Before each open; false fails it (the recorder absent), with the reason it filled in
    // (pFailure may be null).
    std::function<bool(LinkOpenFailure *pFailure)> beforeOpen;
    // When set, the link's registration for device notices is refused.
    bool bNoNotices = false;

    // The requests written, in order.
    QList<quint16> WrittenCodes() const;
    qsizetype CountWritten(quint16 nCode) const;
    void ClearCounts();

    // The worker waits inside the nOccurrence-th write of nCode (counted from now) until Release.
    void HoldAt(quint16 nCode, int nOccurrence = 1);
    bool IsHeld() const { return m_bHeld; }
    void Release();

    // From now on every transfer fails and the recorder counts as gone.
    void Unplug() { m_bGone = true; }
    // This request leaves, then the recorder is gone and no answer comes.
    void UnplugAfter(quint16 nCode) { m_nUnplugAfter = nCode; }

    // These bytes reach the host before anything the recorder says next.
    void Babble(const QByteArray &bytes);
    // Successive reads return at most these many bytes; then as many as asked.
    void CutReads(QList<qsizetype> sizes);
    // Hands a device notice to the registered callback from another thread, as a bus does.
    void Notify(quint32 nNotice);

    bool Open(LinkOpenFailure *pFailure) override;
    void Close() override { m_pInner->Close(); }
    bool IsOpen() const override { return m_pInner->IsOpen(); }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    void Wake() override { m_pInner->Wake(); }
    bool IsGone() const override { return m_bGone || m_pInner->IsGone(); }
    bool RegisterNotifications(NoticeCallback callback) override;

private:
    // Reads one reply frame whole from the recorder into m_pending and lets the lie hook at it.
    void FetchReplyFrame(int nTimeoutMs);

    std::unique_ptr<ITransport> m_pInner;
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    QList<quint16> m_codes;
    std::atomic<int> m_nWrites{0};
    std::atomic<quint16> m_nLastCode{0};
    quint16 m_nHoldCode = 0;
    int m_nHoldOccurrence = 0;
    bool m_bReleased = false;
    std::atomic<bool> m_bHeld{false};
    std::atomic<bool> m_bGone{false};
    std::atomic<quint16> m_nUnplugAfter{0};
    QByteArray m_pending; // what the host reads before asking the recorder again
    QList<qsizetype> m_readCaps;
    NoticeCallback m_notice;
};
