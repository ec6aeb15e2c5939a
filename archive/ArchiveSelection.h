#pragma once

#include "archive/ArchiveRecord.h"

#include <QDate>
#include <QList>
#include <QRegularExpression>
#include <QString>

class RecorderFileEntry;

namespace Archive {

// The --include, --exclude and --since choice, with the patterns compiled once for the run.
class Selection final
{
public:
    explicit Selection(const Options &options);

    bool Selects(const RecorderFileEntry &entry) const;

    // The first pattern that is not a valid wildcard, with why; empty when all are.
    static QString InvalidPattern(const QStringList &globs);

private:
    static QRegularExpression Compiled(const QString &strGlob);
    static QList<QRegularExpression> Compiled(const QStringList &globs);
    static bool MatchesAny(const QString &strName, const QList<QRegularExpression> &patterns);

    QList<QRegularExpression> m_includes;
    QList<QRegularExpression> m_excludes;
    QDate m_since;
};

} // namespace Archive
