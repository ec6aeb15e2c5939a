#include "support/TestTexts.h"

#include "resources/BuiltInEnglish.h"

TestTexts::TestTexts()
{
    for (const BuiltInText &text : BuiltInEnglishTexts())
        m_texts.insert(text.nId, QString::fromUtf8(text.pszText));
}

QString TestTexts::Text(quint32 nId) const
{
    return m_texts.value(nId);
}
