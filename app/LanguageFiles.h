#pragma once

#include <QString>
#include <QStringList>

// Where the language files of a program live: "<base><code>.qm" in each folder, in order.
class LanguageFiles final
{
public:
    LanguageFiles(QString strBaseName, QStringList folders);

    // The running program's base name in the folders of FoldersForProgramIn.
    static LanguageFiles ForRunningProgram();
    // Where a program in that folder looks: the folder itself, the installed translations folder
    // as seen from it (so a moved installation finds its own), then the one the build was
    // configured for.
    static QStringList FoldersForProgramIn(const QString &strProgramDir);
    // The file name of a program without folder and extension ("orvoconnect" for /usr/bin/orvoconnect).
    static QString BaseNameOf(const QString &strProgramPath);

    const QString &BaseName() const { return m_strBaseName; }
    const QStringList &Folders() const { return m_folders; }
    QString FileName(const QString &strCode) const;
    // Full path of the first existing regular file for the code; empty when there is none.
    QString Find(const QString &strCode) const;

private:
    QString m_strBaseName;
    QStringList m_folders;
};
