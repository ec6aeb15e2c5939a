#include "CLanguageFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

CLanguageFiles::CLanguageFiles(QString strBaseName, QStringList folders)
    : m_strBaseName(std::move(strBaseName))
    , m_folders(std::move(folders))
{}

CLanguageFiles CLanguageFiles::ForRunningProgram()
{
    return CLanguageFiles(BaseNameOf(QCoreApplication::applicationFilePath()),
                          FoldersForProgramIn(QCoreApplication::applicationDirPath()));
}

QStringList CLanguageFiles::FoldersForProgramIn(const QString &strProgramDir)
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

QString CLanguageFiles::BaseNameOf(const QString &strProgramPath)
{
    // The extension is what follows the last dot, as for a program file on any platform.
    return QFileInfo(strProgramPath).completeBaseName();
}

QString CLanguageFiles::FileName(const QString &strCode) const
{
    return m_strBaseName + strCode + QStringLiteral(".qm");
}

QString CLanguageFiles::Find(const QString &strCode) const
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
