#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

// Files of known contents on either side of the emulated bus, for the usb tests.
namespace UsbTestFiles {

// nSize pseudo-random bytes, the same for the same seed; sizes need not be whole words.
inline QByteArray RandomBytes(qsizetype nSize, quint32 nSeed)
{
    QByteArray bytes(nSize, Qt::Uninitialized);
    QRandomGenerator generator(nSeed);
    const qsizetype nWords = nSize / 4;
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), nWords);
    for (qsizetype i = nWords * 4; i < nSize; ++i)
        bytes[i] = char(generator.generate());
    return bytes;
}

inline bool WriteFile(const QString &strPath, const QByteArray &bytes)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace UsbTestFiles
