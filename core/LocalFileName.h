#pragma once

#include <QString>

// A recorder's file name may become a local file name only when it cannot leave the
// destination folder: no path separator, not "." or "..", no NUL, not empty.
bool IsSafeLocalFileName(const QString &strName);

// Names this program writes into a destination folder for itself: the archive journal, the lock
// that keeps archive runs into one folder apart, the folder's SHA-256 manifest, and the
// temporary files of downloads in progress. A card file of such a name is never downloaded.
namespace LocalNames {
inline constexpr const char *JOURNAL = ".orvoconnect-archive.log";
inline constexpr const char *LOCK = ".orvoconnect-archive.lock";
// The digests of the folder's files, in the format `sha256sum -c` reads.
inline constexpr const char *MANIFEST = "SHA256SUMS";
inline constexpr const char *TEMP_PREFIX = ".orvo-";
inline constexpr const char *TEMP_SUFFIX = ".tmp";
bool IsReserved(const QString &strName);
// ".orvo-XXXXXXXX.tmp": a download's temporary file.
bool IsTemporary(const QString &strName);
} // namespace LocalNames
