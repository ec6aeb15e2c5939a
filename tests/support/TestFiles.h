#pragma once

// Files for tests: reproducible contents, writing with a chosen time, reading, and listings
// that show hidden temporaries.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace TestFiles {

// nSize bytes that differ with the seed and along the file (so a shifted block shows).
QByteArray Pattern(qsizetype nSize, int nSeed = 1);
// Writes bytes (and the modification time, when given); false on any failure.
bool Write(const QString &strPath, const QByteArray &bytes, const QDateTime &modified = {});
// The file's bytes; empty when it cannot be read.
QByteArray Read(const QString &strPath);
// Names of the files in a folder, hidden ones included, sorted.
QStringList Listing(const QString &strDir);

} // namespace TestFiles
