#pragma once

#include <QString>

// A recorder's file name may become a local file name only when it cannot leave the
// destination folder: no path separator, not "." or "..", no NUL, not empty.
bool IsSafeLocalFileName(const QString &strName);
