#include "protocol/RecorderFileEntry.h"

#include "core/LittleEndian.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cstring>
#include <optional>

RecorderFileEntry RecorderFileEntry::FromBytes(const quint8 *pBytes)
{
    RecorderFileEntry entry;
    std::memcpy(entry.m_bytes.data(), pBytes, SIZE);
    return entry;
}

QString RecorderFileEntry::Name() const
{
    return LittleEndian::Utf16Text(m_bytes.data() + OFFSET_NAME, NAME_CHARS * 2);
}

void RecorderFileEntry::SetName(const QString &strName)
{
    std::memset(m_bytes.data() + OFFSET_NAME, 0, NAME_CHARS * 2);
    LittleEndian::WriteUtf16Text(m_bytes.data() + OFFSET_NAME, strName.left(NAME_CHARS - 1));
}

namespace {

constexpr quint64 SECONDS_PER_DAY = 86400ULL;
constexpr qint64 DAYS_1601_TO_1970 = 134774; // days from 1601-01-01 to 1970-01-01

// Proleptic Gregorian date of a day count from 1970-01-01 (after H. Hinnant's civil_from_days).
void CivilFromDays(qint64 nDays, qint64 &nYear, int &nMonth, int &nDay)
{
    nDays += 719468;
    const qint64 nEra = (nDays >= 0 ? nDays : nDays - 146096) / 146097;
    const qint64 nDayOfEra = nDays - nEra * 146097;
    const qint64 nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    const qint64 nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    const qint64 nMonthIndex = (5 * nDayOfYear + 2) / 153;
    nDay = int(nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1);
    nMonth = int(nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9);
    nYear = nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0);
}

// Seconds from 1601-01-01 to 1970-01-01, and FILETIME ticks per second.
constexpr qint64 EPOCH_DIFF_SECONDS = 11644473600LL;
constexpr quint64 TICKS_PER_SECOND = 10000000ULL;

int LocalOffsetAt(qint64 nSecondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(nSecondsSinceEpoch, Qt::LocalTime).offsetFromUtc();
}

// The instant at which this computer's clock shows the calendar fields nFields (seconds since
// the epoch as if the fields were UTC). Worked out here rather than left to mktime, whose answer
// for a time shown twice depends on the calls made before it. Around a change of offset, each
// offset in force on either side is tried; a time shown twice is the later instant, and a time
// the clocks skip takes the offset in force before the change, which moves it forward by the
// skip (02:30 in a skip from 02:00 to 03:00 is shown as 03:30).
qint64 LocalInstant(qint64 nFields)
{
    // A change of offset near the fields lies within their day on either side.
    const int nBefore = LocalOffsetAt(nFields - qint64(SECONDS_PER_DAY));
    const int nAfter = LocalOffsetAt(nFields + qint64(SECONDS_PER_DAY));
    std::optional<qint64> instant;
    for (const int nOffset : {nBefore, nAfter}) {
        const qint64 nCandidate = nFields - nOffset;
        if (LocalOffsetAt(nCandidate) == nOffset)
            instant = std::max(instant.value_or(nCandidate), nCandidate);
    }
    return instant.value_or(nFields - nBefore);
}

} // namespace

namespace FileTime {

QDateTime ToDateTime(quint64 nFileTime)
{
    const qint64 nSeconds = qint64(nFileTime / TICKS_PER_SECOND) - EPOCH_DIFF_SECONDS;
    const qint64 nMs = qint64((nFileTime % TICKS_PER_SECOND) / 10000);
    // UTC arithmetic yields the calendar fields with no daylight-saving gaps to adjust them.
    return QDateTime::fromMSecsSinceEpoch(nSeconds * 1000 + nMs, QTimeZone::utc());
}

QDateTime ToLocalDateTime(quint64 nFileTime)
{
    if (nFileTime == 0)
        return QDateTime();
    const qint64 nFields = qint64(nFileTime / TICKS_PER_SECOND) - EPOCH_DIFF_SECONDS;
    // time_t holds the seconds of a file time; years far outside it are not a date to set.
    if (nFields < -(qint64(1) << 40) || nFields > (qint64(1) << 40))
        return QDateTime();
    // A fixed offset: the value stays this one instant wherever it is turned into seconds.
    const qint64 nInstant = LocalInstant(nFields);
    return QDateTime::fromSecsSinceEpoch(nInstant, Qt::OffsetFromUTC, LocalOffsetAt(nInstant));
}

quint64 FromDateTime(const QDateTime &dateTime)
{
    const QDateTime utc(dateTime.date(), dateTime.time(), QTimeZone::utc());
    const qint64 nMs = utc.toMSecsSinceEpoch() + EPOCH_DIFF_SECONDS * 1000;
    return nMs < 0 ? 0 : quint64(nMs) * 10000ULL;
}

CalendarFields Fields(quint64 nFileTime)
{
    const quint64 nSeconds = nFileTime / TICKS_PER_SECOND;
    const int nSecondOfDay = int(nSeconds % SECONDS_PER_DAY);
    CalendarFields fields;
    CivilFromDays(qint64(nSeconds / SECONDS_PER_DAY) - DAYS_1601_TO_1970, fields.nYear, fields.nMonth,
                  fields.nDay);
    fields.nHour = nSecondOfDay / 3600;
    fields.nMinute = nSecondOfDay / 60 % 60;
    fields.nSecond = nSecondOfDay % 60;
    return fields;
}

QString ListText(quint64 nFileTime)
{
    const CalendarFields f = Fields(nFileTime);
    return QString::asprintf("%02d/%02d/%02d (%02d:%02d:%02d)", f.nDay, f.nMonth, int(f.nYear % 100), f.nHour,
                             f.nMinute, f.nSecond);
}

QString IsoText(quint64 nFileTime)
{
    // Written by hand: Qt's ISO format gives up on years past 9999, which a FILETIME reaches.
    const CalendarFields f = Fields(nFileTime);
    return QString::asprintf("%04lld-%02d-%02dT%02d:%02d:%02d", static_cast<long long>(f.nYear), f.nMonth,
                             f.nDay, f.nHour, f.nMinute, f.nSecond);
}

} // namespace FileTime
