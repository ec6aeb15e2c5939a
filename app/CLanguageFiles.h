#pragma once

#include <QString>
#include <QStringList>

// Where the language files of a program live: "<base><code>.qm" in each folder, in order.
class CLanguageFiles final
{
public:
    CLanguageFiles(QString strBaseName, QStringList folders);

    // The running program's base name; its own folder first, then the installed translations folder.
    static CLanguageFiles ForRunningProgram();
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
