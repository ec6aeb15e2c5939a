// The bulk transfers of the USB transport: asynchronous libusb transfers waited for on the
// calling thread, so that a wake from another thread can cancel the one in flight.
#include "link/UsbTransport.h"

#include "link/LinkLog.h"

#include <QDeadlineTimer>

#include <climits>
#include <cstring>
#include <libusb.h>
#include <utility>

namespace {

int LibusbTimeout(qint64 nTimeoutMs)
{
    // libusb reads 0 as "no time-out": every transfer here is bounded.
    return int(qBound(qint64(1), nTimeoutMs, qint64(INT_MAX)));
}

int ErrorOf(libusb_transfer_status status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
        return LIBUSB_SUCCESS;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_CANCELLED:
        return LIBUSB_ERROR_INTERRUPTED;
    case LIBUSB_TRANSFER_STALL:
        return LIBUSB_ERROR_PIPE;
    case LIBUSB_TRANSFER_NO_DEVICE:
        return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_OVERFLOW:
        return LIBUSB_ERROR_OVERFLOW;
    default:
        return LIBUSB_ERROR_IO;
    }
}

} // namespace

struct UsbTransferThunk
{
    static void LIBUSB_CALL Done(libusb_transfer *pTransfer)
    {
        *static_cast<int *>(pTransfer->user_data) = 1;
    }
};

void UsbTransport::Wake()
{
    std::lock_guard lock(m_wakeMutex);
    m_bWake = true;
    // Thread-safe in libusb; the waiting thread sees the transfer end as cancelled.
    if (m_pInFlight)
        libusb_cancel_transfer(m_pInFlight);
}

int UsbTransport::BulkTransfer(unsigned char nEndpoint, quint8 *pData, int nLen, int nTimeoutMs, int *pDone)
{
    *pDone = 0;
    libusb_transfer *pTransfer = libusb_alloc_transfer(0);
    if (!pTransfer)
        return LIBUSB_ERROR_NO_MEM;
    int nCompleted = 0;
    libusb_fill_bulk_transfer(pTransfer, m_pHandle, nEndpoint, pData, nLen, &UsbTransferThunk::Done,
                              &nCompleted, unsigned(LibusbTimeout(nTimeoutMs)));
    {
        std::lock_guard lock(m_wakeMutex);
        if (std::exchange(m_bWake, false)) {
            libusb_free_transfer(pTransfer);
            return LIBUSB_ERROR_INTERRUPTED;
        }
        if (const int nResult = libusb_submit_transfer(pTransfer)) {
            libusb_free_transfer(pTransfer);
            return nResult;
        }
        m_pInFlight = pTransfer;
    }
    // The hotplug thread may be handling events too; libusb lets each waiter see its own
    // completion through the flag.
    while (!nCompleted) {
        const int nResult = libusb_handle_events_completed(m_pContext, &nCompleted);
        if (nResult == LIBUSB_SUCCESS || nResult == LIBUSB_ERROR_INTERRUPTED)
            continue;
        // Event handling itself failed: end the transfer and wait for its completion.
        qCDebug(lcLink) << "usb event handling failed:" << libusb_error_name(nResult);
        libusb_cancel_transfer(pTransfer);
    }
    bool bWoken = false;
    {
        std::lock_guard lock(m_wakeMutex);
        m_pInFlight = nullptr;
        bWoken = pTransfer->status == LIBUSB_TRANSFER_CANCELLED && std::exchange(m_bWake, false);
    }
    *pDone = pTransfer->actual_length;
    const int nResult = bWoken ? LIBUSB_ERROR_INTERRUPTED : ErrorOf(pTransfer->status);
    libusb_free_transfer(pTransfer);
    return nResult;
}

bool UsbTransport::Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs)
{
    if (!m_pHandle || nLen <= 0 || nLen > INT_MAX)
        return false;
    int nDone = 0;
    // libusb takes a non-const buffer for both directions; an OUT transfer only reads it.
    const int nResult =
        BulkTransfer(m_interface.nEndpointOut, const_cast<quint8 *>(pData), int(nLen), nTimeoutMs, &nDone);
    NoteResult(nResult, "write");
    return nResult == LIBUSB_SUCCESS && nDone == nLen;
}

qsizetype UsbTransport::Read(quint8 *pData, qsizetype nMax, int nTimeoutMs)
{
    if (!m_pHandle || nMax <= 0 || nMax > INT_MAX / 2)
        return -1;
    if (m_nCarryLen > 0) {
        const qsizetype nTake = qMin(nMax, m_nCarryLen);
        std::memcpy(pData, m_carry.data() + m_nCarryPos, size_t(nTake));
        m_nCarryPos += nTake;
        m_nCarryLen -= nTake;
        return nTake;
    }

    // A device may send a whole packet into the last part of a transfer; a transfer that is
    // not a whole number of packets would overflow and lose it, so such reads go through the
    // carry buffer.
    const qsizetype nPacket = m_interface.nMaxPacketIn;
    const qsizetype nAsk = (nMax + nPacket - 1) / nPacket * nPacket;
    quint8 *pTarget = pData;
    if (nAsk != nMax) {
        m_carry.resize(size_t(nAsk));
        pTarget = m_carry.data();
    }

    const QDeadlineTimer deadline(nTimeoutMs);
    for (;;) {
        int nGot = 0;
        const int nResult = BulkTransfer(m_interface.nEndpointIn, pTarget, int(nAsk),
                                         int(LibusbTimeout(deadline.remainingTime())), &nGot);
        // A transfer that timed out after part of the data arrived still delivers that part:
        // libusb has cancelled the rest, and the recorder keeps what it had not sent.
        if (nResult != LIBUSB_SUCCESS && !(nResult == LIBUSB_ERROR_TIMEOUT && nGot > 0)) {
            NoteResult(nResult, "read");
            return -1;
        }
        if (nGot > 0) {
            if (pTarget == pData)
                return nGot;
            const qsizetype nTake = qMin<qsizetype>(nMax, nGot);
            std::memcpy(pData, pTarget, size_t(nTake));
            m_nCarryPos = nTake;
            m_nCarryLen = nGot - nTake;
            return nTake;
        }
        // A zero-length packet carries nothing: ask again while time is left.
        if (deadline.hasExpired())
            return -1;
    }
}
