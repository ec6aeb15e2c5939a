#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

namespace TestFiles {

QByteArray Pattern(qsizetype nSize, int nSeed)
{
    QByteArray bytes(nSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < nSize; ++i)
        bytes[i] = char((i * 31 + nSeed * 7 + (i >> 10)) & 0xFF);
    return bytes;
}

bool Write(const QString &strPath, const QByteArray &bytes, const QDateTime &modified)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    // Buffered bytes written later would move the time again.
    file.flush();
    return !modified.isValid() || file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray Read(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Listing(const QString &strDir)
{
    return QDir(strDir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace TestFiles
