#pragma once

// The one text source of the tests: the built-in English set, as the program shows it.

#include "core/ITextSource.h"

#include <QHash>

class TestTexts final : public ITextSource
{
public:
    TestTexts();
    QString Text(quint32 nId) const override;

private:
    QHash<quint32, QString> m_texts;
};
