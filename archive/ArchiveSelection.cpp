#include "archive/ArchiveSelection.h"

#include "protocol/RecorderFileEntry.h"

#include <algorithm>

namespace Archive {

Selection::Selection(const Options &options)
    : m_includes(Compiled(options.includes))
    , m_excludes(Compiled(options.excludes))
    , m_since(options.since)
{}

bool Selection::Selects(const RecorderFileEntry &entry) const
{
    const QString strName = entry.Name();
    if (!m_includes.isEmpty() && !MatchesAny(strName, m_includes))
        return false;
    if (MatchesAny(strName, m_excludes))
        return false;
    if (m_since.isValid()) {
        const FileTime::CalendarFields fields = FileTime::Fields(entry.LastWriteTime());
        if (QDate(int(fields.nYear), fields.nMonth, fields.nDay) < m_since)
            return false;
    }
    return true;
}

QString Selection::InvalidPattern(const QStringList &globs)
{
    for (const QString &strGlob : globs) {
        const QRegularExpression pattern = Compiled(strGlob);
        if (!pattern.isValid())
            return QStringLiteral("\"%1\" is not a valid pattern (%2)").arg(strGlob, pattern.errorString());
    }
    return QString();
}

QRegularExpression Selection::Compiled(const QString &strGlob)
{
    // "." matches line breaks in card names too.
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(strGlob),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

QList<QRegularExpression> Selection::Compiled(const QStringList &globs)
{
    QList<QRegularExpression> patterns;
    for (const QString &strGlob : globs)
        patterns.append(Compiled(strGlob));
    return patterns;
}

bool Selection::MatchesAny(const QString &strName, const QList<QRegularExpression> &patterns)
{
    return std::any_of(patterns.cbegin(), patterns.cend(), [&strName](const QRegularExpression &pattern) {
        return pattern.match(strName).hasMatch();
    });
}

} // namespace Archive
