#pragma once

#include "support/TestFiles.h"

// The window test's names for the shared file helpers, until it moves onto TestFiles.
namespace UsbTestFiles {

inline const auto RandomBytes = [](qsizetype nSize, quint32 nSeed) {
    return TestFiles::Pattern(nSize, int(nSeed));
};
inline const auto WriteFile = [](const QString &strPath, const QByteArray &bytes) {
    return TestFiles::Write(strPath, bytes);
};
inline const auto ReadFile = [](const QString &strPath) { return TestFiles::Read(strPath); };

} // namespace UsbTestFiles
