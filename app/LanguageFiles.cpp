#include "app/LanguageFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

LanguageFiles::LanguageFiles(QString strBaseName, QStringList folders)
    : m_strBaseName(std::move(strBaseName))
    , m_folders(std::move(folders))
{}

LanguageFiles LanguageFiles::ForRunningProgram()
{
    return LanguageFiles(BaseNameOf(QCoreApplication::applicationFilePath()),
                         FoldersForProgramIn(QCoreApplication::applicationDirPath()));
}

QStringList LanguageFiles::FoldersForProgramIn(const QString &strProgramDir)
{
    QStringList folders{QDir::cleanPath(strProgramDir)};
#ifdef ORVO_RELATIVE_TRANSLATIONS_DIR
    folders << QDir::cleanPath(strProgramDir + u'/' + QStringLiteral(ORVO_RELATIVE_TRANSLATIONS_DIR));
#endif
#ifdef ORVO_INSTALLED_TRANSLATIONS_DIR
    folders << QDir::cleanPath(QStringLiteral(ORVO_INSTALLED_TRANSLATIONS_DIR));
#endif
    folders.removeDuplicates();
    return folders;
}

QString LanguageFiles::BaseNameOf(const QString &strProgramPath)
{
    // The extension is what follows the last dot, as for a program file on any platform.
    return QFileInfo(strProgramPath).completeBaseName();
}

QString LanguageFiles::FileName(const QString &strCode) const
{
    return m_strBaseName + strCode + QStringLiteral(".qm");
}

QString LanguageFiles::Find(const QString &strCode) const
{
    if (m_strBaseName.isEmpty() || strCode.isEmpty())
        return {};
    const QString strName = FileName(strCode);
    for (const QString &strFolder : m_folders) {
        if (strFolder.isEmpty())
            continue;
        const QFileInfo info(QDir(strFolder), strName);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}
