#pragma once

#include <QString>
#include <QtGlobal>

// What a row of the file list keeps of a recorder's file entry.
struct FileListItem
{
    QString m_strName;        // the name on the card, up to its terminating zero
    quint32 m_nSize = 0;      // size in bytes, low 32 bits of the entry's size
    quint64 m_ftModified = 0; // last-write time: 100-ns intervals since 1601-01-01, no time zone
};
