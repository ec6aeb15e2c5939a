#include "cli/CliArguments.h"

bool CliArguments::Parse(const QStringList &args, const QStringList &flags, const QStringList &valued,
                         QString *pError)
{
    m_options.clear();
    m_allValues.clear();
    m_operands.clear();
    bool bOptionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &strArg = args.at(i);
        if (bOptionsEnded || !strArg.startsWith(QLatin1Char('-')) || strArg == QLatin1String("-")) {
            m_operands.append(strArg);
            continue;
        }
        if (strArg == QLatin1String("--")) {
            bOptionsEnded = true;
            continue;
        }
        const qsizetype nEquals = strArg.indexOf(QLatin1Char('='));
        const QString strName = nEquals < 0 ? strArg : strArg.left(nEquals);
        if (flags.contains(strName)) {
            if (nEquals >= 0) {
                *pError = QStringLiteral("option %1 takes no value").arg(strName);
                return false;
            }
            m_options.insert(strName, QString());
        } else if (valued.contains(strName)) {
            QString strValue;
            if (nEquals >= 0) {
                strValue = strArg.mid(nEquals + 1);
            } else if (i + 1 < args.size()) {
                strValue = args.at(++i);
            } else {
                *pError = QStringLiteral("option %1 needs a value").arg(strName);
                return false;
            }
            m_options.insert(strName, strValue);
            m_allValues[strName].append(strValue);
        } else {
            *pError = QStringLiteral("unknown option %1").arg(strName);
            return false;
        }
    }
    return true;
}
