#include "RecorderFileEntry.h"

#include <QDateTime>
#include <QTimeZone>

#include <cstring>

RecorderFileEntry RecorderFileEntry::FromBytes(const quint8 *pBytes)
{
    RecorderFileEntry entry;
    std::memcpy(entry.m_bytes.data(), pBytes, SIZE);
    return entry;
}

QString RecorderFileEntry::Name() const
{
    QString strName;
    for (quint32 i = 0; i < NAME_CHARS; ++i) {
        const quint32 nOffset = OFFSET_NAME + 2 * i;
        const char16_t ch = char16_t(m_bytes[nOffset] | (m_bytes[nOffset + 1] << 8));
        if (ch == 0)
            break;
        strName.append(QChar(ch));
    }
    return strName;
}

void RecorderFileEntry::SetName(const QString &strName)
{
    std::memset(m_bytes.data() + OFFSET_NAME, 0, NAME_CHARS * 2);
    const qsizetype nChars = qMin<qsizetype>(strName.size(), NAME_CHARS - 1);
    for (qsizetype i = 0; i < nChars; ++i) {
        const char16_t ch = strName.at(i).unicode();
        m_bytes[OFFSET_NAME + 2 * i] = quint8(ch);
        m_bytes[OFFSET_NAME + 2 * i + 1] = quint8(ch >> 8);
    }
}

namespace {
// Days from 1601-01-01 to 1970-01-01.
constexpr qint64 EPOCH_DIFF_SECONDS = 11644473600LL;
constexpr quint64 TICKS_PER_SECOND = 10000000ULL;
} // namespace

namespace FileTime {

QDateTime ToDateTime(quint64 nFileTime)
{
    const qint64 nSeconds = qint64(nFileTime / TICKS_PER_SECOND) - EPOCH_DIFF_SECONDS;
    const qint64 nMs = qint64((nFileTime % TICKS_PER_SECOND) / 10000);
    // UTC arithmetic yields the calendar fields with no daylight-saving gaps to adjust them.
    return QDateTime::fromMSecsSinceEpoch(nSeconds * 1000 + nMs, QTimeZone::utc());
}

quint64 FromDateTime(const QDateTime &dateTime)
{
    const QDateTime utc(dateTime.date(), dateTime.time(), QTimeZone::utc());
    const qint64 nMs = utc.toMSecsSinceEpoch() + EPOCH_DIFF_SECONDS * 1000;
    return nMs < 0 ? 0 : quint64(nMs) * 10000ULL;
}

} // namespace FileTime
