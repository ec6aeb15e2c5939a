#include "core/LittleEndian.h"

QString LittleEndian::Utf16Text(const quint8 *p, qsizetype nBytes)
{
    QString strText;
    for (qsizetype n = 0; n + 1 < nBytes; n += 2) {
        const char16_t ch = char16_t(U16(p + n));
        if (ch == 0)
            break;
        strText.append(QChar(ch));
    }
    return strText;
}

qsizetype LittleEndian::WriteUtf16Text(quint8 *p, const QString &strText)
{
    for (qsizetype i = 0; i < strText.size(); ++i)
        SetU16(p + 2 * i, strText.at(i).unicode());
    SetU16(p + 2 * strText.size(), 0);
    return 2 * (strText.size() + 1);
}
