#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Splits one command's arguments into options and operands. Flags take no value; valued
// options take the next argument or "=VALUE". "--" ends the options, so a card file whose
// name starts with a dash can still be named.
class CliArguments final
{
public:
    // False with *pError set for an unknown option or a missing value.
    bool Parse(const QStringList &args, const QStringList &flags, const QStringList &valued, QString *pError);

    bool Has(const QString &strOption) const { return m_options.contains(strOption); }
    // The last value given; Values gives every one, in order, for repeatable options.
    QString Value(const QString &strOption) const { return m_options.value(strOption); }
    QStringList Values(const QString &strOption) const { return m_allValues.value(strOption); }
    const QStringList &Operands() const { return m_operands; }

private:
    QMap<QString, QString> m_options;
    QMap<QString, QStringList> m_allValues;
    QStringList m_operands;
};
