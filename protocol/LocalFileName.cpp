#include "LocalFileName.h"

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
