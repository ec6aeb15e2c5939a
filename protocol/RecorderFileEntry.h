#pragma once

#include "core/LittleEndian.h"

#include <QString>
#include <QtGlobal>

#include <array>

class QDateTime;

// The 560-byte record of one file on the card, as it travels in file-list replies and in the
// upload announcement (little-endian, the layout of a Windows CE find-data record).
class RecorderFileEntry final
{
public:
    static constexpr quint32 SIZE = 560;
    static constexpr quint32 OFFSET_ATTRIBUTES = 0;
    static constexpr quint32 OFFSET_CREATION_TIME = 4;
    static constexpr quint32 OFFSET_ACCESS_TIME = 12;
    static constexpr quint32 OFFSET_WRITE_TIME = 20;
    static constexpr quint32 OFFSET_SIZE_HIGH = 28;
    static constexpr quint32 OFFSET_SIZE_LOW = 32;
    static constexpr quint32 OFFSET_OBJECT_ID = 36;
    static constexpr quint32 OFFSET_NAME = 40;
    static constexpr quint32 NAME_CHARS = 260; // 259 characters and the terminator

    RecorderFileEntry() = default;
    // Copies 560 bytes from a frame payload.
    static RecorderFileEntry FromBytes(const quint8 *pBytes);

    const quint8 *Bytes() const { return m_bytes.data(); }
    quint8 *Bytes() { return m_bytes.data(); }

    quint32 Attributes() const { return U32(OFFSET_ATTRIBUTES); }
    void SetAttributes(quint32 n) { SetU32(OFFSET_ATTRIBUTES, n); }
    // FILETIME: 100-nanosecond intervals since 1 January 1601.
    quint64 LastWriteTime() const
    {
        return quint64(U32(OFFSET_WRITE_TIME)) | (quint64(U32(OFFSET_WRITE_TIME + 4)) << 32);
    }
    void SetLastWriteTime(quint64 n)
    {
        SetU32(OFFSET_WRITE_TIME, quint32(n));
        SetU32(OFFSET_WRITE_TIME + 4, quint32(n >> 32));
    }
    quint32 SizeLow() const { return U32(OFFSET_SIZE_LOW); }
    void SetSizeLow(quint32 n) { SetU32(OFFSET_SIZE_LOW, n); }
    quint32 SizeHigh() const { return U32(OFFSET_SIZE_HIGH); }
    void SetSizeHigh(quint32 n) { SetU32(OFFSET_SIZE_HIGH, n); }

    // True when the name's first character is not NUL; an entry without a name ends the list.
    bool HasName() const { return m_bytes[OFFSET_NAME] != 0 || m_bytes[OFFSET_NAME + 1] != 0; }
    // The name up to its first NUL, never past the 260-character field.
    QString Name() const;
    // Stores at most 259 characters and the terminator; the rest of the field is zeroed.
    void SetName(const QString &strName);

private:
    quint32 U32(quint32 nOffset) const { return LittleEndian::U32(m_bytes.data() + nOffset); }
    void SetU32(quint32 nOffset, quint32 nValue) { LittleEndian::SetU32(m_bytes.data() + nOffset, nValue); }

    std::array<quint8, SIZE> m_bytes{};
};

// Conversions between FILETIME and calendar time, without any time-zone conversion: the
// recorder's clock is shown as it stands.
namespace FileTime {
// Calendar fields of a FILETIME, as a UTC QDateTime whose date() and time() are exactly the
// recorder's fields.
QDateTime ToDateTime(quint64 nFileTime);
// The same calendar fields read as a time of this computer's local zone: the one instant a card
// date stands for, which a downloaded file's modification time is set to and an archived file's
// date is compared with. A time the zone skips when its clocks go forward is moved forward by
// the skip (02:30 becomes 03:30); a time the zone shows twice when they go back is the later of
// the two. Invalid for a FILETIME of 0 (a recorder that keeps no dates) and for fields outside
// what a file time can hold.
QDateTime ToLocalDateTime(quint64 nFileTime);
// The FILETIME whose calendar fields are the given date() and time(), whatever their zone.
quint64 FromDateTime(const QDateTime &dateTime);

// Calendar fields of any FILETIME, by integer arithmetic, so that no value is unprintable.
struct CalendarFields
{
    qint64 nYear = 1601;
    int nMonth = 1;
    int nDay = 1;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
};
CalendarFields Fields(quint64 nFileTime);

// The file list's date text, "07/03/09 (14:05:09)" (day/month/two-digit year).
QString ListText(quint64 nFileTime);
// "2009-03-07T14:05:09", no zone: the recorder's clock as it stands.
QString IsoText(quint64 nFileTime);
} // namespace FileTime
