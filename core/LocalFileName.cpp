#include "core/LocalFileName.h"

bool IsSafeLocalFileName(const QString &strName)
{
    if (strName.isEmpty() || strName == QLatin1String(".") || strName == QLatin1String(".."))
        return false;
    for (const QChar ch : strName) {
        // The recorder names files the Windows way; a backslash is a separator there too.
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QChar(0))
            return false;
    }
    return true;
}

bool LocalNames::IsReserved(const QString &strName)
{
    // Case-insensitive: on a FAT or SMB destination ".ORVO-1.TMP" is the same file.
    if (strName.compare(QLatin1String(JOURNAL), Qt::CaseInsensitive) == 0 ||
        strName.compare(QLatin1String(LOCK), Qt::CaseInsensitive) == 0 ||
        strName.compare(QLatin1String(MANIFEST), Qt::CaseInsensitive) == 0)
        return true;
    return IsTemporary(strName);
}

bool LocalNames::IsTemporary(const QString &strName)
{
    return strName.startsWith(QLatin1String(TEMP_PREFIX), Qt::CaseInsensitive) &&
           strName.endsWith(QLatin1String(TEMP_SUFFIX), Qt::CaseInsensitive);
}
