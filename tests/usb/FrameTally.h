#pragma once

#include <QtGlobal>

// Counts the frames in one direction of the byte stream: each frame starts with a header
// whose length field says how many bytes (whole 1024-byte blocks) it spans.
class FrameTally final
{
public:
    void Feed(const quint8 *pData, qsizetype nLen)
    {
        while (nLen > 0) {
            if (m_nRemaining == 0 && m_nHeader < 8) {
                m_header[m_nHeader++] = *pData++;
                --nLen;
                if (m_nHeader == 8) {
                    quint32 nLength = quint32(m_header[4]) | quint32(m_header[5]) << 8 |
                                      quint32(m_header[6]) << 16 | quint32(m_header[7]) << 24;
                    if (nLength == 0 || nLength > 32768 || nLength % 1024 != 0)
                        nLength = 1024;
                    m_nRemaining = qsizetype(nLength) - 8;
                    ++m_nFrames;
                }
                continue;
            }
            const qsizetype nTake = qMin(nLen, m_nRemaining);
            pData += nTake;
            nLen -= nTake;
            m_nRemaining -= nTake;
            if (m_nRemaining == 0)
                m_nHeader = 0;
        }
    }
    int Frames() const { return m_nFrames; }

private:
    quint8 m_header[8] = {};
    int m_nHeader = 0;
    qsizetype m_nRemaining = 0;
    int m_nFrames = 0;
};
