#include "CResourceSet.h"

#include "BuiltInEnglish.h"
#include "CLanguageFiles.h"

#include <QFile>
#include <QTranslator>

#include <utility>

namespace {

// Far above any real set; a larger file is not a translation of this program.
constexpr qint64 kMaxLanguageFileBytes = 8 * 1024 * 1024;

QHash<quint32, QString> EnglishTexts()
{
    QHash<quint32, QString> texts;
    for (const BuiltInText &text : BuiltInEnglishTexts())
        texts.insert(text.nId, QString::fromUtf8(text.pszText));
    return texts;
}

} // namespace

CResourceSet::CResourceSet()
    : m_texts(EnglishTexts())
{}

CResourceSet::CResourceSet(QString strCode, QString strFilePath, QHash<quint32, QString> texts)
    : m_strCode(std::move(strCode))
    , m_strFilePath(std::move(strFilePath))
    , m_texts(std::move(texts))
{}

std::unique_ptr<CResourceSet> CResourceSet::LoadLanguage(const QString &strCode, const CLanguageFiles &files)
{
    const QString strPath = files.Find(strCode);
    if (strPath.isEmpty())
        return nullptr;
    return LoadFile(strCode, strPath);
}

std::unique_ptr<CResourceSet> CResourceSet::LoadFile(const QString &strCode, const QString &strFilePath)
{
    // Read the exact file ourselves: QTranslator::load(path) would also try other names
    // derived from the path when this one does not load.
    QFile file(strFilePath);
    if (file.size() > kMaxLanguageFileBytes || !file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray data = file.readAll();
    if (data.size() != file.size())
        return nullptr;

    QTranslator translator;
    if (!translator.load(reinterpret_cast<const uchar *>(data.constData()), int(data.size())))
        return nullptr;

    // Copy every known identifier out of the translator, so that the set owns plain data and
    // needs no locking when worker threads look texts up.
    QHash<quint32, QString> texts;
    for (const BuiltInText &text : BuiltInEnglishTexts()) {
        const QByteArray id = QByteArray::number(text.nId);
        const QString strText = translator.translate(nullptr, id.constData());
        if (!strText.isEmpty())
            texts.insert(text.nId, strText);
    }
    return std::unique_ptr<CResourceSet>(new CResourceSet(strCode, strFilePath, std::move(texts)));
}

QString CResourceSet::Text(quint32 nId) const
{
    return m_texts.value(nId);
}
