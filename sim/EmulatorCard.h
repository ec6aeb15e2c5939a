#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class RecorderFileEntry;

// The folder that plays the recorder's card: which of its files the recorder shows, how full
// it is, and the only place where names from the host become paths. A name that could reach
// outside the folder never becomes a path.
class EmulatorCard final
{
public:
    static constexpr quint64 DEFAULT_CAPACITY = 512ull * 1024 * 1024;
    // Uploads in progress are written under this prefix and hidden from the list.
    static constexpr const char *UPLOAD_PREFIX = ".upload-";

    explicit EmulatorCard(QString strDir);

    QString Dir() const { return m_strDir; }
    quint64 Capacity() const { return m_nCapacity; }
    void SetCapacity(quint64 nBytes) { m_nCapacity = nBytes; }

    // Sum of the sizes of the files on the card, and what the nominal capacity leaves free.
    quint64 UsedBytes() const;
    quint64 FreeBytes() const;

    // The card's files: regular files (no links, no hidden or partial files) whose names fit
    // an entry, sorted by name.
    QList<RecorderFileEntry> Entries() const;

    // True when a host name may name a file of this card.
    static bool IsCardName(const QString &strName);
    // The path of a card name; empty when the name is not a card name.
    QString PathOf(const QString &strName) const;
    // True when the name is a regular file on the card (not a link, folder or partial upload).
    bool HasFile(const QString &strName) const;
    bool Remove(const QString &strName);

    // Where an upload of the name is written until it is complete; empty for a bad name.
    QString TempPathOf(const QString &strName) const;
    // Moves a complete upload into place, replacing any file of that name.
    bool Commit(const QString &strTempPath, const QString &strName);

    // The first free archive name, "ARCH0001.DAT" onwards.
    QString NextArchiveName() const;

private:
    QString m_strDir;
    quint64 m_nCapacity = DEFAULT_CAPACITY;
};
