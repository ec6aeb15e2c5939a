#pragma once

#include <QString>

// Makes open() of one path fail with EACCES in this process, as it does for a user without
// access to a device node. The test executable's own open() comes first in symbol lookup,
// ahead of the umockdev preload library and libc, which it calls for every other path.
namespace DeniedOpen {
// An empty path denies nothing.
void Deny(const QString &strPath);
} // namespace DeniedOpen
