#include "link/StaleInput.h"

#include "link/ITransport.h"
#include "link/LinkLog.h"

#include <QDeadlineTimer>

#include <array>

qsizetype StaleInput::Discard(ITransport &transport)
{
    std::array<quint8, 32768> buffer;
    qsizetype nDiscarded = 0;
    const QDeadlineTimer limit(LIMIT_MS);
    while (!limit.hasExpired()) {
        const int nWaitMs = int(qMin<qint64>(QUIET_MS, qMax<qint64>(1, limit.remainingTime())));
        const qsizetype nGot = transport.Read(buffer.data(), qsizetype(buffer.size()), nWaitMs);
        if (nGot <= 0)
            break;
        nDiscarded += nGot;
    }
    if (nDiscarded > 0)
        qCDebug(lcLink) << "discarded" << nDiscarded
                        << "bytes the recorder sent after the host stopped waiting";
    return nDiscarded;
}
