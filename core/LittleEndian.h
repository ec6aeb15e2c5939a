#pragma once

#include <QString>
#include <QtGlobal>

// The byte order and text of the recorder's wire format: multi-byte fields are little-endian and
// texts are UTF-16LE ending with a NUL character. Frames, file entries, the protocol and the
// emulator all read and write them through these.
namespace LittleEndian {

inline quint16 U16(const quint8 *p)
{
    return quint16(p[0] | (p[1] << 8));
}

inline quint32 U32(const quint8 *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

inline void SetU16(quint8 *p, quint16 nValue)
{
    p[0] = quint8(nValue);
    p[1] = quint8(nValue >> 8);
}

inline void SetU32(quint8 *p, quint32 nValue)
{
    for (int i = 0; i < 4; ++i)
        p[i] = quint8(nValue >> (8 * i));
}

// The UTF-16LE text in nBytes bytes from p, up to its first NUL character; an odd last byte is
// not read.
QString Utf16Text(const quint8 *p, qsizetype nBytes);
// Writes strText and a NUL character as UTF-16LE; returns the bytes written (2 per character,
// terminator included). The caller has made sure that they fit.
qsizetype WriteUtf16Text(quint8 *p, const QString &strText);

} // namespace LittleEndian
