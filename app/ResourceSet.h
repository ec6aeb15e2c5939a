#pragma once

#include "core/ITextSource.h"

#include <QHash>
#include <QString>

#include <memory>

class LanguageFiles;

// One complete set of the program's texts: the built-in English set or a language file. Read-only
// once made, so lookups are safe from any thread.
class ResourceSet final : public ITextSource
{
public:
    // The built-in English set.
    ResourceSet();
    Q_DISABLE_COPY_MOVE(ResourceSet)

    // The language set of a three-letter code ("FRA"), from the first folder that holds its file.
    // Null when no file exists or the file found cannot be read as a translation file.
    static std::unique_ptr<ResourceSet> LoadLanguage(const QString &strCode, const LanguageFiles &files);
    // The language set held in one translation file; null when it cannot be read.
    static std::unique_ptr<ResourceSet> LoadFile(const QString &strCode, const QString &strFilePath);

    bool IsBuiltIn() const { return m_strCode.isEmpty(); }
    // The three-letter code of a language set; empty for the built-in set.
    const QString &LanguageCode() const { return m_strCode; }
    const QString &FilePath() const { return m_strFilePath; }

    // Empty when the set lacks the identifier: a language set never falls back to English.
    QString Text(quint32 nId) const override;

private:
    ResourceSet(QString strCode, QString strFilePath, QHash<quint32, QString> texts);

    QString m_strCode;
    QString m_strFilePath;
    QHash<quint32, QString> m_texts;
};
