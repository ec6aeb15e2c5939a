#pragma once

#include "core/LittleEndian.h"

#include <QtGlobal>

#include <array>
#include <cstring>

class RecorderLink;

// One message between host and recorder: a 12-byte little-endian header (magic, length,
// code) and a payload, travelling as whole 1024-byte blocks, at most 32 of them.
class Frame final
{
public:
    static constexpr quint16 FRAME_MAGIC = 0xFADE;
    static constexpr quint32 BLOCK_SIZE = 1024;
    static constexpr quint32 FRAME_CAPACITY = 32768;
    static constexpr quint32 MAX_BLOCKS = FRAME_CAPACITY / BLOCK_SIZE;
    static constexpr quint32 HEADER_SIZE = 12;
    static constexpr quint32 MAX_PAYLOAD = FRAME_CAPACITY - HEADER_SIZE;

    static constexpr quint32 OFFSET_MAGIC = 0;
    static constexpr quint32 OFFSET_LENGTH = 4;
    static constexpr quint32 OFFSET_CODE = 8;

    // A received frame is admitted only with a code holding all the bits of one of these: the
    // recorder's replies (0x81xx) or requests and transfer control (0x45xx).
    static constexpr quint16 REPLY_CODE_BITS = 0x8100;
    static constexpr quint16 REQUEST_CODE_BITS = 0x4500;

    // Magic 0xFADE, code 0, everything else zero.
    Frame();

    // Frame length for a payload of nPayload bytes: header and payload rounded up to blocks.
    static constexpr quint32 LengthFor(quint32 nPayload)
    {
        return (HEADER_SIZE + nPayload + BLOCK_SIZE - 1) / BLOCK_SIZE * BLOCK_SIZE;
    }

    // Writes magic, code and length; leaves the payload alone.
    void Prepare(quint16 nCode, quint32 nPayloadLength);
    bool IsValid() const;

    // 0 on success, else the first failure of the link.
    int Send(RecorderLink &link);
    // Gathers one valid frame, discarding blocks without the magic one by one and frames with
    // a foreign code as a whole. 0 on success, else the failure of the link; 1 as well when
    // only discarded blocks arrive for longer than the link time-out.
    int Receive(RecorderLink &link);

    quint16 Magic() const { return U16(OFFSET_MAGIC); }
    quint32 Length() const { return U32(OFFSET_LENGTH); }
    quint16 Code() const { return U16(OFFSET_CODE); }
    void SetLength(quint32 nLength) { SetU32(OFFSET_LENGTH, nLength); }
    void SetCode(quint16 nCode) { SetU16(OFFSET_CODE, nCode); }

    // Bytes of the last received frame that hold data from the recorder (a whole number of
    // blocks); readers never look past them.
    quint32 ReceivedBytes() const { return m_nReceived; }

    quint8 *Data() { return m_buffer.data(); }
    const quint8 *Data() const { return m_buffer.data(); }
    quint8 *Payload() { return m_buffer.data() + HEADER_SIZE; }
    const quint8 *Payload() const { return m_buffer.data() + HEADER_SIZE; }

    quint16 U16(quint32 nOffset) const { return LittleEndian::U16(m_buffer.data() + nOffset); }
    quint32 U32(quint32 nOffset) const { return LittleEndian::U32(m_buffer.data() + nOffset); }
    void SetU16(quint32 nOffset, quint16 nValue) { LittleEndian::SetU16(m_buffer.data() + nOffset, nValue); }
    void SetU32(quint32 nOffset, quint32 nValue) { LittleEndian::SetU32(m_buffer.data() + nOffset, nValue); }

private:
    std::array<quint8, FRAME_CAPACITY> m_buffer{};
    quint32 m_nReceived = 0;
};
